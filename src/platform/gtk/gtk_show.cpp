// Showing, hiding, minimising, maximising and restoring. With a window manager these are
// requests to it; without one (a bare X server) iconify unmaps the window and maximise fills the
// work area, so that the program sees the same states either way. A minimised window still counts
// as visible: the window code treats minimised and hidden as different states.

#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMinimized = 1;
constexpr WPARAM kSizeMaximized = 2;

}  // namespace

void GtkWindows::Show(HWND hwnd, int command) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  const bool was_visible = window->visible;
  // A hidden window gets no focus-in: its pending activation must not outlive it.
  if (command == SW_HIDE) window->activation_request = 0;
  if (window->is_child || window->kind == NativeKind::kMessageBox) {
    window->visible = command != SW_HIDE;
    GtkWidget* widget = window->is_child ? window->layout : window->window;
    if (window->visible) {
      gtk_widget_show(widget);
    } else {
      gtk_widget_hide(widget);
    }
  } else {
    ShowToplevel(window, command);
  }
  if (was_visible != window->visible) SendMessage(hwnd, WM_SHOWWINDOW, window->visible ? 1 : 0, 0);
}

void GtkWindows::ShowToplevel(NativeWindow* window, int command) {
  GtkWindow* gtk_window = GTK_WINDOW(window->window);
  const bool managed = WindowManagerPresent();
  switch (command) {
    case SW_HIDE:
      window->visible = false;
      gtk_widget_hide(window->window);
      return;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      window->visible = true;
      window->minimized = true;
      if (managed) {
        gtk_window_iconify(gtk_window);
        gtk_widget_show(window->window);
      } else {
        // Without a window manager an iconic window is simply not on screen.
        window->emulated_iconic = true;
        gtk_widget_hide(window->window);
      }
      SendMessage(window->hwnd, WM_SIZE, kSizeMinimized, 0);
      return;
    case SW_MAXIMIZE:
      window->visible = true;
      window->minimized = false;
      window->emulated_iconic = false;
      if (managed) {
        window->maximized = true;
        gtk_window_deiconify(gtk_window);
        gtk_window_maximize(gtk_window);
      } else {
        EmulatedMaximize(window, true);
      }
      gtk_widget_show(window->window);
      return;
    case SW_RESTORE:
      window->visible = true;
      if (window->minimized) {
        window->minimized = false;
        window->emulated_iconic = false;
        if (managed) gtk_window_deiconify(gtk_window);
        SendMessage(window->hwnd, WM_SIZE, window->maximized ? kSizeMaximized : kSizeRestored,
                    MAKELPARAM(static_cast<std::uint16_t>(window->ClientWidth()),
                               static_cast<std::uint16_t>(window->ClientHeight())));
      } else if (window->maximized) {
        if (managed) {
          window->maximized = false;
          gtk_window_unmaximize(gtk_window);
        } else {
          EmulatedMaximize(window, false);
        }
      }
      gtk_widget_show(window->window);
      return;
    default:
      window->visible = true;
      if (window->minimized) {
        window->minimized = false;
        window->emulated_iconic = false;
        if (managed) gtk_window_deiconify(gtk_window);
      }
      gtk_window_set_focus_on_map(gtk_window, command != SW_SHOWNOACTIVATE);
      gtk_widget_show(window->window);
      return;
  }
}

bool GtkWindows::IsVisible(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  if (window == nullptr || !window->visible) return false;
  // A child is visible only while its parent is.
  return !window->is_child || IsVisible(window->parent);
}

bool GtkWindows::IsMinimized(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window != nullptr && window->minimized;
}

bool GtkWindows::IsMaximized(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  return window != nullptr && window->maximized;
}

}  // namespace qrv
