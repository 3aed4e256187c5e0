// Keys of a toplevel. The toplevel handles every key before GTK would give it to the focus
// widget. Its key preview sees it first; then, unless a native widget (a browser view) has the GTK
// focus, it becomes WM_KEYDOWN / WM_KEYUP for the window with the focus, and text becomes WM_CHAR,
// through the input method when the window asked for text input. A key the input method keeps
// for a composition arrives as VK_PROCESSKEY, so that edits do not act on it twice.

#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr unsigned kVkProcessKey = 0xE5;

bool IsLayoutOf(GtkWidget* widget) { return widget != nullptr && NativeWindowOfLayout(widget) != nullptr; }

}  // namespace

gboolean OnToplevelKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  GtkWindows* system = top->system;
  const HWND top_hwnd = top->hwnd;
  const bool down = event->type == GDK_KEY_PRESS;
  const unsigned vk = VirtualKeyFromEvent(event);
  const bool repeat = down && top->keys_down.contains(event->hardware_keycode);
  if (down) {
    top->keys_down.insert(event->hardware_keycode);
  } else {
    top->keys_down.erase(event->hardware_keycode);
  }
  // Windows' key-message flags: repeat count 1, scan code, previous state, transition.
  const auto scan = static_cast<std::uintptr_t>((event->hardware_keycode - 8) & 0xFF);
  const auto flags = static_cast<LPARAM>(1u | (scan << 16) | ((repeat || !down) ? (1u << 30) : 0u) |
                                         (down ? 0u : (1u << 31)));
  const UINT msg = down ? WM_KEYDOWN : WM_KEYUP;
  if (const auto* preview = system->KeyPreviewOf(top_hwnd); preview != nullptr && vk != 0) {
    const auto hook = *preview;  // the hook may replace itself
    if (hook(msg, vk, flags)) return TRUE;
    if (system->Find(top_hwnd) != top) return TRUE;
  }
  GtkWidget* focus_widget = gtk_window_get_focus(GTK_WINDOW(top->window));
  if (focus_widget != nullptr && !IsLayoutOf(focus_widget)) return FALSE;  // a native widget's key

  HWND target = system->Focus();
  if (system->TopOf(system->Find(target)) != top) {
    target = top->focus_child != nullptr && system->Find(top->focus_child) != nullptr ? top->focus_child : top_hwnd;
  }
  if (!system->EnabledWithAncestors(system->Find(target))) return TRUE;

  const bool use_im = top->im != nullptr && top->im_enabled && !top->im_password && top->im_target == target;
  if (use_im) {
    top->im_committed.clear();
    top->im_filtering = true;
    const bool consumed = FilterThroughInputMethod(top, event);
    top->im_filtering = false;
    std::string committed;
    committed.swap(top->im_committed);
    if (consumed) {
      if (down) SendMessage(target, WM_KEYDOWN, committed.empty() ? kVkProcessKey : vk, flags);
      if (!down && vk != 0) SendMessage(target, WM_KEYUP, vk, flags);
      if (!committed.empty() && system->Find(target) != nullptr) SendChars(target, committed.c_str());
      return TRUE;
    }
  }
  if (vk != 0) SendMessage(target, msg, vk, flags);
  if (!down || system->Find(target) == nullptr) return TRUE;
  const gunichar ch = gdk_keyval_to_unicode(event->keyval);
  const bool command = (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0;
  if (ch >= 0x20 && ch != 0x7F && !command) SendMessage(target, WM_CHAR, ch, flags);
  return TRUE;
}

void SendChars(HWND hwnd, const char* text) {
  for (const char* p = text; p != nullptr && *p != '\0'; p = g_utf8_next_char(p)) {
    const gunichar ch = g_utf8_get_char_validated(p, -1);
    if (ch == static_cast<gunichar>(-1) || ch == static_cast<gunichar>(-2)) break;
    if (!IsWindow(hwnd)) break;
    SendMessage(hwnd, WM_CHAR, ch, 0);
  }
}

}  // namespace qrv
