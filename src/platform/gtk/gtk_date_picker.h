#pragma once
// The date picker on GTK: a GtkCalendar in a pop-up window dropped below the anchor. While it is
// open it holds the pointer and the keyboard: a click outside it or Escape closes it without a
// choice (the click is not passed on), as a drop-down does. Picking a day of the shown month
// (click, or Space/Enter on the focused day) posts the choice and closes it; moving to another
// month (the arrows, or a day of the next or previous month) only turns the page.

#include <gtk/gtk.h>

#include <memory>

#include "platform/date_picker.h"

namespace qrv {

class GtkDatePicker final : public DatePicker {
 public:
  // Installs the GTK date picker for the process and returns it (owned by DatePicker).
  static GtkDatePicker& Install();
  // The installed GtkDatePicker, or null.
  static GtkDatePicker* Current();

  GtkDatePicker();
  ~GtkDatePicker() override;
  GtkDatePicker(const GtkDatePicker&) = delete;
  GtkDatePicker& operator=(const GtkDatePicker&) = delete;

  void Drop(HWND owner, UINT message, const RECT& anchor, const LocalDateTime& shown) override;
  void Close(HWND owner) override;
  bool IsOpen(HWND owner) const override;

  // The open pop-up window and its calendar, or null (for tests).
  GtkWidget* popup() const;
  GtkCalendar* calendar() const;

  struct Popup;

 private:
  void CloseOpen();

  std::unique_ptr<Popup> open_;
};

}  // namespace qrv
