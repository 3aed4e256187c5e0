// The rich text on GTK: its own context menu in place of the view's (commands 101 to 107), shown
// once the clipboard has said whether it holds text to paste.

#include <array>

#include "chat/rich_text_gtk_impl.h"

namespace qrv {
namespace {

constexpr char kCommandKey[] = "qrv-command";

struct MenuEntry {
  int command;
  const char* text;  // as the menu shows it; "&" marks the mnemonic
  bool separator_after;
};

constexpr std::array<MenuEntry, 7> kMenu{{
    {GtkRichText::kUndo, "&撤销", true},
    {GtkRichText::kCut, "&剪切", false},
    {GtkRichText::kCopy, "&复制", false},
    {GtkRichText::kPaste, "&粘贴", false},
    {GtkRichText::kClear, "&清除", true},
    {GtkRichText::kSelectAll, "&全选", true},
    {GtkRichText::kChooseFont, "&选择字体", false},
}};

// GTK marks a mnemonic with "_" where the menu texts use "&"; a "_" of the text itself is doubled.
std::string Mnemonic(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '&') {
      out += '_';
    } else {
      if (*p == '_') out += '_';
      out += *p;
    }
  }
  return out;
}

bool HasSelection(GtkTextBuffer* buffer) {
  return gtk_text_buffer_get_selection_bounds(buffer, nullptr, nullptr);
}

gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  auto* impl = static_cast<GtkRichText::Impl*>(data);
  if (event->type != GDK_BUTTON_PRESS) return FALSE;
  if (impl->on_press) {
    const auto on_press = impl->on_press;  // may replace itself
    on_press();
  }
  if (event->button != GDK_BUTTON_SECONDARY) return FALSE;
  gtk_widget_grab_focus(widget);
  impl->ShowContextMenu(reinterpret_cast<GdkEvent*>(event));
  return TRUE;
}

gboolean OnPopupMenu(GtkWidget*, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->ShowContextMenu(nullptr);
  return TRUE;
}

void OnMenuItem(GtkMenuItem* item, gpointer data) {
  const int command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCommandKey));
  static_cast<GtkRichText::Impl*>(data)->RunCommand(command);
}

void OnMenuDestroyed(GtkWidget* menu, gpointer data) {
  auto* impl = static_cast<GtkRichText::Impl*>(data);
  if (impl->menu == menu) impl->menu = nullptr;
}

// The clipboard's answer to what it holds arrives later; the control may be gone by then.
struct TargetsRequest {
  std::weak_ptr<GtkRichText::Impl> impl;
  GdkEvent* trigger = nullptr;
};

void OnClipboardTargets(GtkClipboard*, GdkAtom* targets, gint count, gpointer data) {
  auto* request = static_cast<TargetsRequest*>(data);
  if (auto impl = request->impl.lock(); impl != nullptr && !impl->view_gone) {
    const bool can_paste = targets != nullptr && gtk_targets_include_text(targets, count);
    GtkWidget* menu = impl->BuildContextMenu(can_paste);
    if (request->trigger != nullptr) {
      gtk_menu_popup_at_pointer(GTK_MENU(menu), request->trigger);
    } else {
      gtk_menu_popup_at_widget(GTK_MENU(menu), GTK_WIDGET(impl->view), GDK_GRAVITY_NORTH_WEST,
                               GDK_GRAVITY_NORTH_WEST, nullptr);
    }
  }
  if (request->trigger != nullptr) gdk_event_free(request->trigger);
  delete request;
}

}  // namespace

void GtkRichText::Impl::ConnectMenuSignals() {
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(view, "popup-menu", G_CALLBACK(OnPopupMenu), this);
}

void GtkRichText::Impl::ShowContextMenu(const GdkEvent* trigger) {
  if (view_gone) return;
  auto* request = new TargetsRequest{self, trigger != nullptr ? gdk_event_copy(trigger) : nullptr};
  GtkClipboard* clipboard = gtk_widget_get_clipboard(GTK_WIDGET(view), GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_request_targets(clipboard, OnClipboardTargets, request);
}

bool GtkRichText::Impl::CommandEnabled(int command, bool can_paste) const {
  switch (command) {
    case kUndo:
      return !undo.empty();
    case kCut:
    case kCopy:
    case kClear:
      return HasSelection(buffer);
    case kPaste:
      return can_paste;
    case kSelectAll:
    case kChooseFont:
      return true;
    default:
      return false;
  }
}

GtkWidget* GtkRichText::Impl::BuildContextMenu(bool can_paste) {
  if (menu != nullptr) {
    g_signal_handlers_disconnect_by_data(menu, this);
    gtk_widget_destroy(menu);
  }
  menu = gtk_menu_new();
  g_signal_connect(menu, "destroy", G_CALLBACK(OnMenuDestroyed), this);
  gtk_menu_attach_to_widget(GTK_MENU(menu), GTK_WIDGET(view), nullptr);
  for (const MenuEntry& entry : kMenu) {
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(Mnemonic(entry.text).c_str());
    g_object_set_data(G_OBJECT(item), kCommandKey, GINT_TO_POINTER(entry.command));
    gtk_widget_set_sensitive(item, CommandEnabled(entry.command, can_paste));
    g_signal_connect(item, "activate", G_CALLBACK(OnMenuItem), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    if (entry.separator_after) gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
  }
  gtk_widget_show_all(menu);
  return menu;
}

void GtkRichText::Impl::RunCommand(int command) {
  if (view_gone) return;
  const gboolean editable = gtk_text_view_get_editable(view);
  GtkClipboard* clipboard = gtk_widget_get_clipboard(GTK_WIDGET(view), GDK_SELECTION_CLIPBOARD);
  switch (command) {
    case kUndo:
      Undo();
      break;
    case kCut:
      gtk_text_buffer_cut_clipboard(buffer, clipboard, editable);
      break;
    case kCopy:
      gtk_text_buffer_copy_clipboard(buffer, clipboard);
      break;
    case kPaste:
      gtk_text_buffer_paste_clipboard(buffer, clipboard, nullptr, editable);
      break;
    case kClear:
      gtk_text_buffer_delete_selection(buffer, TRUE, editable);
      break;
    case kSelectAll: {
      GtkTextIter start;
      GtkTextIter end;
      gtk_text_buffer_get_bounds(buffer, &start, &end);
      gtk_text_buffer_select_range(buffer, &end, &start);
      break;
    }
    case kChooseFont:
      ChooseFont();
      break;
    default:
      break;
  }
}

}  // namespace qrv
