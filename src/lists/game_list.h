#pragma once
// CGameListUI: the agent list's tree of rows ("GameList" in layouts). Group rows (level 0) start
// expanded and carry an expander picture and a banner background; agent rows (level 1) sit 24
// pixels further in. Rows are CListLabelElementUI with markup text.
//
// A click on a row with children sets that row's expanded state from a toggle flag that every
// click on a row of the list inverts (ToggleOnItemClick); the flag belongs to the list, so two
// lists never disturb each other.

#include <string>

#include "lists/tree_list.h"

namespace qrv {

class CGameListUI : public CTreeListUI {
 public:
  // Expander markup put in front of a row's text.
  static constexpr char kExpandedMark[] = "<a><i tree_expand.png 2 1></a>";
  static constexpr char kCollapsedMark[] = "<a><i tree_expand.png 2 0></a>";
  static constexpr char kGroupBackground[] = "file='tree_top.png' corner='2,1,2,1' fade='100'";
  // Rows of this level and deeper never show an expander.
  static constexpr int kNoExpanderLevel = 3;

  CGameListUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  // Adds a row for `text` under `parent` (null: the root) after the parent's last descendant.
  // Returns the new node, or null when the parent is not of this list or the row was refused.
  ListNode* AddNode(const std::string& text, ListNode* parent = nullptr);
  // Expands or collapses `node`: its row text shows the new expander and its descendants' rows
  // are shown or hidden. Nothing for null, the root, a node of another list or an unchanged state.
  void SetExpanded(ListNode* node, bool expanded);
  // The "itemclick" of `row`: a row with children takes the toggle flag as its expanded state;
  // then the flag is inverted, for any row of this list.
  void ToggleOnItemClick(CControlUI* row);
  // The expanded state the next click on a group asks for (false at first: a click collapses).
  bool next_click_expands() const { return toggle_; }

  // The markup text of `node`'s row: "<x 6>", "<x 24>" per level, the expander when
  // `with_expander` and the level is below kNoExpanderLevel, then the node's text.
  static std::string RowText(const ListNode& node, bool with_expander);

 protected:
  // Only CListLabelElementUI rows ("ListLabelElementUI").
  bool IsRowClass(const CControlUI* control) const override;

 private:
  bool toggle_ = false;
};

}  // namespace qrv
