#pragma once
// Helpers for the tree-list tests: the real skin plus a friends-list row template of the tests'
// own, a window whose layout may hold "GameList" and "FriendList", and short ways to read rows.

#include <string>
#include <vector>

#include "lists/builder_callback.h"
#include "lists/friends_list.h"
#include "lists/game_list.h"
#include "ui/ui_test_support.h"

namespace qrv::testing {

// A row template with every part the friends list fills: the logo as a picture-less button in
// its container, the nickname, the description, the grey note and the remove button.
extern const char kFriendRowTemplate[];

// The real skin archive, and kFriendRowTemplate as "friend_list_item.xml".
class ListsTest : public UiTest {
 protected:
  void SetUp() override;
};

// A toolkit window whose layout is built with the launcher's builder callback.
class ListWindow : public LayoutWindow {
 public:
  explicit ListWindow(std::string xml) : LayoutWindow(std::move(xml), &callback_), callback_(&pm) {}

 private:
  CDialogBuilderCallbackEx callback_;
};

// The node text of every row of `list`, in row order ("-" for a row without node); rows hidden
// by a collapsed parent are put in brackets.
std::vector<std::string> RowNames(const CTreeListUI& list);

// A part of a row by name.
CControlUI* Part(CControlUI* row, const std::string& name);

}  // namespace qrv::testing
