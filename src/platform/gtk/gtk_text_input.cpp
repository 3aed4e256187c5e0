// Text input for the toolkit's own edit controls: one GtkIMContext per toplevel, given the focus
// while an edit of that toplevel asked for text. The context shows its composition in its own
// window (no preedit drawn by us), and what it commits arrives as WM_CHAR. A password edit turns
// the input method off, so a composition window never shows what is typed.

#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"

namespace qrv {
namespace {

void OnCommit(GtkIMContext*, const gchar* text, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  if (top->im_filtering) {
    top->im_committed += text;  // delivered after the key's WM_KEYDOWN
  } else if (top->im_target != nullptr) {
    SendChars(top->im_target, text);
  }
}

void PlaceCaret(NativeWindow* top) {
  NativeWindow* target = top->system->Find(top->im_target);
  if (top->im == nullptr || target == nullptr || target->layout == nullptr || top->window == nullptr) return;
  int x = top->im_caret.left;
  int y = top->im_caret.top;
  // The context's client window is the toplevel's; the caret is in the edit window's coordinates.
  if (target != top) gtk_widget_translate_coordinates(target->layout, top->window, x, y, &x, &y);
  GdkRectangle area{x, y, std::max(1, top->im_caret.Width()), std::max(1, top->im_caret.Height())};
  gtk_im_context_set_cursor_location(top->im, &area);
}

}  // namespace

void EnsureInputMethod(NativeWindow* top) {
  if (top->im != nullptr || top->window == nullptr) return;
  top->im = gtk_im_multicontext_new();
  gtk_im_context_set_use_preedit(top->im, FALSE);
  g_signal_connect(top->im, "commit", G_CALLBACK(OnCommit), top);
  if (gtk_widget_get_realized(top->window)) {
    gtk_im_context_set_client_window(top->im, gtk_widget_get_window(top->window));
  }
}

void FreeInputMethod(NativeWindow* top) {
  if (top->im == nullptr) return;
  g_signal_handlers_disconnect_by_data(top->im, top);
  gtk_im_context_focus_out(top->im);
  gtk_im_context_set_client_window(top->im, nullptr);
  g_object_unref(top->im);
  top->im = nullptr;
}

bool FilterThroughInputMethod(NativeWindow* top, GdkEventKey* event) {
  if (top->im == nullptr) return false;
  if (gtk_widget_get_realized(top->window)) {
    gtk_im_context_set_client_window(top->im, gtk_widget_get_window(top->window));
  }
  return gtk_im_context_filter_keypress(top->im, event) != FALSE;
}

void InputMethodFocus(NativeWindow* top, bool focused) {
  if (top->im == nullptr) return;
  if (focused && !top->im_password) {
    gtk_im_context_focus_in(top->im);
    PlaceCaret(top);
  } else {
    gtk_im_context_focus_out(top->im);
  }
}

void GtkWindows::SetTextInput(HWND hwnd, bool enabled, bool password, RECT caret) {
  NativeWindow* window = Find(hwnd);
  NativeWindow* top = TopOf(window);
  if (top == nullptr || top->window == nullptr) return;
  if (!enabled) {
    if (top->im_target != hwnd) return;
    top->im_enabled = false;
    if (top->im != nullptr) {
      gtk_im_context_reset(top->im);
      InputMethodFocus(top, false);
    }
    return;
  }
  EnsureInputMethod(top);
  const bool changed = top->im_target != hwnd || !top->im_enabled || top->im_password != password;
  top->im_target = hwnd;
  top->im_enabled = true;
  top->im_password = password;
  top->im_caret = caret;
  g_object_set(top->im, "input-purpose", password ? GTK_INPUT_PURPOSE_PASSWORD : GTK_INPUT_PURPOSE_FREE_FORM,
               nullptr);
  const bool active = gtk_window_is_active(GTK_WINDOW(top->window));
  if (changed) {
    gtk_im_context_reset(top->im);
    InputMethodFocus(top, active);
  } else if (active && !password) {
    PlaceCaret(top);
  }
}

}  // namespace qrv
