// The builder callback: which layout element names make which list, and that a friends list made
// from a layout builds its rows with the window's paint manager.

#include <gtest/gtest.h>

#include <memory>

#include "lists/lists_test_support.h"

namespace qrv::testing {
namespace {

class BuilderCallbackTest : public ListsTest {};

TEST_F(BuilderCallbackTest, GameListByExactNameFriendListInAnyCaseOthersNot) {
  CPaintManagerUI pm;
  CDialogBuilderCallbackEx callback(&pm);
  auto made = [&](const std::string& tag) { return std::unique_ptr<CControlUI>(callback.CreateControl(tag)); };
  EXPECT_NE(made("GameList")->GetInterface("GameList"), nullptr);
  for (const char* tag : {"gamelist", "GAMELIST", "Gamelist", "GameListUI", "List", "Label", ""})
    EXPECT_EQ(made(tag), nullptr) << tag;
  for (const char* tag : {"FriendList", "friendlist", "FRIENDLIST", "fRiEnDlIsT"})
    EXPECT_NE(made(tag)->GetInterface("FriendList"), nullptr) << tag;
  EXPECT_EQ(made("FriendLists"), nullptr);

  // In a layout: unknown spellings are skipped with their content, the rest become the lists.
  ListWindow window(R"(<Window size="300,300"><VerticalLayout>
    <GameList name="gamelist"/>
    <gameList name="skipped"><Label name="inside"/></gameList>
    <friendlist name="friends"/>
  </VerticalLayout></Window>)");
  window.Open(300, 300);
  EXPECT_NE(window.Find<CControlUI>("gamelist")->GetInterface("GameList"), nullptr);
  EXPECT_EQ(window.Find<CControlUI>("skipped"), nullptr);
  EXPECT_EQ(window.Find<CControlUI>("inside"), nullptr);
  auto* friends = window.Find<CFriendsUI>("friends");
  ASSERT_NE(friends->GetInterface("FriendList"), nullptr);
  FriendListEntry entry;
  entry.nickname = "row";
  ListNode* node = friends->AddNode(entry);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->element->GetManager(), &window.pm);
  EXPECT_NE(window.pm.FindControl("row"), nullptr) << "the renamed button is found in the window";
}

}  // namespace
}  // namespace qrv::testing
