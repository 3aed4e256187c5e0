#pragma once
// A month calendar that drops down below a button, for windows whose date field is drawn by the
// skinned toolkit. The window asks for it with Drop; when the player picks a day the calendar
// closes and posts the window's own message with wparam 0 and a LocalDateTime payload: the picked
// date with the time of day it was opened with (as a date-and-time picker keeps its time part).
// Escape, a click outside it or Close end it without a message.
//
// The back end is installed like the window system: GTK shows a GtkCalendar in a pop-up window;
// the headless one records the request and lets a test pick a day.

#include <memory>

#include "platform/types.h"
#include "platform/wall_clock.h"

namespace qrv {

class DatePicker {
 public:
  virtual ~DatePicker() = default;

  // Installs the back end for the process; a calendar still open goes away with the old one.
  static void Install(std::unique_ptr<DatePicker> picker);
  // The installed back end; headless when none was installed.
  static DatePicker& Get();

  // Opens a calendar for window `owner` showing `shown`'s month with its day selected, its top
  // edge at `anchor`'s bottom and its right edge at `anchor`'s right (screen coordinates). A
  // calendar the owner already has is replaced. The choice is posted to `owner` as `message`.
  virtual void Drop(HWND owner, UINT message, const RECT& anchor, const LocalDateTime& shown) = 0;
  // Closes the owner's calendar, if it has one.
  virtual void Close(HWND owner) = 0;
  virtual bool IsOpen(HWND owner) const = 0;
};

}  // namespace qrv
