#pragma once
// What GtkWindows keeps for each window, shared by its source files (not a public header).

#include <gtk/gtk.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>

#include "platform/gtk/gtk_windows.h"
#include "platform/message_core.h"

namespace qrv {

enum class NativeKind { kToolkit, kMessageBox };

struct ModalRun {
  GMainLoop* loop = nullptr;
  bool ended = false;
  int result = -1;
};

struct NativeWindow {
  GtkWindows* system = nullptr;
  HWND hwnd = nullptr;
  NativeKind kind = NativeKind::kToolkit;
  HWND parent = nullptr;  // the parent of a child, the owner of a pop-up
  bool is_child = false;

  GtkWidget* window = nullptr;  // the GtkWindow of a toplevel (null for children)
  GtkWidget* layout = nullptr;  // the GtkLayout: drawing surface and container of children
  GtkWidget* native_content = nullptr;

  // Toplevels: screen coordinates of the window (frame included). Children: parent client
  // coordinates.
  RECT rect;
  // Insets of the window manager's frame around the client area, learnt from configure events.
  RECT frame_insets;
  std::string title;
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  bool visible = false;
  bool minimized = false;
  bool maximized = false;
  bool topmost = false;
  bool enabled = true;
  bool destroyed = false;

  // Maximise and iconify done by us when no window manager does them.
  RECT normal_rect;
  bool emulated_iconic = false;

  // A geometry we asked the X server or window manager for and have not seen confirmed; configure
  // events that do not match it are stale and ignored until it is confirmed or given up.
  bool geometry_pending = false;
  RECT requested;
  guint pending_timeout = 0;

  // Layered window: colour-key pixels are cut out of the window's shape.
  bool layered = false;
  std::uint32_t color_key = 0;
  std::uint8_t alpha = 255;
  cairo_surface_t* back_buffer = nullptr;
  // The parts of the back buffer the window has asked to repaint since they were painted (null:
  // none). An expose of any other part shows the buffer as it is.
  cairo_region_t* stale = nullptr;
  int corner_width = 0;
  int corner_height = 0;
  cairo_region_t* applied_shape = nullptr;
  bool shape_applied = false;
  // The shape the round corners leave, for the size and corners in the key.
  cairo_region_t* round_shape = nullptr;
  std::array<int, 4> round_shape_key{};

  // Toplevels: the window inside that gets the keyboard when this toplevel is active.
  HWND focus_child = nullptr;
  // Toplevels: the number of the program's request to activate this toplevel that the desktop has
  // not answered yet with a focus-in, or 0.
  std::uint64_t activation_request = 0;
  std::set<guint16> keys_down;  // hardware keycodes held, to flag auto-repeat

  // Toplevels: the input method of the toolkit's edits.
  GtkIMContext* im = nullptr;
  HWND im_target = nullptr;
  bool im_enabled = false;
  bool im_password = false;
  RECT im_caret;
  bool im_filtering = false;     // a key is being offered to the input method
  std::string im_committed;      // what the method committed while it was

  // Mouse: double-click detection and presses whose release the window must not see.
  guint last_press_button = 0;
  guint32 last_press_time = 0;
  double last_press_x = 0;
  double last_press_y = 0;
  bool last_press_was_double = false;
  guint swallowed_button = 0;
  double wheel_remainder = 0;

  // The modal loop running for this window (RunModal, a message box); it lives on that loop's
  // stack frame, because the window may be gone by the time the loop returns.
  ModalRun* modal = nullptr;

  // Message boxes.
  std::string text;
  UINT box_type = 0;
  MessageTarget* box_target = nullptr;

  HWND Hwnd() const { return hwnd; }
  GdkWindow* BinWindow() const {
    return layout != nullptr && gtk_widget_get_realized(layout) ? gtk_layout_get_bin_window(GTK_LAYOUT(layout))
                                                                : nullptr;
  }
  int ClientWidth() const { return rect.Width() - frame_insets.left - frame_insets.right; }
  int ClientHeight() const { return rect.Height() - frame_insets.top - frame_insets.bottom; }
};

// The window whose layout `widget` is, or null.
inline NativeWindow* NativeWindowOfLayout(GtkWidget* widget) {
  return static_cast<NativeWindow*>(g_object_get_data(G_OBJECT(widget), "qrv-native-window"));
}

// gtk_input.cpp: connects the layout's and the toplevel's signals.
void ConnectLayoutSignals(NativeWindow* window);
void ConnectToplevelSignals(NativeWindow* window);

// gtk_keys.cpp: the toplevel's key-press and key-release handler.
gboolean OnToplevelKey(GtkWidget* widget, GdkEventKey* event, gpointer data);

// gtk_keymap.cpp: the virtual-key code of a key event (0 when it has none).
unsigned VirtualKeyFromEvent(const GdkEventKey* event);
// MK_* style flags of a GDK modifier state.
WPARAM MouseKeyFlags(guint state);

// gtk_text_input.cpp
void EnsureInputMethod(NativeWindow* top);
void FreeInputMethod(NativeWindow* top);
// Offers a key event to the input method; true when the method consumed it.
bool FilterThroughInputMethod(NativeWindow* top, GdkEventKey* event);
void InputMethodFocus(NativeWindow* top, bool focused);

// gtk_shape.cpp: the region of pixels of `surface` (ARGB32 or RGB24) whose colour is not
// `color_key_rgb`, and the region of a rounded rectangle.
cairo_region_t* RegionWithoutColorKey(cairo_surface_t* surface, std::uint32_t color_key_rgb);
cairo_region_t* RoundRectRegion(int width, int height, int corner_width, int corner_height);

// Sends WM_CHAR for each code point of UTF-8 `text`.
void SendChars(HWND hwnd, const char* text);

}  // namespace qrv
