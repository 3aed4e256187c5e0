// GDK events of a window turned into the messages window code expects, in client coordinates.
//
// Mouse: a left press is preceded by WM_NCHITTEST (screen coordinates); HTCAPTION moves the
// toplevel instead of pressing. Double clicks are recognised here, with GTK's double-click time
// and distance, so the order is Windows': DOWN, UP, DBLCLK, UP (GDK's own 2BUTTON_PRESS, which
// comes in addition to the second press, is dropped). A press the window did not get (disabled
// window, caption drag) has no release either.
//
// Keys are in gtk_keys.cpp.

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/first_frame.h"
#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr WPARAM kMkLButton = 0x0001;
constexpr WPARAM kMkRButton = 0x0002;
constexpr int kWheelDelta = 120;

LPARAM PackPoint(int x, int y) {
  return MAKELPARAM(static_cast<std::uint16_t>(static_cast<std::int16_t>(x)),
                    static_cast<std::uint16_t>(static_cast<std::int16_t>(y)));
}

POINT ClientPoint(NativeWindow* window, GdkWindow* event_window, double x, double y, double x_root,
                  double y_root) {
  GdkWindow* bin = window->BinWindow();
  if (bin != nullptr && event_window == bin) {
    return POINT{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
  }
  // The event came from a window inside ours (a native child) or through a grab.
  int origin_x = 0;
  int origin_y = 0;
  if (bin != nullptr) gdk_window_get_root_coords(bin, 0, 0, &origin_x, &origin_y);
  return POINT{static_cast<int>(std::floor(x_root)) - origin_x,
               static_cast<int>(std::floor(y_root)) - origin_y};
}

// The start-up benchmark measures the time to the first painted frame: with QRV_TRACE_FIRST_FRAME
// set, the first draw of any window writes "first-frame <monotonic microseconds>" to stderr.
void NoteFirstFrame() {
  static const bool wanted = g_getenv("QRV_TRACE_FIRST_FRAME") != nullptr;
  static bool reported = false;
  if (!wanted || reported) return;
  reported = true;
  std::fprintf(stderr, "first-frame %" G_GINT64_FORMAT "\n", g_get_monotonic_time());
  std::fflush(stderr);
}

// The stale part of a layered window's back buffer within the part `cr` draws, or null when none.
cairo_region_t* StaleWithin(const NativeWindow* window, cairo_t* cr) {
  if (window->stale == nullptr || cairo_region_is_empty(window->stale)) return nullptr;
  cairo_region_t* exposed = cairo_region_create();
  cairo_rectangle_list_t* clips = cairo_copy_clip_rectangle_list(cr);
  if (clips->status == CAIRO_STATUS_SUCCESS) {
    for (int i = 0; i < clips->num_rectangles; ++i) {
      const cairo_rectangle_t& r = clips->rectangles[i];
      const int left = static_cast<int>(std::floor(r.x));
      const int top = static_cast<int>(std::floor(r.y));
      const cairo_rectangle_int_t part{left, top, static_cast<int>(std::ceil(r.x + r.width)) - left,
                                       static_cast<int>(std::ceil(r.y + r.height)) - top};
      cairo_region_union_rectangle(exposed, &part);
    }
  } else {
    const cairo_rectangle_int_t all{0, 0, window->ClientWidth(), window->ClientHeight()};
    cairo_region_union_rectangle(exposed, &all);
  }
  cairo_rectangle_list_destroy(clips);
  cairo_region_intersect(exposed, window->stale);
  if (!cairo_region_is_empty(exposed)) return exposed;
  cairo_region_destroy(exposed);
  return nullptr;
}

gboolean DrawWindow(cairo_t* cr, void* data) {
  auto* window = static_cast<NativeWindow*>(data);
  GdkWindow* bin = window->BinWindow();
  if (bin == nullptr || !gtk_cairo_should_draw_window(cr, bin)) return FALSE;
  NoteFirstFrame();
  GtkWindows* system = window->system;
  const HWND hwnd = window->hwnd;
  if (!window->layered) {
    cairo_save(cr);
    SendMessage(hwnd, WM_PAINT, 0, reinterpret_cast<LPARAM>(cr));
    cairo_restore(cr);
    return system->Find(hwnd) == window ? FALSE : TRUE;
  }
  // Layered: repaint into the back buffer what the window asked to repaint within the exposed
  // part, show the exposed part of the buffer, and cut the key colour out.
  // The shape follows what was painted; a window exposed as it was keeps its shape.
  bool painted = system->EnsureBackBuffer(window);
  if (system->Find(hwnd) != window || window->back_buffer == nullptr) return TRUE;
  if (cairo_region_t* repaint = StaleWithin(window, cr)) {
    painted = true;
    cairo_region_subtract(window->stale, repaint);  // what the painting invalidates again stays
    cairo_t* buffer_cr = cairo_create(window->back_buffer);
    gdk_cairo_region(buffer_cr, repaint);
    cairo_clip(buffer_cr);
    cairo_region_destroy(repaint);
    cairo_save(buffer_cr);
    cairo_set_operator(buffer_cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(buffer_cr);
    cairo_restore(buffer_cr);
    SendMessage(hwnd, WM_PAINT, 0, reinterpret_cast<LPARAM>(buffer_cr));
    cairo_destroy(buffer_cr);
  }
  if (system->Find(hwnd) != window || window->back_buffer == nullptr) return TRUE;
  cairo_save(cr);
  cairo_set_source_surface(cr, window->back_buffer, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  if (painted) system->UpdateShape(window);
  return FALSE;
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  const gboolean result = DrawWindow(cr, data);
  // Once the first window has painted, work that waited for the first frame may start.
  static bool first_frame_told = false;
  if (!first_frame_told) {
    first_frame_told = true;
    FirstFrame::Painted();
  }
  return result;
}

gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  if (event->type != GDK_BUTTON_PRESS) return TRUE;
  GtkWindows* system = window->system;
  const HWND hwnd = window->hwnd;
  if (!system->EnabledWithAncestors(window) || (event->button != 1 && event->button != 3)) {
    window->swallowed_button = event->button;
    return TRUE;
  }
  const POINT client = ClientPoint(window, event->window, event->x, event->y, event->x_root, event->y_root);
  const int root_x = static_cast<int>(std::floor(event->x_root));
  const int root_y = static_cast<int>(std::floor(event->y_root));
  if (event->button == 1) {
    const LRESULT hit = SendMessage(hwnd, WM_NCHITTEST, 0, PackPoint(root_x, root_y));
    if (system->Find(hwnd) != window) return TRUE;
    if (hit == HTCAPTION && !window->is_child && window->window != nullptr) {
      window->swallowed_button = 1;
      window->last_press_button = 0;
      gtk_window_begin_move_drag(GTK_WINDOW(window->window), 1, root_x, root_y, event->time);
      return TRUE;
    }
  }
  gint double_time = 400;
  gint double_distance = 5;
  g_object_get(gtk_widget_get_settings(widget), "gtk-double-click-time", &double_time,
               "gtk-double-click-distance", &double_distance, nullptr);
  const bool is_double = !window->last_press_was_double && window->last_press_button == event->button &&
                         event->time - window->last_press_time <= static_cast<guint32>(double_time) &&
                         std::fabs(event->x_root - window->last_press_x) <= double_distance &&
                         std::fabs(event->y_root - window->last_press_y) <= double_distance;
  window->last_press_button = event->button;
  window->last_press_time = event->time;
  window->last_press_x = event->x_root;
  window->last_press_y = event->y_root;
  window->last_press_was_double = is_double;
  window->swallowed_button = 0;
  UINT msg = 0;
  WPARAM keys = MouseKeyFlags(event->state);
  if (event->button == 1) {
    msg = is_double ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    keys |= kMkLButton;
  } else {
    msg = is_double ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    keys |= kMkRButton;
  }
  SendMessage(hwnd, msg, keys, PackPoint(client.x, client.y));
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  if (window->swallowed_button == event->button) {
    window->swallowed_button = 0;
    return TRUE;
  }
  if (event->button != 1 && event->button != 3) return TRUE;
  const POINT client = ClientPoint(window, event->window, event->x, event->y, event->x_root, event->y_root);
  WPARAM keys = MouseKeyFlags(event->state) & ~(event->button == 1 ? kMkLButton : kMkRButton);
  SendMessage(window->hwnd, event->button == 1 ? WM_LBUTTONUP : WM_RBUTTONUP, keys,
              PackPoint(client.x, client.y));
  return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  if (!window->system->EnabledWithAncestors(window)) return TRUE;
  const POINT client = ClientPoint(window, event->window, event->x, event->y, event->x_root, event->y_root);
  SendMessage(window->hwnd, WM_MOUSEMOVE, MouseKeyFlags(event->state), PackPoint(client.x, client.y));
  return TRUE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  if (event->window != window->BinWindow() || event->mode != GDK_CROSSING_NORMAL) return FALSE;
  SendMessage(window->hwnd, WM_MOUSELEAVE, 0, 0);
  return FALSE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  if (!window->system->EnabledWithAncestors(window)) return TRUE;
  int steps = 0;
  switch (event->direction) {
    case GDK_SCROLL_UP:
      steps = 1;
      break;
    case GDK_SCROLL_DOWN:
      steps = -1;
      break;
    case GDK_SCROLL_SMOOTH: {
      // Smooth deltas (touchpads) add up to whole wheel notches; down is positive in GDK.
      window->wheel_remainder -= event->delta_y;
      steps = static_cast<int>(window->wheel_remainder);
      window->wheel_remainder -= steps;
      break;
    }
    default:
      return TRUE;
  }
  if (steps == 0) return TRUE;
  const POINT client = ClientPoint(window, event->window, event->x, event->y, event->x_root, event->y_root);
  const auto delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(steps * kWheelDelta));
  const WPARAM wparam = MouseKeyFlags(event->state) | (static_cast<WPARAM>(delta) << 16);
  SendMessage(window->hwnd, WM_MOUSEWHEEL, wparam, PackPoint(client.x, client.y));
  return TRUE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  if (top->kind == NativeKind::kToolkit) SendMessage(top->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  return TRUE;  // the window decides; GTK never destroys it by itself
}

gboolean OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  top->system->OnConfigure(top, event);
  return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  top->system->OnWindowState(top, event);
  return FALSE;
}

gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  top->system->OnToplevelFocusIn(top);
  return FALSE;
}

gboolean OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  top->keys_down.clear();
  top->system->OnToplevelFocusOut(top);
  return FALSE;
}

void OnSetFocus(GtkWindow*, GtkWidget* widget, gpointer data) {
  auto* top = static_cast<NativeWindow*>(data);
  if (widget != nullptr) top->system->OnGtkFocusWidget(top, widget);
}

}  // namespace

WPARAM MouseKeyFlags(guint state) {
  WPARAM flags = 0;
  if ((state & GDK_BUTTON1_MASK) != 0) flags |= kMkLButton;
  if ((state & GDK_BUTTON3_MASK) != 0) flags |= kMkRButton;
  if ((state & GDK_SHIFT_MASK) != 0) flags |= 0x0004;
  if ((state & GDK_CONTROL_MASK) != 0) flags |= 0x0008;
  if ((state & GDK_BUTTON2_MASK) != 0) flags |= 0x0010;
  return flags;
}

void ConnectLayoutSignals(NativeWindow* window) {
  GtkWidget* layout = window->layout;
  g_signal_connect(layout, "draw", G_CALLBACK(OnDraw), window);
  g_signal_connect(layout, "button-press-event", G_CALLBACK(OnButtonPress), window);
  g_signal_connect(layout, "button-release-event", G_CALLBACK(OnButtonRelease), window);
  g_signal_connect(layout, "motion-notify-event", G_CALLBACK(OnMotion), window);
  g_signal_connect(layout, "leave-notify-event", G_CALLBACK(OnLeave), window);
  g_signal_connect(layout, "scroll-event", G_CALLBACK(OnScroll), window);
}

void ConnectToplevelSignals(NativeWindow* window) {
  GtkWidget* top = window->window;
  gtk_widget_add_events(
      top, GDK_STRUCTURE_MASK | GDK_FOCUS_CHANGE_MASK | GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
  g_signal_connect(top, "delete-event", G_CALLBACK(OnDelete), window);
  g_signal_connect(top, "configure-event", G_CALLBACK(OnConfigure), window);
  g_signal_connect(top, "window-state-event", G_CALLBACK(OnWindowState), window);
  g_signal_connect(top, "key-press-event", G_CALLBACK(OnToplevelKey), window);
  g_signal_connect(top, "key-release-event", G_CALLBACK(OnToplevelKey), window);
  g_signal_connect(top, "focus-in-event", G_CALLBACK(OnFocusIn), window);
  g_signal_connect(top, "focus-out-event", G_CALLBACK(OnFocusOut), window);
  g_signal_connect_after(top, "set-focus", G_CALLBACK(OnSetFocus), window);
}

}  // namespace qrv
