// The rich text on GTK: its own context menu in place of the view's, the record of the player's
// edits that undo goes back through, and the font chooser.

#include <array>

#include "chat/rich_text_gtk_impl.h"

namespace qrv {
namespace {

constexpr char kCommandKey[] = "qrv-command";

struct MenuEntry {
  int command;
  const char* text;     // as the menu shows it; "&" marks the mnemonic
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

bool HasSelection(GtkTextBuffer* buffer) { return gtk_text_buffer_get_selection_bounds(buffer, nullptr, nullptr); }

// --- Signals --------------------------------------------------------------------------------------

void OnInsertText(GtkTextBuffer*, GtkTextIter* at, gchar* text, gint length, gpointer data) {
  auto* impl = static_cast<GtkRichText::Impl*>(data);
  impl->RecordInsertion(gtk_text_iter_get_offset(at), static_cast<int>(g_utf8_strlen(text, length)), false);
}

void OnInsertAnchor(GtkTextBuffer*, GtkTextIter* at, GtkTextChildAnchor*, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->RecordInsertion(gtk_text_iter_get_offset(at), 1, true);
}

void OnDeleteRange(GtkTextBuffer*, GtkTextIter* start, GtkTextIter* end, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->RecordRemoval(start, end);
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

void OnFontResponse(GtkDialog*, gint response, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->OnFontChosen(response);
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

void GtkRichText::Impl::ConnectEditSignals() {
  g_signal_connect(buffer, "insert-text", G_CALLBACK(OnInsertText), this);
  g_signal_connect(buffer, "insert-child-anchor", G_CALLBACK(OnInsertAnchor), this);
  g_signal_connect(buffer, "delete-range", G_CALLBACK(OnDeleteRange), this);
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(view, "popup-menu", G_CALLBACK(OnPopupMenu), this);
}

// --- Undo -----------------------------------------------------------------------------------------

void GtkRichText::Impl::RecordInsertion(int offset, int length, bool picture) {
  // Only what the player can change is recorded: the read-only history is written by the window.
  if (replaying || view_gone || !gtk_text_view_get_editable(view) || length <= 0) return;
  if (!picture && !undo.empty()) {
    UndoStep& last = undo.back();
    if (last.inserted && !last.has_picture && last.offset + last.length == offset) {
      last.length += length;  // typing on: one step
      return;
    }
  }
  UndoStep step;
  step.inserted = true;
  step.has_picture = picture;
  step.offset = offset;
  step.length = length;
  undo.push_back(std::move(step));
}

void GtkRichText::Impl::RecordRemoval(const GtkTextIter* start, const GtkTextIter* end) {
  if (replaying || view_gone || !gtk_text_view_get_editable(view)) return;
  UndoStep step;
  step.offset = std::min(gtk_text_iter_get_offset(start), gtk_text_iter_get_offset(end));
  GtkTextIter iter = gtk_text_iter_compare(start, end) <= 0 ? *start : *end;
  const GtkTextIter stop = gtk_text_iter_compare(start, end) <= 0 ? *end : *start;
  GtkTextIter run_start = iter;
  const auto flush_text = [&](const GtkTextIter& upto) {
    if (gtk_text_iter_equal(&run_start, &upto)) return;
    g_autofree gchar* text = gtk_text_buffer_get_text(buffer, &run_start, &upto, TRUE);
    step.removed.push_back(RemovedPiece{text, "", ""});
  };
  while (gtk_text_iter_compare(&iter, &stop) < 0) {
    if (GtkTextChildAnchor* anchor = gtk_text_iter_get_child_anchor(&iter)) {
      flush_text(iter);
      const auto* path = static_cast<const char*>(g_object_get_data(G_OBJECT(anchor), "qrv-path"));
      const auto* code = static_cast<const char*>(g_object_get_data(G_OBJECT(anchor), "qrv-code"));
      step.removed.push_back(RemovedPiece{"", path != nullptr ? path : "", code != nullptr ? code : ""});
      gtk_text_iter_forward_char(&iter);
      run_start = iter;
      continue;
    }
    gtk_text_iter_forward_char(&iter);
  }
  flush_text(stop);
  if (!step.removed.empty()) undo.push_back(std::move(step));
}

void GtkRichText::Impl::Undo() {
  if (undo.empty()) return;
  UndoStep step = std::move(undo.back());
  undo.pop_back();
  replaying = true;
  if (step.inserted) {
    GtkTextIter start = IterAt(step.offset);
    GtkTextIter end = IterAt(step.offset + step.length);
    gtk_text_buffer_delete(buffer, &start, &end);
    start = IterAt(step.offset);
    gtk_text_buffer_place_cursor(buffer, &start);
  } else {
    GtkTextIter at = IterAt(step.offset);
    for (const RemovedPiece& piece : step.removed) {
      // Each insertion leaves `at` after what it inserted.
      if (piece.picture.empty()) {
        InsertTextAt(&at, piece.text, nullptr);
      } else if (!InsertPictureAt(&at, piece.picture, piece.code)) {
        continue;  // the picture's file has gone meanwhile
      }
    }
    gtk_text_buffer_place_cursor(buffer, &at);
  }
  replaying = false;
}

// --- The context menu -----------------------------------------------------------------------------

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

// --- The font -------------------------------------------------------------------------------------

void GtkRichText::Impl::ChooseFont() {
  if (view_gone) return;
  if (font_chooser != nullptr) {
    gtk_window_present(GTK_WINDOW(font_chooser));
    return;
  }
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_selection_bounds(buffer, &start, &end);
  if (font_start == nullptr) {
    font_start = gtk_text_buffer_create_mark(buffer, nullptr, &start, TRUE);
    font_end = gtk_text_buffer_create_mark(buffer, nullptr, &end, FALSE);
  } else {
    gtk_text_buffer_move_mark(buffer, font_start, &start);
    gtk_text_buffer_move_mark(buffer, font_end, &end);
  }
  // The font shown first: the selection's, or the control's own when nothing is selected.
  GtkTextAttributes* attributes = gtk_text_view_get_default_attributes(view);
  if (!gtk_text_iter_equal(&start, &end)) gtk_text_iter_get_attributes(&start, attributes);

  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(view));
  font_chooser = gtk_font_chooser_dialog_new("选择字体", GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr);
  gtk_window_set_modal(GTK_WINDOW(font_chooser), TRUE);
  if (attributes->font != nullptr) gtk_font_chooser_set_font_desc(GTK_FONT_CHOOSER(font_chooser), attributes->font);
  gtk_text_attributes_unref(attributes);
  // Answered without a nested loop: the rest of the program runs on while the dialog is open.
  g_signal_connect(font_chooser, "response", G_CALLBACK(OnFontResponse), this);
  gtk_widget_show(font_chooser);
}

void GtkRichText::Impl::OnFontChosen(int response) {
  GtkWidget* dialog = font_chooser;
  font_chooser = nullptr;
  if (dialog == nullptr) return;
  PangoFontDescription* chosen =
      response == GTK_RESPONSE_OK ? gtk_font_chooser_get_font_desc(GTK_FONT_CHOOSER(dialog)) : nullptr;
  g_signal_handlers_disconnect_by_data(dialog, this);
  gtk_widget_destroy(dialog);
  if (chosen == nullptr) return;
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_iter_at_mark(buffer, &start, font_start);
  gtk_text_buffer_get_iter_at_mark(buffer, &end, font_end);
  if (!gtk_text_iter_equal(&start, &end)) {
    GtkTextTag* tag = gtk_text_buffer_create_tag(buffer, nullptr, "font-desc", chosen, nullptr);
    gtk_text_buffer_apply_tag(buffer, tag, &start, &end);
  } else {
    RichTextFormat format = default_format;
    if (const char* family = pango_font_description_get_family(chosen)) format.face = family;
    if (pango_font_description_get_set_fields(chosen) & PANGO_FONT_MASK_SIZE) {
      const int size = pango_font_description_get_size(chosen) / PANGO_SCALE;
      if (size > 0) format.size_pt = size;
    }
    format.bold = pango_font_description_get_weight(chosen) >= PANGO_WEIGHT_BOLD;
    format.italic = pango_font_description_get_style(chosen) != PANGO_STYLE_NORMAL;
    default_format = format;
    ApplyStyle();
  }
  pango_font_description_free(chosen);
}

}  // namespace qrv
