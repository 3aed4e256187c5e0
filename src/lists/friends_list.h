#pragma once
// CFriendsUI: a tree list whose rows are built from the row template "friend_list_item.xml"
// ("FriendList" in layouts). Each row is a CListContainerElementUI holding the parts "logo" (in
// "logo_container"), "nickname", "description", "LabelUI1" and "ButtonUI5"; folder rows show
// an open or closed icon before their name. Every node starts collapsed, so a folder's children
// stay hidden. The template is parsed once and later rows are built from the parsed markup.

#include <cstddef>
#include <string>

#include "lists/tree_list.h"

namespace qrv {

// One row to add.
struct FriendListEntry {
  bool folder = false;
  bool empty = false;  // a folder without children
  std::string id;
  std::string logo;
  std::string nickname;
  std::string description;
  std::string note;
};

class CFriendsUI : public CTreeListUI {
 public:
  static constexpr char kRowTemplate[] = "friend_list_item.xml";
  static constexpr char kExpandedIcon[] = "<i list_icon_b.png>";
  static constexpr char kCollapsedIcon[] = "<i list_icon_a.png>";
  static constexpr char kNoteFormat[] = "<x 20><c #808080>%s</c>";
  static constexpr int kRowHeight = 32;
  static constexpr int kLevelIndent = 10;
  // Logo, description and note are cut to this many characters.
  static constexpr std::size_t kMaxPartChars = 258;

  // `manager` is the window's paint manager, which builds the rows.
  explicit CFriendsUI(CPaintManagerUI* manager);
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  // Builds a row for `entry` under `parent` (null: the root), placed after the parent's last
  // descendant. Returns the node, or null when the template gives no row, the parent is not of
  // this list or the row is refused.
  ListNode* AddNode(const FriendListEntry& entry, ListNode* parent = nullptr);

  // Selecting the selected row changes nothing (true). Otherwise the selected row, if any, is
  // deselected first; then a non-negative index is selected the list's own way (a negative one
  // leaves the list without selection, true).
  bool SelectItem(int index, bool take_focus = false, bool send_notify = true) override;

  const RECT& row_padding() const { return row_padding_; }

 protected:
  // Only "ListContainerElementUI" rows, the class name compared without regard to case.
  bool IsRowClass(const CControlUI* control) const override;

 private:
  CControlUI* BuildRow();
  void FillParts(CControlUI* row, const ListNode& node, const FriendListEntry& entry);

  CPaintManagerUI* row_manager_;
  RECT row_padding_{10, 0, 0, 0};
  CDialogBuilder row_builder_;
};

}  // namespace qrv
