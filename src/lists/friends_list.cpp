#include "lists/friends_list.h"

#include "ui/core/ui_parse.h"

namespace qrv {
namespace {

CControlUI* MatchName(CControlUI* control, void* data) {
  return control->GetName() == *static_cast<const std::string*>(data) ? control : nullptr;
}

CControlUI* FindPart(CControlUI* row, const std::string& name) {
  return row->FindControl(MatchName, const_cast<std::string*>(&name), UIFIND_ALL | UIFIND_ME_FIRST);
}

CLabelUI* FindLabelPart(CControlUI* row, const std::string& name) {
  CControlUI* part = FindPart(row, name);
  return part == nullptr ? nullptr : static_cast<CLabelUI*>(part->GetInterface("Label"));
}

// At most `max_chars` characters of `text`, never splitting one.
std::string CutToChars(const std::string& text, std::size_t max_chars) {
  return text.substr(0, ui::Utf8Offset(text, max_chars));
}

}  // namespace

CFriendsUI::CFriendsUI(CPaintManagerUI* manager) : row_manager_(manager) {}

std::string CFriendsUI::GetClass() const { return "FriendsUI"; }

void* CFriendsUI::GetInterface(const std::string& name) {
  if (name == "FriendList") return this;
  return CTreeListUI::GetInterface(name);
}

bool CFriendsUI::IsRowClass(const CControlUI* control) const {
  return ui::EqualsIgnoreCase(control->GetClass(), "ListContainerElementUI");
}

CControlUI* CFriendsUI::BuildRow() {
  if (row_builder_.GetMarkup()->IsValid()) return row_builder_.Create(nullptr, row_manager_);
  return row_builder_.Create(kRowTemplate, nullptr, row_manager_);
}

ListNode* CFriendsUI::AddNode(const FriendListEntry& entry, ListNode* parent) {
  if (parent == nullptr) parent = GetRootNode();
  if (!Owns(parent)) return nullptr;
  CControlUI* row = BuildRow();
  if (row == nullptr) return nullptr;

  auto node = std::make_unique<ListNode>();
  node->parent = parent;
  node->level = parent->level + 1;
  node->folder = entry.folder;
  node->has_children = entry.folder && !entry.empty;
  node->expanded = false;
  node->text = entry.nickname;
  node->value = entry.id;

  if (!parent->expanded || (!parent->IsRoot() && !parent->element->IsVisible())) row->SetInternVisible(false);
  RECT padding = row_padding_;
  if (node->level > 0) padding.left += kLevelIndent * node->level;
  row->SetPadding(padding);
  FillParts(row, *node, entry);
  row->SetFixedHeight(kRowHeight);

  ListNode* added = InsertNodeRow(std::move(node), row, InsertIndexFor(parent));
  if (added == nullptr) return nullptr;
  // A click on this button then reports the row's name as its sender's name.
  if (CControlUI* button = FindPart(row, "ButtonUI5")) button->SetName(entry.nickname);
  return added;
}

void CFriendsUI::FillParts(CControlUI* row, const ListNode& node, const FriendListEntry& entry) {
  if (CControlUI* logo = FindPart(row, "logo")) {
    if (entry.folder || entry.logo.empty()) {
      if (CControlUI* container = FindPart(row, "logo_container")) container->SetVisible(false);
    } else {
      logo->SetText(CutToChars(entry.logo, kMaxPartChars));
    }
    // Pressing the logo acts on the row (selects it, "itemclick"), and the logo still gets the
    // press as usual. A button keeps its presses, so the row is handed the press here; any other
    // kind of logo passes presses up to the row by itself and would otherwise press it twice.
    // The logo lives inside the row, so the row outlives this handler.
    logo->SetTag(reinterpret_cast<std::uintptr_t>(row));
    if (logo->GetInterface("Button") != nullptr) {
      logo->OnEvent += [logo](void* param) {
        auto* event = static_cast<TEventUI*>(param);
        if (event->Type == UIEVENT_BUTTONDOWN) reinterpret_cast<CControlUI*>(logo->GetTag())->DoEvent(*event);
        return true;
      };
    }
  }

  std::string text;
  if (node.has_children) {
    text = node.expanded ? kExpandedIcon : kCollapsedIcon;
    text += "<x " + std::to_string(kLevelIndent) + ">";
  }
  text += entry.nickname;
  if (CLabelUI* nickname = FindLabelPart(row, "nickname")) {
    if (entry.folder) nickname->SetFixedWidth(0);
    nickname->SetShowHtml(true);
    nickname->SetText(text);
  }
  if (!entry.folder && !entry.description.empty()) {
    if (CControlUI* description = FindPart(row, "description"))
      description->SetText(CutToChars(entry.description, kMaxPartChars));
  }
  if (CLabelUI* note = FindLabelPart(row, "LabelUI1")) {
    note->SetShowHtml(true);
    std::string note_text = kNoteFormat;
    note_text.replace(note_text.find("%s"), 2, CutToChars(entry.note, kMaxPartChars));
    note->SetText(note_text);
  }
}

bool CFriendsUI::SelectItem(int index, bool take_focus, bool send_notify) {
  if (index == cur_sel_) return true;
  if (CControlUI* selected = GetItemAt(cur_sel_)) {
    if (auto* item = static_cast<IListItemUI*>(selected->GetInterface("ListItem"))) item->SetSelected(false);
  }
  cur_sel_ = -1;
  if (index < 0) return true;
  return CListUI::SelectItem(index, take_focus, send_notify);
}

}  // namespace qrv
