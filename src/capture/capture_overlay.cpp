#include "capture/capture_overlay.h"

#include <cmath>
#include <memory>
#include <string>

namespace qrv::capture {
namespace {

// Another program may hold the pointer for a moment (an open menu); the grab is tried again for
// about a second before the overlay makes do with the events that reach it anyway.
constexpr int kGrabAttempts = 20;
constexpr guint kGrabRetryMs = 50;

struct PendingDone {
  CaptureOverlay::Done done;
  std::optional<PixelRect> chosen;
};

gboolean RunDone(gpointer data) {
  std::unique_ptr<PendingDone> pending(static_cast<PendingDone*>(data));
  pending->done(pending->chosen);
  return G_SOURCE_REMOVE;
}

}  // namespace

CaptureOverlay::CaptureOverlay(const FrozenScreen& screen, Done done)
    : screen_(screen), done_(std::move(done)) {
  // A pop-up window stands above every other window without the window manager's frame or
  // placement, and covers every monitor: the root window's whole area.
  window_ = gtk_window_new(GTK_WINDOW_POPUP);
  gtk_window_set_title(GTK_WINDOW(window_), kOverlayTitle);
  gtk_widget_set_app_paintable(window_, TRUE);
  gtk_window_move(GTK_WINDOW(window_), 0, 0);
  gtk_window_set_default_size(GTK_WINDOW(window_), screen.bounds.width / screen.scale,
                              screen.bounds.height / screen.scale);
  gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                     GDK_KEY_PRESS_MASK | GDK_STRUCTURE_MASK);
  g_signal_connect(window_, "draw", G_CALLBACK(OnDraw), this);
  g_signal_connect(window_, "map-event", G_CALLBACK(OnMap), this);
  g_signal_connect(window_, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(window_, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(window_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
  cursor_ = gdk_cursor_new_from_name(gtk_widget_get_display(window_), "crosshair");
}

CaptureOverlay::~CaptureOverlay() {
  if (grab_retry_ != 0) g_source_remove(grab_retry_);
  if (grabbed_) gdk_seat_ungrab(gdk_display_get_default_seat(gtk_widget_get_display(window_)));
  g_signal_handlers_disconnect_by_data(window_, this);
  gtk_widget_destroy(window_);
  if (cursor_ != nullptr) g_object_unref(cursor_);
}

void CaptureOverlay::Show() {
  gtk_widget_realize(window_);
  if (cursor_ != nullptr) gdk_window_set_cursor(gtk_widget_get_window(window_), cursor_);
  gtk_widget_show(window_);
}

PixelPoint CaptureOverlay::ToPixels(double x, double y) const {
  return PixelPoint{static_cast<int>(std::floor(x * screen_.scale)),
                    static_cast<int>(std::floor(y * screen_.scale))};
}

std::optional<PixelRect> CaptureOverlay::Highlight() const {
  if (pressing_ && !IsClick(press_, pointer_)) {
    const PixelRect dragged = DraggedRect(press_, pointer_, screen_.bounds);
    if (dragged.empty()) return std::nullopt;
    return dragged;
  }
  const PixelPoint at = pressing_ ? press_ : pointer_;
  if (!screen_.bounds.Contains(at)) return std::nullopt;
  // A click on the bare desktop takes the whole screen.
  return WindowAt(screen_.windows, at, screen_.bounds).value_or(screen_.bounds);
}

bool CaptureOverlay::Grab() {
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window_));
  grabbed_ = gdk_seat_grab(seat, gtk_widget_get_window(window_), GDK_SEAT_CAPABILITY_ALL, TRUE, cursor_,
                           nullptr, nullptr, nullptr) == GDK_GRAB_SUCCESS;
  return grabbed_;
}

gboolean CaptureOverlay::OnMap(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  // The window a click would take is outlined from the start, before the pointer moves.
  GdkDevice* pointer =
      gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(self->window_)));
  double x = 0;
  double y = 0;
  gdk_window_get_device_position_double(gtk_widget_get_window(self->window_), pointer, &x, &y, nullptr);
  if (!self->pressing_) self->pointer_ = self->ToPixels(x, y);
  gtk_widget_queue_draw(self->window_);
  if (!self->Grab() && self->grab_retry_ == 0)
    self->grab_retry_ = g_timeout_add(kGrabRetryMs, RetryGrab, self);
  return FALSE;
}

gboolean CaptureOverlay::RetryGrab(gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  if (self->Grab() || ++self->grab_attempts_ >= kGrabAttempts) {
    self->grab_retry_ = 0;
    return G_SOURCE_REMOVE;
  }
  return G_SOURCE_CONTINUE;
}

gboolean CaptureOverlay::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  if (event->type != GDK_BUTTON_PRESS) return TRUE;  // the second press of a double click
  if (event->button == GDK_BUTTON_SECONDARY) {
    self->Finish(std::nullopt);
  } else if (event->button == GDK_BUTTON_PRIMARY) {
    self->pressing_ = true;
    self->press_ = self->pointer_ = self->ToPixels(event->x_root, event->y_root);
    gtk_widget_queue_draw(self->window_);
  }
  return TRUE;
}

gboolean CaptureOverlay::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  if (event->button != GDK_BUTTON_PRIMARY || !self->pressing_) return TRUE;
  self->pointer_ = self->ToPixels(event->x_root, event->y_root);
  if (IsClick(self->press_, self->pointer_)) {
    // The click takes what is outlined: the window under it.
    self->Finish(self->Highlight());
    return TRUE;
  }
  const PixelRect dragged = DraggedRect(self->press_, self->pointer_, self->screen_.bounds);
  if (!dragged.empty()) {
    self->Finish(dragged);
    return TRUE;
  }
  // A drag along one line spans no pixels: the player starts again.
  self->pressing_ = false;
  gtk_widget_queue_draw(self->window_);
  return TRUE;
}

gboolean CaptureOverlay::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  self->pointer_ = self->ToPixels(event->x_root, event->y_root);
  gtk_widget_queue_draw(self->window_);
  return TRUE;
}

gboolean CaptureOverlay::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  if (event->keyval == GDK_KEY_Escape) self->Finish(std::nullopt);
  return TRUE;
}

void CaptureOverlay::Finish(std::optional<PixelRect> chosen) {
  if (finished_) return;
  finished_ = true;
  if (grab_retry_ != 0) {
    g_source_remove(grab_retry_);
    grab_retry_ = 0;
  }
  if (grabbed_) {
    gdk_seat_ungrab(gdk_display_get_default_seat(gtk_widget_get_display(window_)));
    grabbed_ = false;
  }
  gtk_widget_hide(window_);
  // The owner may delete the overlay when told; that waits until this event handler is over.
  g_idle_add(RunDone, new PendingDone{done_, chosen});
}

}  // namespace qrv::capture
