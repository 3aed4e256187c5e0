#include "platform/gtk/gtk_date_picker.h"

#include <algorithm>

#include "platform/gtk/gtk_windows.h"
#include "platform/message_core.h"

namespace qrv {

struct GtkDatePicker::Popup {
  GtkDatePicker* picker = nullptr;
  HWND owner = nullptr;
  UINT message = 0;
  LocalDateTime shown;
  GtkWidget* window = nullptr;
  GtkWidget* calendar = nullptr;
  // The month on show: a "day-selected" in another month is a page turn, not a choice.
  guint year = 0;
  guint month = 0;  // 0-11, as GtkCalendar counts
  GdkSeat* grabbed = nullptr;
};

namespace {

GtkDatePicker* g_current = nullptr;

void OnDaySelected(GtkCalendar* calendar, gpointer data) {
  auto* popup = static_cast<GtkDatePicker::Popup*>(data);
  guint year = 0;
  guint month = 0;
  guint day = 0;
  gtk_calendar_get_date(calendar, &year, &month, &day);
  if (year != popup->year || month != popup->month) {
    popup->year = year;
    popup->month = month;
    return;
  }
  LocalDateTime picked = popup->shown;
  picked.year = static_cast<int>(year);
  picked.month = static_cast<int>(month) + 1;
  picked.day = static_cast<int>(day);
  const HWND owner = popup->owner;
  const UINT message = popup->message;
  // Closing frees `popup`; nothing of it is used after this.
  popup->picker->Close(owner);
  PostMessage(owner, message, 0, std::make_unique<LocalDateTime>(picked));
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* popup = static_cast<GtkDatePicker::Popup*>(data);
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  popup->picker->Close(popup->owner);
  return TRUE;
}

// With the grab on, every press of the pointer comes here first; one outside the pop-up ends it.
gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  auto* popup = static_cast<GtkDatePicker::Popup*>(data);
  int x = 0;
  int y = 0;
  gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
  const int width = gtk_widget_get_allocated_width(widget);
  const int height = gtk_widget_get_allocated_height(widget);
  const bool inside =
      event->x_root >= x && event->x_root < x + width && event->y_root >= y && event->y_root < y + height;
  if (inside) return FALSE;
  popup->picker->Close(popup->owner);
  return TRUE;
}

gboolean OnMapped(GtkWidget* widget, GdkEvent*, gpointer data) {
  auto* popup = static_cast<GtkDatePicker::Popup*>(data);
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(widget));
  if (seat != nullptr && gdk_seat_grab(seat, gtk_widget_get_window(widget), GDK_SEAT_CAPABILITY_ALL, TRUE,
                                       nullptr, nullptr, nullptr, nullptr) == GDK_GRAB_SUCCESS) {
    popup->grabbed = seat;
  }
  gtk_grab_add(widget);
  gtk_widget_grab_focus(popup->calendar);
  return FALSE;
}

gboolean DestroyLater(gpointer data) {
  gtk_widget_destroy(GTK_WIDGET(data));
  g_object_unref(data);
  return G_SOURCE_REMOVE;
}

}  // namespace

GtkDatePicker& GtkDatePicker::Install() {
  auto* picker = new GtkDatePicker();
  DatePicker::Install(std::unique_ptr<DatePicker>(picker));
  return *picker;
}

GtkDatePicker* GtkDatePicker::Current() { return g_current; }

GtkDatePicker::GtkDatePicker() { g_current = this; }

GtkDatePicker::~GtkDatePicker() {
  CloseOpen();
  if (g_current == this) g_current = nullptr;
}

void GtkDatePicker::Drop(HWND owner, UINT message, const RECT& anchor, const LocalDateTime& shown) {
  CloseOpen();
  auto popup = std::make_unique<Popup>();
  popup->picker = this;
  popup->owner = owner;
  popup->message = message;
  popup->shown = shown;
  popup->year = static_cast<guint>(shown.year);
  popup->month = static_cast<guint>(shown.month - 1);

  popup->window = gtk_window_new(GTK_WINDOW_POPUP);
  gtk_window_set_type_hint(GTK_WINDOW(popup->window), GDK_WINDOW_TYPE_HINT_DROPDOWN_MENU);
  if (GtkWindows* windows = GtkWindows::Current()) {
    if (GtkWidget* top = windows->ToplevelWidget(owner))
      gtk_window_set_transient_for(GTK_WINDOW(popup->window), GTK_WINDOW(top));
  }
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_OUT);
  popup->calendar = gtk_calendar_new();
  GtkCalendar* calendar = GTK_CALENDAR(popup->calendar);
  gtk_calendar_select_month(calendar, popup->month, popup->year);
  gtk_calendar_select_day(calendar, static_cast<guint>(shown.day));
  gtk_container_add(GTK_CONTAINER(frame), popup->calendar);
  gtk_container_add(GTK_CONTAINER(popup->window), frame);

  // Right edges in line, below the anchor; above it when the screen ends below.
  gtk_widget_show_all(frame);
  GtkRequisition size{};
  gtk_widget_get_preferred_size(popup->window, nullptr, &size);
  GdkRectangle screen{0, 0, 0, 0};
  if (GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default()))
    gdk_monitor_get_geometry(monitor, &screen);
  int x = anchor.right - size.width;
  int y = anchor.bottom;
  if (screen.height > 0 && y + size.height > screen.y + screen.height) y = anchor.top - size.height;
  if (screen.width > 0) x = std::clamp(x, screen.x, std::max(screen.x, screen.x + screen.width - size.width));
  gtk_window_move(GTK_WINDOW(popup->window), x, std::max(y, screen.y));

  g_signal_connect(popup->calendar, "day-selected", G_CALLBACK(OnDaySelected), popup.get());
  g_signal_connect(popup->window, "key-press-event", G_CALLBACK(OnKey), popup.get());
  g_signal_connect(popup->window, "button-press-event", G_CALLBACK(OnPress), popup.get());
  g_signal_connect(popup->window, "map-event", G_CALLBACK(OnMapped), popup.get());
  gtk_widget_add_events(popup->window, GDK_BUTTON_PRESS_MASK | GDK_KEY_PRESS_MASK | GDK_STRUCTURE_MASK);
  open_ = std::move(popup);
  gtk_widget_show(open_->window);
}

void GtkDatePicker::Close(HWND owner) {
  if (IsOpen(owner)) CloseOpen();
}

bool GtkDatePicker::IsOpen(HWND owner) const {
  return open_ != nullptr && owner != nullptr && open_->owner == owner;
}

GtkWidget* GtkDatePicker::popup() const { return open_ ? open_->window : nullptr; }

GtkCalendar* GtkDatePicker::calendar() const { return open_ ? GTK_CALENDAR(open_->calendar) : nullptr; }

void GtkDatePicker::CloseOpen() {
  if (!open_) return;
  std::unique_ptr<Popup> popup = std::move(open_);
  // The handlers point at `popup`, which goes now; the window may still be inside one of its own
  // signals, so it is hidden at once and destroyed once that has returned.
  g_signal_handlers_disconnect_by_data(popup->window, popup.get());
  g_signal_handlers_disconnect_by_data(popup->calendar, popup.get());
  if (popup->grabbed != nullptr) gdk_seat_ungrab(popup->grabbed);
  gtk_grab_remove(popup->window);
  gtk_widget_hide(popup->window);
  g_idle_add(DestroyLater, g_object_ref(popup->window));
}

}  // namespace qrv
