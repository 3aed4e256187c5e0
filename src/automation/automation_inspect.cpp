#include "automation/automation_inspect.h"

#include <functional>

#include "automation/automation_commands.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/tray.h"
#include "platform/window_system.h"
#include "ui/render/text_markup.h"
#include "ui/ui.h"

namespace qrv::automation {
namespace {

void AddRect(JsonBuilder* builder, const RECT& rc) {
  json_builder_set_member_name(builder, "rect");
  json_builder_begin_array(builder);
  json_builder_add_int_value(builder, rc.left);
  json_builder_add_int_value(builder, rc.top);
  json_builder_add_int_value(builder, rc.right);
  json_builder_add_int_value(builder, rc.bottom);
  json_builder_end_array(builder);
}

void AddString(JsonBuilder* builder, const char* member, const std::string& value) {
  json_builder_set_member_name(builder, member);
  json_builder_add_string_value(builder, value.c_str());
}

void AddBool(JsonBuilder* builder, const char* member, bool value) {
  json_builder_set_member_name(builder, member);
  json_builder_add_boolean_value(builder, value);
}

void AddInt(JsonBuilder* builder, const char* member, std::int64_t value) {
  json_builder_set_member_name(builder, member);
  json_builder_add_int_value(builder, value);
}

// The rows of a list, which have no names of their own: their text (markup included), what a
// reader sees of it ("plain", when the list shows markup), whether they are shown, and where.
void DescribeRows(JsonBuilder* builder, CListUI& list) {
  json_builder_set_member_name(builder, "rows");
  json_builder_begin_array(builder);
  for (int i = 0; i < list.GetCount(); ++i) {
    CControlUI* row = list.GetItemAt(i);
    if (row == nullptr) continue;
    json_builder_begin_object(builder);
    AddString(builder, "text", row->GetText());
    if (list.IsItemShowHtml()) AddString(builder, "plain", ui::ParseMarkup(row->GetText()).PlainText());
    AddBool(builder, "visible", IsEffectivelyVisible(row));
    AddRect(builder, row->GetPos());
    json_builder_end_object(builder);
  }
  json_builder_end_array(builder);
}

// The first window for which `matches` holds, preferring a visible one: a script asking for
// "UILogIn" means the one the player sees, while a hidden one is still better than none.
HWND FirstMatching(const std::function<bool(HWND)>& matches) {
  HWND hidden = nullptr;
  for (HWND hwnd : AllWindows()) {
    if (!matches(hwnd)) continue;
    if (WindowSystem::Get().IsVisible(hwnd)) return hwnd;
    if (hidden == nullptr) hidden = hwnd;
  }
  return hidden;
}

void CollectNamed(CControlUI* control, std::vector<CControlUI*>& out) {
  if (control == nullptr) return;
  if (!control->GetName().empty()) out.push_back(control);
  auto* container = static_cast<CContainerUI*>(control->GetInterface("Container"));
  if (container == nullptr) return;
  for (int i = 0; i < container->GetCount(); ++i) CollectNamed(container->GetItemAt(i), out);
}

}  // namespace

HWND FindRequestedWindow(JsonObject* request, std::string* error) {
  if (!WindowSystem::Installed()) {
    *error = "no window system is running";
    return nullptr;
  }
  if (json_object_has_member(request, "hwnd")) {
    JsonNode* node = json_object_get_member(request, "hwnd");
    if (JSON_NODE_HOLDS_VALUE(node) && json_node_get_value_type(node) == G_TYPE_INT64) {
      const std::int64_t id = json_node_get_int(node);
      const HWND hwnd = id > 0 ? HandleFromId(static_cast<std::uintptr_t>(id)) : nullptr;
      if (hwnd != nullptr && IsWindow(hwnd)) return hwnd;
      *error = "no window with hwnd " + std::to_string(id);
      return nullptr;
    }
    *error = "\"hwnd\" must be an integer";
    return nullptr;
  }
  for (const char* key : {"class", "title"}) {
    if (!json_object_has_member(request, key)) continue;
    JsonNode* node = json_object_get_member(request, key);
    if (!JSON_NODE_HOLDS_VALUE(node) || json_node_get_value_type(node) != G_TYPE_STRING) {
      *error = std::string("\"") + key + "\" must be a string";
      return nullptr;
    }
    const std::string wanted = json_node_get_string(node);
    const bool by_class = std::string(key) == "class";
    const HWND hwnd = FirstMatching([&](HWND candidate) {
      return by_class ? WindowClassOf(candidate) == wanted : WindowSystem::Get().Title(candidate) == wanted;
    });
    if (hwnd != nullptr) return hwnd;
    *error = std::string("no window with ") + key + " \"" + wanted + "\"";
    return nullptr;
  }
  *error = "the request names no window (\"hwnd\", \"class\" or \"title\")";
  return nullptr;
}

std::string WindowClassOf(HWND hwnd) {
  const CWindowWnd* window = CWindowWnd::FromHandle(hwnd);
  return window == nullptr ? std::string() : window->GetWindowClassName();
}

std::vector<CControlUI*> NamedControls(HWND hwnd) {
  std::vector<CControlUI*> controls;
  if (CPaintManagerUI* manager = CPaintManagerUI::ForWindow(hwnd)) {
    manager->UpdateLayout();
    CollectNamed(manager->GetRoot(), controls);
  }
  return controls;
}

CControlUI* FindNamedControl(HWND hwnd, const std::string& name, std::string* error) {
  CPaintManagerUI* manager = CPaintManagerUI::ForWindow(hwnd);
  if (manager == nullptr) {
    *error = "window " + std::to_string(IdFromHandle(hwnd)) + " has no controls";
    return nullptr;
  }
  if (name.empty()) {
    *error = "\"name\" must be a non-empty string";
    return nullptr;
  }
  // Positions are only meaningful once the tree is laid out to the window's current size.
  manager->UpdateLayout();
  if (CControlUI* control = manager->FindControl(name)) return control;
  *error = "no control named \"" + name + "\" in window " + std::to_string(IdFromHandle(hwnd));
  return nullptr;
}

bool IsEffectivelyVisible(const CControlUI* control) {
  for (; control != nullptr; control = control->GetParent()) {
    if (!control->IsVisible()) return false;
  }
  return true;
}

bool IsEffectivelyEnabled(const CControlUI* control) {
  for (; control != nullptr; control = control->GetParent()) {
    if (!control->IsEnabled()) return false;
  }
  return true;
}

namespace {
std::function<std::string(HWND)>& WindowTextSource() {
  static std::function<std::string(HWND)> source;
  return source;
}
}  // namespace

void DescribeWindow(JsonBuilder* builder, HWND hwnd) {
  WindowSystem& system = WindowSystem::Get();
  AddInt(builder, "hwnd", static_cast<std::int64_t>(IdFromHandle(hwnd)));
  AddString(builder, "class", WindowClassOf(hwnd));
  AddString(builder, "title", system.Title(hwnd));
  AddBool(builder, "visible", system.IsVisible(hwnd));
  AddBool(builder, "minimized", system.IsMinimized(hwnd));
  AddBool(builder, "active", system.IsActive(hwnd));
  AddBool(builder, "controls", CPaintManagerUI::ForWindow(hwnd) != nullptr);
  if (CWindowWnd::FromHandle(hwnd) == nullptr) {
    const std::string text = WindowTextSource() ? WindowTextSource()(hwnd) : std::string();
    if (!text.empty()) AddString(builder, "text", text);
  } else {
    // Windows with a text of their own (the chat's text controls) give it when asked.
    std::string text;
    if (SendMessage(hwnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&text)) != 0)
      AddString(builder, "text", text);
  }
  AddRect(builder, system.WindowRect(hwnd));
  // How the window's tray icon is shown, when it has one.
  switch (TrayIcon::Get().KindOf(hwnd)) {
    case TrayIconKind::kSystemTray:
      AddString(builder, "tray", "system-tray");
      break;
    case TrayIconKind::kStatusNotifierItem:
      AddString(builder, "tray", "status-notifier-item");
      break;
    case TrayIconKind::kNone:
      break;
  }
}

std::string ReadableText(CControlUI* control) {
  if (auto* edit = static_cast<CEditUI*>(control->GetInterface("Edit"));
      edit != nullptr && edit->IsPasswordMode()) {
    return edit->DisplayText();
  }
  return control->GetText();
}

void DescribeControl(JsonBuilder* builder, CControlUI* control) {
  AddString(builder, "name", control->GetName());
  AddString(builder, "class", control->GetClass());
  AddString(builder, "text", ReadableText(control));
  AddBool(builder, "visible", IsEffectivelyVisible(control));
  AddBool(builder, "enabled", IsEffectivelyEnabled(control));
  AddBool(builder, "focused", control->IsFocused());
  if (auto* option = static_cast<COptionUI*>(control->GetInterface("Option"))) {
    AddBool(builder, "selected", option->IsSelected());
  } else if (auto* item = static_cast<IListItemUI*>(control->GetInterface("ListItem"))) {
    AddBool(builder, "selected", item->IsSelected());
  }
  if (auto* owner = static_cast<IListOwnerUI*>(control->GetInterface("IListOwner"))) {
    AddInt(builder, "cursel", owner->GetCurSel());
    if (auto* list = dynamic_cast<CListUI*>(control)) DescribeRows(builder, *list);
  } else if (auto* tabs = static_cast<CTabLayoutUI*>(control->GetInterface("TabLayout"))) {
    AddInt(builder, "cursel", tabs->GetCurSel());
  }
  if (auto* edit = static_cast<CEditUI*>(control->GetInterface("Edit"))) {
    AddBool(builder, "password", edit->IsPasswordMode());
  }
  AddRect(builder, control->GetPos());
}

}  // namespace qrv::automation

void qrv::SetWindowTextSource(std::function<std::string(HWND)> source) {
  automation::WindowTextSource() = std::move(source);
}
