#pragma once
// CTreeListUI: what the two tree lists of the launcher share. Rows of the list form a tree of
// nodes under one root node that has no row; a node's row follows its parent's row and the rows
// of its earlier siblings with all their descendants, so the tree reads top to bottom in the list.
//
// The list accepts only its own kind of row (each list says which), removes a node's whole subtree
// with its row, and scrolls smoothly on the wheel (smooth_wheel.h). Adding a row takes constant
// time when it goes to the end of the list (the rows after an insertion are renumbered), so a
// list filled top to bottom fills in linear time. Rows hidden because a parent
// is collapsed are hidden "internally" (SetInternVisible), so a row's own visible flag stays its
// owner's to use.

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "lists/smooth_wheel.h"
#include "ui/ui.h"

namespace qrv {

// One row of a tree list, or the root. The parent owns its children.
struct ListNode {
  std::vector<std::unique_ptr<ListNode>> children;  // in insertion order
  ListNode* parent = nullptr;                       // null for the root
  int level = -1;                                   // -1 for the root, parent's level + 1 below it
  bool folder = false;                              // friends list: a folder row
  bool has_children = false;                        // friends list: a folder that is not empty
  bool expanded = false;                            // whether the children's rows are shown
  std::string text;                                 // the row's text without indent or expander
  std::string value;                                // the id of what the row stands for
  CControlUI* element = nullptr;                    // the row; null for the root

  bool IsRoot() const { return parent == nullptr; }
  // The last child, followed down to its own last child and so on; this node when it has none.
  ListNode* LastDescendant();
};

class CTreeListUI : public CListUI {
 public:
  // The root node: level -1, expanded, no row. Replaced by a new one when all rows are removed.
  ListNode* GetRootNode() const { return root_.get(); }
  // The node of a row of this list, or null for a plain row or a control that is not a row here.
  // The row's tag holds the same node; this look-up never trusts a tag it did not set.
  ListNode* NodeOf(const CControlUI* row) const;
  // Whether `node` belongs to this list's tree (the root included), in constant time.
  bool Owns(const ListNode* node) const;

  // Only rows of the list's own row class are accepted; other controls are refused (false).
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  // A row that carries a node takes the node's descendants and their rows with it; a row
  // without a node goes alone. Controls that are not rows of the list's class are refused.
  // `do_not_destroy` keeps the given row alive (the descendants' rows are always destroyed).
  bool Remove(CControlUI* control, bool do_not_destroy = false) override;
  bool RemoveAt(int index, bool do_not_destroy = false) override;
  // Removes every row, frees the whole tree and starts a new root.
  void RemoveAll() override;

  // Smooth wheel scrolling and its timer; mouse events while the list is not mouse-enabled go to
  // the parent control; everything else is the list's standard handling.
  void DoEvent(TEventUI& event) override;
  const SmoothWheelScroller& wheel_scroller() const { return wheel_; }

 protected:
  CTreeListUI();
  // Whether `control` is of the row class this list accepts.
  virtual bool IsRowClass(const CControlUI* control) const = 0;
  // Where a new child row of `parent` goes: one past the row of the parent's last descendant,
  // or, for a parent without children, one past the parent's row (0 for the root).
  int InsertIndexFor(const ListNode* parent) const;
  // Inserts `row` (carrying `node`) at `index` and hangs the node under its parent. On refusal
  // the row and the node are destroyed and the result is null.
  ListNode* InsertNodeRow(std::unique_ptr<ListNode> node, CControlUI* row, int index);

 private:
  static std::unique_ptr<ListNode> MakeRoot();
  void RemoveSubtree(ListNode* node, bool keep_own_row);
  void ScrollTick();

  std::unique_ptr<ListNode> root_;
  std::unordered_map<const CControlUI*, ListNode*> node_of_row_;
  std::unordered_set<const ListNode*> nodes_;  // every node with a row
  SmoothWheelScroller wheel_;
};

}  // namespace qrv
