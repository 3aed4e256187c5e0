#pragma once
// The full-screen overlay of an X11 capture. It shows the frozen screen dimmed; the player drags a
// rectangle (shown bright, with its size), or clicks to take the window under the pointer (the
// window a click would take is outlined while the pointer moves). Esc or a right click cancels.
// The overlay holds the pointer and the keyboard while it is open.

#include <gtk/gtk.h>

#include <functional>
#include <optional>

#include "capture/capture_region.h"
#include "capture/frozen_screen.h"

namespace qrv::capture {

// The window's title, which also tells the overlay apart on the display.
inline constexpr const char* kOverlayTitle = "截图";
inline constexpr const char* kOverlayHint = "拖动鼠标框选截图区域，单击截取整个窗口；按 Esc 或单击右键取消";

class CaptureOverlay {
 public:
  // Called once, from the main loop after the overlay has gone: the chosen rectangle of
  // `screen.picture`, or nothing when the player cancelled.
  using Done = std::function<void(std::optional<PixelRect>)>;

  CaptureOverlay(const FrozenScreen& screen, Done done);
  ~CaptureOverlay();
  CaptureOverlay(const CaptureOverlay&) = delete;
  CaptureOverlay& operator=(const CaptureOverlay&) = delete;

  void Show();

 private:
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  static gboolean OnMap(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean RetryGrab(gpointer self);

  PixelPoint ToPixels(double x, double y) const;
  // What is shown bright: the rectangle being dragged, or the window a click would take.
  std::optional<PixelRect> Highlight() const;
  bool Grab();
  void Finish(std::optional<PixelRect> chosen);
  void DrawLabel(cairo_t* cr, const PixelRect& rect) const;
  void DrawHint(cairo_t* cr) const;

  const FrozenScreen& screen_;
  Done done_;
  GtkWidget* window_ = nullptr;
  GdkCursor* cursor_ = nullptr;
  bool grabbed_ = false;
  int grab_attempts_ = 0;
  guint grab_retry_ = 0;
  bool pressing_ = false;
  bool finished_ = false;
  PixelPoint press_;
  PixelPoint pointer_{-1, -1};
};

}  // namespace qrv::capture
