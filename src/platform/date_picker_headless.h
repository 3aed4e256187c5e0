#pragma once
// The date picker without a display: it remembers the open calendar, and a test picks a day.

#include "platform/date_picker.h"

namespace qrv {

class HeadlessDatePicker final : public DatePicker {
 public:
  struct Request {
    HWND owner = nullptr;
    UINT message = 0;
    RECT anchor;
    LocalDateTime shown;
  };

  // Installs a headless picker for the process and returns it (owned by DatePicker).
  static HeadlessDatePicker& Install();

  void Drop(HWND owner, UINT message, const RECT& anchor, const LocalDateTime& shown) override;
  void Close(HWND owner) override;
  bool IsOpen(HWND owner) const override { return open_ && open_request_.owner == owner && owner != nullptr; }

  // The last calendar asked for (open or not), and how many were asked for.
  const Request& last_request() const { return open_request_; }
  int drops() const { return drops_; }
  // The player picks `year-month-day` in the open calendar: it closes and posts the owner's
  // message, as the real one does. False when no calendar is open.
  bool Pick(int year, int month, int day);

 private:
  HeadlessDatePicker() = default;

  Request open_request_;
  bool open_ = false;
  int drops_ = 0;
};

}  // namespace qrv
