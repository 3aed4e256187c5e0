// The agent list's rows: grouping and order, row texts, and which agents a double-clicked row
// stands for.

#include <gtest/gtest.h>

#include "lists/agent_rows.h"
#include "lists/lists_test_support.h"

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

TEST_F(AgentRowsTest, GroupsListAgentsOnlineFirstAndRowsLeadBackToAgentsByName) {
  ListWindow window(R"(<Window size="240,300"><GameList name="gamelist"/></Window>)");
  window.Open(240, 300);
  auto* list = window.Find<CGameListUI>("gamelist");
  list->AddNode("left over");

  const std::vector<ListedAgent> agents = {
      Agent(1, "Ann", 3, 1),                   // local, offline: after the local ones online
      Agent(2, "Bo", 0, 1),                    // local, online
      Agent(3, "Cy Lee", 2, 0),                // other, busy, a name with a space
      Agent(0x1'0000'0004ULL, "Ann", 0, 0),    // other, same name as agent 1
      Agent(5, "Dee", 1, 1),                   // local, away
      Agent(6, "Eve", 9, 0),                   // other, unknown state: no word, online icon
      Agent(7, "Fay", 0, 2),                   // neither group
  };
  const std::vector<ListedAgent> rows = FillAgentList(*list, agents);
  EXPECT_EQ(Texts(*list), (Names{
                              "{x 4}{x 4}本区客服",
                              "{x 4}{i gameicons.png 18 12}{x 4}Bo 在线",
                              "{x 4}{i gameicons.png 18 12}{x 4}Dee 离开",
                              "{x 4}{i gameicons.png 18 13}{x 4}Ann 离线",
                              "{x 4}{x 4}其他客服",
                              "{x 4}{i gameicons.png 18 12}{x 4}Cy Lee 繁忙",
                              "{x 4}{i gameicons.png 18 12}{x 4}Ann 在线",
                              "{x 4}{i gameicons.png 18 12}{x 4}Eve ",
                          }));
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].id, 2u);
  EXPECT_EQ(rows[2].id, 1u);
  EXPECT_EQ(rows[5].id, 6u);
  // Groups at level 0 with agents under them; the agents' rows show indentation only.
  const ListNode* other_group = list->GetRootNode()->children[1].get();
  EXPECT_EQ(other_group->children.size(), 3u);
  EXPECT_EQ(list->GetItemAt(1)->GetText(), "<x 6><x 24>{x 4}{i gameicons.png 18 12}{x 4}Bo 在线");

  // Double click: both agents called Ann; nobody for the spaced name or a group row.
  auto ids_of_row = [&](int index) { return AgentIdsForRowText(rows, list->NodeOf(list->GetItemAt(index))->text); };
  EXPECT_EQ(ids_of_row(3), (Ids{1, 0x1'0000'0004ULL}));
  EXPECT_EQ(ids_of_row(6), (Ids{1, 0x1'0000'0004ULL}));
  EXPECT_EQ(AgentNameOfRowText(list->NodeOf(list->GetItemAt(5))->text), "Cy");
  EXPECT_EQ(ids_of_row(5), Ids{});
  EXPECT_EQ(AgentNameOfRowText(kLocalAgentsGroupText), "");
  EXPECT_EQ(ids_of_row(0), Ids{});
  EXPECT_EQ(ids_of_row(4), Ids{});
  EXPECT_EQ(ids_of_row(7), (Ids{6}));
  // Texts that are not rows of this list: no markup is a name of its own; broken ones name nobody.
  EXPECT_EQ(AgentNameOfRowText("Bo"), "Bo");
  EXPECT_EQ(AgentNameOfRowText("{x 4}"), "");
  EXPECT_EQ(AgentNameOfRowText("{x 4}{i a}{x 4}"), "");
  EXPECT_EQ(AgentIdsForRowText(rows, "{x 4}{i a}{x 4} 在线"), Ids{});

  // An empty agent list leaves the two groups alone, and the old rows are gone.
  EXPECT_TRUE(FillAgentList(*list, {}).empty());
  EXPECT_EQ(Texts(*list), (Names{kLocalAgentsGroupText, kOtherAgentsGroupText}));
  EXPECT_EQ(AgentStateWord(-1), "");
}

}  // namespace
}  // namespace qrv::testing
