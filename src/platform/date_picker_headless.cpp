#include "platform/date_picker_headless.h"

#include "platform/message_core.h"

namespace qrv {
namespace {

std::unique_ptr<DatePicker>& InstalledPicker() {
  static std::unique_ptr<DatePicker> picker;
  return picker;
}

}  // namespace

void DatePicker::Install(std::unique_ptr<DatePicker> picker) {
  InstalledPicker().reset();
  InstalledPicker() = std::move(picker);
}

DatePicker& DatePicker::Get() {
  if (!InstalledPicker()) HeadlessDatePicker::Install();
  return *InstalledPicker();
}

HeadlessDatePicker& HeadlessDatePicker::Install() {
  auto* picker = new HeadlessDatePicker();
  DatePicker::Install(std::unique_ptr<DatePicker>(picker));
  return *picker;
}

void HeadlessDatePicker::Drop(HWND owner, UINT message, const RECT& anchor, const LocalDateTime& shown) {
  open_request_ = Request{owner, message, anchor, shown};
  open_ = true;
  ++drops_;
}

void HeadlessDatePicker::Close(HWND owner) {
  if (IsOpen(owner)) open_ = false;
}

bool HeadlessDatePicker::Pick(int year, int month, int day) {
  if (!open_) return false;
  open_ = false;
  LocalDateTime picked = open_request_.shown;
  picked.year = year;
  picked.month = month;
  picked.day = day;
  PostMessage(open_request_.owner, open_request_.message, 0, std::make_unique<LocalDateTime>(picked));
  return true;
}

}  // namespace qrv
