// Where windows are: rectangles kept as the program set them, requests to the X server and the
// window manager, and their answers (configure and window-state events). A request goes out at
// once and the rectangle is taken as given; configure events that answer an older request are
// ignored until ours is confirmed, or given up on when the window manager placed the window
// elsewhere.

#include <gdk/gdkx.h>

#include <algorithm>

#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMaximized = 2;
// How long a geometry request may go unconfirmed before the window manager is taken to have
// placed the window elsewhere.
constexpr guint kGeometryConfirmMs = 600;

LPARAM PackPoint(int x, int y) {
  return MAKELPARAM(static_cast<std::uint16_t>(static_cast<std::int16_t>(x)),
                    static_cast<std::uint16_t>(static_cast<std::int16_t>(y)));
}

gboolean GiveUpGeometry(gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  window->pending_timeout = 0;
  window->geometry_pending = false;
  return G_SOURCE_REMOVE;
}

GdkMonitor* PrimaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return nullptr;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0)
    monitor = gdk_display_get_monitor(display, 0);
  return monitor;
}

RECT FromGdk(const GdkRectangle& r) { return RECT{r.x, r.y, r.x + r.width, r.y + r.height}; }

}  // namespace

RECT GtkWindows::WorkArea() const {
  GdkMonitor* monitor = PrimaryMonitor();
  if (monitor == nullptr) return RECT{};
  GdkRectangle area{};
  gdk_monitor_get_workarea(monitor, &area);
  return FromGdk(area);
}

RECT GtkWindows::ScreenRect() const {
  GdkMonitor* monitor = PrimaryMonitor();
  if (monitor == nullptr) return RECT{};
  GdkRectangle area{};
  gdk_monitor_get_geometry(monitor, &area);
  return FromGdk(area);
}

RECT GtkWindows::WorkAreaAt(const RECT& rect) const {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return WorkArea();
  GdkMonitor* best = nullptr;
  long best_overlap = 0;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkMonitor* monitor = gdk_display_get_monitor(display, i);
    GdkRectangle geometry{};
    gdk_monitor_get_geometry(monitor, &geometry);
    const long width = std::min(rect.right, geometry.x + geometry.width) - std::max(rect.left, geometry.x);
    const long height = std::min(rect.bottom, geometry.y + geometry.height) - std::max(rect.top, geometry.y);
    if (width > 0 && height > 0 && width * height > best_overlap) {
      best = monitor;
      best_overlap = width * height;
    }
  }
  // Off every monitor: the one nearest to the rectangle's centre.
  if (best == nullptr) {
    best =
        gdk_display_get_monitor_at_point(display, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  if (best == nullptr) return WorkArea();
  GdkRectangle area{};
  gdk_monitor_get_workarea(best, &area);
  return FromGdk(area);
}

void GtkWindows::EmulatedMaximize(NativeWindow* window, bool maximize) {
  if (maximize == window->maximized) return;
  if (maximize) {
    window->normal_rect = window->rect;
    window->maximized = true;
    ApplyGeometry(window, WorkArea(), true, true);
  } else {
    window->maximized = false;
    ApplyGeometry(window, window->normal_rect, true, true);
  }
}

void GtkWindows::SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height, UINT flags) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr) return;
  RECT rect = window->rect;
  if ((flags & SWP_NOMOVE) == 0) {
    rect = RECT{x, y, x + rect.Width(), y + rect.Height()};
  }
  if ((flags & SWP_NOSIZE) == 0) {
    rect.right = rect.left + std::max(0, width);
    rect.bottom = rect.top + std::max(0, height);
  }
  const bool moved = rect.left != window->rect.left || rect.top != window->rect.top;
  const bool resized = rect.Width() != window->rect.Width() || rect.Height() != window->rect.Height();
  if (moved || resized) ApplyGeometry(window, rect, moved, resized);
  if ((flags & SWP_NOZORDER) == 0 && window->window != nullptr) {
    GtkWindow* gtk_window = GTK_WINDOW(window->window);
    if (insert_after == HWND_TOPMOST) {
      window->topmost = true;
      gtk_window_set_keep_above(gtk_window, TRUE);
    } else if (insert_after == HWND_NOTOPMOST) {
      window->topmost = false;
      gtk_window_set_keep_above(gtk_window, FALSE);
    }
    if (insert_after != HWND_NOTOPMOST && gtk_widget_get_realized(window->window)) {
      gdk_window_raise(gtk_widget_get_window(window->window));
    }
  }
  if ((flags & SWP_SHOWWINDOW) != 0) Show(hwnd, (flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNOACTIVATE : SW_SHOW);
  if ((flags & SWP_HIDEWINDOW) != 0) Show(hwnd, SW_HIDE);
}

void GtkWindows::ApplyGeometry(NativeWindow* window, const RECT& rect, bool moved, bool resized) {
  window->rect = rect;
  if (window->is_child) {
    NativeWindow* parent = Find(window->parent);
    if (parent != nullptr && parent->layout != nullptr) {
      gtk_layout_move(GTK_LAYOUT(parent->layout), window->layout, rect.left, rect.top);
    }
    gtk_widget_set_size_request(window->layout, rect.Width(), rect.Height());
  } else if (window->window != nullptr) {
    GtkWindow* gtk_window = GTK_WINDOW(window->window);
    gtk_window_move(gtk_window, rect.left, rect.top);
    gtk_window_resize(gtk_window, std::max(1, window->ClientWidth()), std::max(1, window->ClientHeight()));
    window->geometry_pending = true;
    window->requested = rect;
    if (window->pending_timeout != 0) g_source_remove(window->pending_timeout);
    window->pending_timeout = g_timeout_add(kGeometryConfirmMs, GiveUpGeometry, window);
  }
  NotifyGeometry(window, moved, resized);
}

void GtkWindows::NotifyGeometry(NativeWindow* window, bool moved, bool resized) {
  const HWND hwnd = window->hwnd;
  if (moved) {
    const POINT origin = window->is_child ? POINT{window->rect.left, window->rect.top} : ClientOrigin(window);
    SendMessage(hwnd, WM_MOVE, 0, PackPoint(origin.x, origin.y));
  }
  window = Find(hwnd);
  if (resized && window != nullptr) {
    if (window->native_content != nullptr) {
      gtk_widget_set_size_request(window->native_content, std::max(0, window->ClientWidth()),
                                  std::max(0, window->ClientHeight()));
    }
    if (window->corner_width > 0 || window->corner_height > 0) UpdateShape(window);
    SendMessage(hwnd, WM_SIZE, window->maximized ? kSizeMaximized : kSizeRestored,
                MAKELPARAM(static_cast<std::uint16_t>(std::max(0, window->ClientWidth())),
                           static_cast<std::uint16_t>(std::max(0, window->ClientHeight()))));
  }
}

void GtkWindows::OnConfigure(NativeWindow* top, const GdkEventConfigure* event) {
  GdkWindow* gdk_window = gtk_widget_get_window(top->window);
  GdkRectangle frame{};
  gdk_window_get_frame_extents(gdk_window, &frame);
  // The frame extents of an undecorated window, or of one without a window manager, are the
  // window itself.
  RECT insets{event->x - frame.x, event->y - frame.y, frame.x + frame.width - event->x - event->width,
              frame.y + frame.height - event->y - event->height};
  if (insets.left < 0 || insets.top < 0 || insets.right < 0 || insets.bottom < 0) insets = RECT{};
  const RECT actual{frame.x, frame.y, frame.x + frame.width, frame.y + frame.height};
  if (top->geometry_pending) {
    const RECT& want = top->requested;
    if (want.left != actual.left || want.top != actual.top || want.Width() != actual.Width() ||
        want.Height() != actual.Height()) {
      return;  // an answer to an older request; ours is still on its way
    }
    top->geometry_pending = false;
    if (top->pending_timeout != 0) g_source_remove(top->pending_timeout);
    top->pending_timeout = 0;
  }
  top->frame_insets = insets;
  const bool moved = actual.left != top->rect.left || actual.top != top->rect.top;
  const bool resized = actual.Width() != top->rect.Width() || actual.Height() != top->rect.Height();
  if (!moved && !resized) return;
  top->rect = actual;
  NotifyGeometry(top, moved, resized);
}

void GtkWindows::OnWindowState(NativeWindow* top, const GdkEventWindowState* event) {
  if ((event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) != 0) {
    top->minimized = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  }
  if ((event->changed_mask & GDK_WINDOW_STATE_MAXIMIZED) != 0) {
    top->maximized = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  }
}

RECT GtkWindows::WindowRect(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  if (window == nullptr) return RECT{};
  if (!window->is_child) return window->rect;
  const NativeWindow* parent = Find(window->parent);
  const POINT origin = parent != nullptr ? ClientOrigin(parent) : POINT{};
  return RECT{origin.x + window->rect.left, origin.y + window->rect.top, origin.x + window->rect.right,
              origin.y + window->rect.bottom};
}

RECT GtkWindows::ClientRect(HWND hwnd) const {
  const NativeWindow* window = Find(hwnd);
  if (window == nullptr) return RECT{};
  return RECT{0, 0, std::max(0, window->ClientWidth()), std::max(0, window->ClientHeight())};
}

POINT GtkWindows::ClientOrigin(const NativeWindow* window) const {
  if (!window->is_child) {
    return POINT{window->rect.left + window->frame_insets.left, window->rect.top + window->frame_insets.top};
  }
  const NativeWindow* parent = Find(window->parent);
  const POINT origin = parent != nullptr ? ClientOrigin(parent) : POINT{};
  return POINT{origin.x + window->rect.left, origin.y + window->rect.top};
}

POINT GtkWindows::CursorPos() const {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return POINT{};
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  int x = 0;
  int y = 0;
  if (pointer != nullptr) gdk_device_get_position(pointer, nullptr, &x, &y);
  return POINT{x, y};
}

}  // namespace qrv
