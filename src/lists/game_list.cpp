#include "lists/game_list.h"

namespace qrv {

CGameListUI::CGameListUI() = default;

std::string CGameListUI::GetClass() const { return "GameListUI"; }

void* CGameListUI::GetInterface(const std::string& name) {
  if (name == "GameList") return this;
  return CTreeListUI::GetInterface(name);
}

bool CGameListUI::IsRowClass(const CControlUI* control) const {
  return control->GetClass() == "ListLabelElementUI";
}

std::string CGameListUI::RowText(const ListNode& node, bool with_expander) {
  std::string text = "<x 6>";
  for (int i = 0; i < node.level; ++i) text += "<x 24>";
  if (with_expander && node.level < kNoExpanderLevel) text += node.expanded ? kExpandedMark : kCollapsedMark;
  text += node.text;
  return text;
}

ListNode* CGameListUI::AddNode(const std::string& text, ListNode* parent) {
  if (parent == nullptr) parent = GetRootNode();
  if (!Owns(parent)) return nullptr;

  auto node = std::make_unique<ListNode>();
  node->parent = parent;
  node->level = parent->level + 1;
  node->expanded = node->level == 0;
  node->text = text;

  auto* row = new CListLabelElementUI;
  if (!parent->IsRoot() && !(parent->expanded && parent->element->IsVisible())) row->SetInternVisible(false);
  // Only top-level rows show their expander from the start.
  row->SetText(RowText(*node, parent->IsRoot()));
  if (node->level == 0) row->SetBkImage(kGroupBackground);
  return InsertNodeRow(std::move(node), row, InsertIndexFor(parent));
}

void CGameListUI::SetExpanded(ListNode* node, bool expanded) {
  if (node == nullptr || node->IsRoot() || !Owns(node) || node->expanded == expanded) return;
  node->expanded = expanded;
  node->element->SetText(RowText(*node, true));
  if (!node->element->IsVisible() || node->children.empty()) return;

  const int first = IndexOfRow(node->children.front()->element);
  const int last = IndexOfRow(node->LastDescendant()->element);
  // Parents come before their children, so each row sees its parent's new visibility.
  for (int i = first; first >= 0 && i <= last; ++i) {
    CControlUI* row = GetItemAt(i);
    if (!IsRowClass(row)) continue;
    const ListNode* row_node = NodeOf(row);
    if (row_node == nullptr) continue;
    const ListNode* parent = row_node->parent;
    row->SetInternVisible(parent->expanded && (parent->IsRoot() || parent->element->IsVisible()));
  }
  NeedUpdate();
}

void CGameListUI::ToggleOnItemClick(CControlUI* row) {
  if (row == nullptr || IndexOfRow(row) < 0) return;
  ListNode* node = NodeOf(row);
  if (node != nullptr && !node->children.empty()) SetExpanded(node, toggle_);
  toggle_ = !toggle_;
}

}  // namespace qrv
