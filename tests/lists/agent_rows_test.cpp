// The agent list's rows: grouping and order, row texts, and which agents a double-clicked row
// stands for.

#include "lists/agent_rows.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lists/lists_test_support.h"
#include "ui/render/text_markup.h"

namespace qrv::testing {
namespace {

using Names = std::vector<std::string>;
using Ids = std::vector<std::uint64_t>;

class AgentRowsTest : public ListsTest {};

ListedAgent Agent(std::uint64_t id, const std::string& name, int state, int local) {
  return ListedAgent{id, name, state, local};
}

std::vector<std::string> Texts(const CGameListUI& list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list.GetCount(); ++i) texts.push_back(list.NodeOf(list.GetItemAt(i))->text);
  return texts;
}

TEST_F(AgentRowsTest, GroupsListAgentsOnlineFirstNamesAsWrittenAndRowsLeadBackToAgents) {
  ListWindow window(R"(<Window size="240,300"><GameList name="gamelist"/></Window>)");
  window.Open(240, 300);
  auto* list = window.Find<CGameListUI>("gamelist");
  list->AddNode("left over");

  const std::vector<ListedAgent> agents = {
      Agent(1, "Ann", 3, 1),                 // local, offline: after the local ones online
      Agent(2, "Bo", 0, 1),                  // local, online
      Agent(3, "Cy Lee", 2, 0),              // other, busy, a name with a space
      Agent(0x1'0000'0004ULL, "Ann", 0, 0),  // other, same name as agent 1
      Agent(5, "Dee", 1, 1),                 // local, away
      Agent(6, "Eve", 9, 0),                 // other, unknown state: no word, online icon
      Agent(7, "Fay", 0, 2),                 // neither group
      Agent(8, "<b>{x 4}小白", 0, 0),        // markup in a name is no markup
  };
  const std::vector<ListedAgent> rows = FillAgentList(*list, agents);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0].id, 2u);
  EXPECT_EQ(rows[2].id, 1u);
  EXPECT_EQ(rows[6].id, 8u);
  // What the reader sees of each row: the markup's own gaps and icons are no text, the names are
  // exactly as written.
  std::vector<std::string> shown;
  for (int i = 0; i < list->GetCount(); ++i)
    shown.push_back(ui::ParseMarkup(list->GetItemAt(i)->GetText()).PlainText());
  EXPECT_EQ(shown, (Names{"本区客服", "Bo 在线", "Dee 离开", "Ann 离线", "其他客服", "Cy Lee 繁忙",
                          "Ann 在线", "Eve ", "<b>{x 4}小白 在线"}));
  const ui::ParsedMarkup bo = ui::ParseMarkup(list->GetItemAt(1)->GetText());
  EXPECT_EQ(
      std::count_if(bo.items.begin(), bo.items.end(),
                    [](const ui::MarkupItem& item) { return item.kind == ui::MarkupItem::Kind::kImage; }),
      1);
  const ui::ParsedMarkup white = ui::ParseMarkup(list->GetItemAt(8)->GetText());
  for (const ui::MarkupItem& item : white.items) EXPECT_FALSE(item.style.bold);
  // Groups at level 0 with agents under them.
  const ListNode* other_group = list->GetRootNode()->children[1].get();
  EXPECT_EQ(other_group->children.size(), 4u);

  // Double click: both agents called Ann; the spaced and the marked-up names find their agents;
  // a group row finds nobody.
  auto ids_of_row = [&](int index) { return AgentIdsForRow(rows, *list->NodeOf(list->GetItemAt(index))); };
  EXPECT_EQ(ids_of_row(3), (Ids{1, 0x1'0000'0004ULL}));
  EXPECT_EQ(ids_of_row(6), (Ids{1, 0x1'0000'0004ULL}));
  EXPECT_EQ(ids_of_row(5), Ids{3});
  EXPECT_EQ(ids_of_row(8), Ids{8});
  EXPECT_EQ(ids_of_row(7), Ids{6});
  EXPECT_EQ(ids_of_row(0), Ids{});
  EXPECT_EQ(ids_of_row(4), Ids{});

  // An empty agent list leaves the two groups alone, and the old rows are gone.
  EXPECT_TRUE(FillAgentList(*list, {}).empty());
  EXPECT_EQ(Texts(*list), (Names{kLocalAgentsGroupText, kOtherAgentsGroupText}));
  EXPECT_EQ(AgentStateWord(-1), "");
}

}  // namespace
}  // namespace qrv::testing
