#include "lists/tree_list.h"

namespace qrv {

ListNode* ListNode::LastDescendant() {
  ListNode* node = this;
  while (!node->children.empty()) node = node->children.back().get();
  return node;
}

CTreeListUI::CTreeListUI() : root_(MakeRoot()) { SetItemShowHtml(true); }

std::unique_ptr<ListNode> CTreeListUI::MakeRoot() {
  auto root = std::make_unique<ListNode>();
  root->level = -1;
  root->expanded = true;
  root->has_children = true;
  return root;
}

ListNode* CTreeListUI::NodeOf(const CControlUI* row) const {
  auto it = node_of_row_.find(row);
  return it == node_of_row_.end() ? nullptr : it->second;
}

bool CTreeListUI::Owns(const ListNode* node) const {
  if (node == nullptr) return false;
  if (node == root_.get()) return true;
  // Compared by address only: a stale pointer from the caller is never followed.
  return nodes_.contains(node);
}

int CTreeListUI::InsertIndexFor(const ListNode* parent) const {
  if (!parent->children.empty()) {
    const ListNode* last = parent->children.back()->LastDescendant();
    return IndexOfRow(last->element) + 1;
  }
  if (parent->IsRoot()) return 0;
  return IndexOfRow(parent->element) + 1;
}

ListNode* CTreeListUI::InsertNodeRow(std::unique_ptr<ListNode> node, CControlUI* row, int index) {
  node->element = row;
  row->SetTag(reinterpret_cast<std::uintptr_t>(node.get()));
  if (!AddAt(row, index)) {
    delete row;
    return nullptr;
  }
  ListNode* added = node.get();
  node_of_row_[row] = added;
  nodes_.insert(added);
  added->parent->children.push_back(std::move(node));
  return added;
}

bool CTreeListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTreeListUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr || !IsRowClass(control)) return false;
  return CListUI::AddAt(control, index);
}

bool CTreeListUI::Remove(CControlUI* control, bool do_not_destroy) {
  const int index = IndexOfRow(control);
  if (index < 0) return false;
  return RemoveAt(index, do_not_destroy);
}

bool CTreeListUI::RemoveAt(int index, bool do_not_destroy) {
  CControlUI* row = GetItemAt(index);
  if (row == nullptr || !IsRowClass(row)) return false;
  if (ListNode* node = NodeOf(row)) {
    RemoveSubtree(node, do_not_destroy);
    return true;
  }
  return CListUI::RemoveAt(index, do_not_destroy);
}

void CTreeListUI::RemoveSubtree(ListNode* node, bool keep_own_row) {
  std::vector<ListNode*> pending{node};
  std::vector<CControlUI*> rows;
  while (!pending.empty()) {
    ListNode* current = pending.back();
    pending.pop_back();
    nodes_.erase(current);
    if (current->element != nullptr) rows.push_back(current->element);
    for (const auto& child : current->children) pending.push_back(child.get());
  }
  for (CControlUI* row : rows) {
    node_of_row_.erase(row);
    const bool keep = keep_own_row && row == node->element;
    // A row that lives on must not point at the node freed below.
    if (keep) row->SetTag(0);
    CListUI::RemoveAt(IndexOfRow(row), keep);
  }
  auto& siblings = node->parent->children;
  std::erase_if(siblings, [node](const std::unique_ptr<ListNode>& child) { return child.get() == node; });
}

void CTreeListUI::RemoveAll() {
  CListUI::RemoveAll();
  node_of_row_.clear();
  nodes_.clear();
  root_ = MakeRoot();
}

void CTreeListUI::DoEvent(TEventUI& event) {
  const bool mouse_event = event.Type >= UIEVENT_MOUSEMOVE && event.Type <= UIEVENT_SCROLLWHEEL;
  if (mouse_event && !IsMouseEnabled()) {
    if (parent_ != nullptr)
      parent_->DoEvent(event);
    else
      CVerticalLayoutUI::DoEvent(event);
    return;
  }
  if (event.Type == UIEVENT_SCROLLWHEEL) {
    wheel_.Wheel(event.wParam == 0);
    if (manager_ != nullptr) manager_->SetTimer(this, SmoothWheelScroller::kTimerId, SmoothWheelScroller::kTickMs);
    return;
  }
  if (event.Type == UIEVENT_TIMER && event.wParam == SmoothWheelScroller::kTimerId) {
    ScrollTick();
    return;
  }
  CListUI::DoEvent(event);
}

void CTreeListUI::ScrollTick() {
  if (auto position = wheel_.Tick(GetScrollPos().cy, GetScrollRange().cy)) {
    SetScrollPos({0, *position});
    return;
  }
  if (manager_ != nullptr) manager_->KillTimer(this, SmoothWheelScroller::kTimerId);
}

}  // namespace qrv
