// Keyboard focus, activation and mouse capture of GtkWindows.
//
// The focus is kept logically, as Windows keeps it: one window of the program has it while one of
// our toplevels is active, and each toplevel remembers which of its windows had it. GTK's focus
// events (the toplevel activated or deactivated, the focus moving to a native widget such as the
// browser view) are turned into WM_KILLFOCUS / WM_SETFOCUS on that model.

#include <utility>

#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

void GtkWindows::MoveFocus(HWND hwnd) {
  if (focus_ == hwnd) return;
  const HWND old = focus_;
  focus_ = hwnd;
  if (NativeWindow* top = TopOf(Find(hwnd)); top != nullptr) top->focus_child = hwnd;
  if (old != nullptr && IsWindow(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  // The old window's handler may have moved the focus again.
  if (hwnd != nullptr && focus_ == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void GtkWindows::SetFocus(HWND hwnd) {
  NativeWindow* window = Find(hwnd);
  if (hwnd != nullptr && window == nullptr) return;
  MoveFocus(hwnd);
  if (window == nullptr || window->layout == nullptr || Find(hwnd) != window) return;
  NativeWindow* top = TopOf(window);
  gtk_widget_grab_focus(window->layout);
  // Focusing a window of an inactive toplevel activates that toplevel, as SetFocus does within a
  // program.
  if (top != nullptr && top->window != nullptr && top->visible && !top->minimized &&
      !gtk_window_is_active(GTK_WINDOW(top->window))) {
    RequestActivation(top);
  }
  if (top != nullptr && top->im != nullptr) InputMethodFocus(top, top->im_enabled && top->im_target == hwnd);
}

void GtkWindows::SetForeground(HWND hwnd) {
  NativeWindow* top = TopOf(Find(hwnd));
  if (top == nullptr || top->window == nullptr) return;
  if (top->minimized) Show(top->hwnd, SW_RESTORE);
  top = TopOf(Find(hwnd));
  if (top == nullptr) return;
  if (!top->visible) Show(top->hwnd, SW_SHOW);
  if (top->window == nullptr) return;
  RequestActivation(top);
  MoveFocus(FocusTargetOf(top));
}

HWND GtkWindows::FocusTargetOf(const NativeWindow* top) const {
  return top->focus_child != nullptr && Find(top->focus_child) != nullptr ? top->focus_child : top->hwnd;
}

bool GtkWindows::IsActive(HWND hwnd) const {
  // GTK's own flag: set when the toplevel's focus-in event has been handled.
  const NativeWindow* top = TopOf(Find(hwnd));
  return top != nullptr && top->window != nullptr && gtk_window_is_active(GTK_WINDOW(top->window));
}

void GtkWindows::RequestActivation(NativeWindow* top) {
  // An active toplevel gets no focus-in to answer the request.
  const bool active = gtk_window_is_active(GTK_WINDOW(top->window));
  top->activation_request = active ? 0 : ++activation_requests_;
  gtk_window_present(GTK_WINDOW(top->window));
}

bool GtkWindows::NewerActivationPending(std::uint64_t than) const {
  // A minimized toplevel gets no focus-in: its request no longer counts (hiding drops it).
  for (const auto& [hwnd, window] : windows_) {
    if (window->activation_request > than && !window->minimized) return true;
  }
  return false;
}

void GtkWindows::OnToplevelFocusIn(NativeWindow* top) {
  // The desktop answers activation requests in their order, each a round trip later. When the
  // program has asked for another toplevel since it asked for this one (a tray menu opened right
  // after restoring the frame), this focus-in is already out of date: the focus stays where the
  // program put it, and the newer toplevel's own focus-in follows.
  const std::uint64_t answered = std::exchange(top->activation_request, 0);
  if (answered != 0 && NewerActivationPending(answered)) return;
  if (TopOf(Find(focus_)) == top) return;
  const HWND target = FocusTargetOf(top);
  MoveFocus(target);
  if (NativeWindow* still = Find(target); still != nullptr) {
    if (NativeWindow* still_top = TopOf(still); still_top != nullptr && still_top->im != nullptr) {
      InputMethodFocus(still_top, still_top->im_enabled);
    }
  }
}

void GtkWindows::OnToplevelFocusOut(NativeWindow* top) {
  if (top->im != nullptr) InputMethodFocus(top, false);
  NativeWindow* focused = Find(focus_);
  if (focused == nullptr || TopOf(focused) != top) return;
  const HWND old = focus_;
  focus_ = nullptr;
  top->focus_child = old;
  SendMessage(old, WM_KILLFOCUS, 0, 0);
}

void GtkWindows::OnGtkFocusWidget(NativeWindow* top, GtkWidget* widget) {
  // The window that owns the widget: the nearest of our layouts around it.
  HWND owner = nullptr;
  for (GtkWidget* w = widget; w != nullptr && owner == nullptr; w = gtk_widget_get_parent(w)) {
    if (NativeWindow* native = NativeWindowOfLayout(w); native != nullptr) owner = native->hwnd;
  }
  if (owner == nullptr) return;
  top->focus_child = owner;
  if (TopOf(Find(focus_)) == top || gtk_window_is_active(GTK_WINDOW(top->window))) MoveFocus(owner);
}

void GtkWindows::SetCapture(HWND hwnd) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  GdkWindow* bin = window->BinWindow();
  if (bin == nullptr || !gdk_window_is_viewable(bin)) return;
  GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(bin));
  // Not owner events: while captured, the window gets every pointer event, relative to itself.
  if (gdk_seat_grab(seat, bin, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr, nullptr, nullptr, nullptr) ==
      GDK_GRAB_SUCCESS) {
    capture_ = hwnd;
  }
}

void GtkWindows::ReleaseCapture() {
  if (capture_ == nullptr) return;
  capture_ = nullptr;
  GdkDisplay* display = gdk_display_get_default();
  if (display != nullptr) gdk_seat_ungrab(gdk_display_get_default_seat(display));
}

void GtkWindows::BeginMoveDrag(HWND hwnd) {
  NativeWindow* top = TopOf(Find(hwnd));
  if (top == nullptr || top->window == nullptr || !gtk_widget_get_realized(top->window)) return;
  gint button = 1;
  guint32 time = gtk_get_current_event_time();
  const POINT pointer = CursorPos();
  GdkEvent* current = gtk_get_current_event();
  if (current != nullptr) {
    guint event_button = 0;
    if (gdk_event_get_button(current, &event_button) && event_button != 0)
      button = static_cast<gint>(event_button);
    gdk_event_free(current);
  }
  gtk_window_begin_move_drag(GTK_WINDOW(top->window), button, pointer.x, pointer.y, time);
}

}  // namespace qrv
