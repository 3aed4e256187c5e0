#include "tools/clock_manager_ui.h"

#include <memory>

#include "app/frame_messages.h"
#include "platform/date_picker.h"
#include "platform/message_core.h"
#include "tools/alarm_rules.h"

namespace qrv {
namespace {

void FillCombo(CComboUI* combo, int count, const char* suffix, int selected) {
  if (combo == nullptr) return;
  combo->RemoveAll();
  for (int i = 0; i < count; ++i) {
    auto* item = new CListLabelElementUI;
    item->SetText(std::to_string(i) + suffix);
    combo->Add(item);
  }
  combo->SelectItem(selected, false, false);
}

}  // namespace

CClockManagerUI::CClockManagerUI(std::string store_path)
    : CSkinnedWindow("clockui.xml", Lifetime::kDeletesItself), store_(std::move(store_path)) {}

HWND CClockManagerUI::Open(HWND owner, POINT at) {
  return Create(owner, "", kPopupStyle | WS_BORDER | WS_DLGFRAME, 0, at.x, at.y, 100, 100);
}

LRESULT CClockManagerUI::OnCreate() {
  date_ = FindControl<CButtonUI>("bndate");
  hour_ = FindControl<CComboUI>("comhour");
  minute_ = FindControl<CComboUI>("comminute");
  repeat_ = FindControl<CComboUI>("comrepeat");
  input_ = FindControl<CEditUI>("editinput");
  tip_ = FindControl<CLabelUI>("txtishi");
  // Reached only by name in Notify; looked up here so that a skin without them is noticed.
  FindControl<CButtonUI>("bnok");
  FindControl<CButtonUI>("bnclose");
  // Opened beside the alarm list, which may stand at an edge of the screen.
  KeepOnMonitor();

  if (repeat_ != nullptr) {
    for (const char* word : {kRepeatDaily, kRepeatWeekly, kRepeatWorkdays, kRepeatNever}) {
      auto* item = new CListLabelElementUI;
      item->SetText(word);
      repeat_->Add(item);
    }
    repeat_->SelectItem(0, false, false);
  }
  // The date, hour and minute arrive as a message, as a chosen date does later.
  qrv::PostMessage(hwnd_, kMsgDateChosen, 1, std::make_unique<LocalDateTime>(WallClock::Get().Now()));
  return 0;
}

LRESULT CClockManagerUI::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (msg == kMsgDateChosen) {
    handled = true;
    if (auto date = TakePayload<LocalDateTime>(lparam)) ShowDate(*date, wparam == 1);
    return 0;
  }
  // A calendar still open must not post to a window that is gone.
  if (msg == WM_DESTROY) DatePicker::Get().Close(hwnd_);
  return 0;
}

void CClockManagerUI::ShowDate(const LocalDateTime& date, bool fill_time) {
  shown_ = date;
  if (date_ != nullptr) date_->SetText(FormatDate(date.year, date.month, date.day));
  if (fill_time) FillTimeCombos(date.hour, date.minute);
}

void CClockManagerUI::FillTimeCombos(int hour, int minute) {
  FillCombo(hour_, 24, "时", hour);
  FillCombo(minute_, 60, "分", minute);
}

void CClockManagerUI::Refresh() {
  DatePicker::Get().Close(hwnd_);
  if (input_ != nullptr) input_->SetText("");
  if (tip_ != nullptr) tip_->SetText("");
  const LocalDateTime now = WallClock::Get().Now();
  qrv::PostMessage(hwnd_, kMsgDateChosen, 0, std::make_unique<LocalDateTime>(now));
  FillTimeCombos(now.hour, now.minute);
}

void CClockManagerUI::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bndate") {
    DropCalendar();
  } else if (name == "bnok") {
    Save();
  } else if (name == "bnclose") {
    Hide();
  }
}

void CClockManagerUI::DropCalendar() {
  DatePicker& picker = DatePicker::Get();
  // A second press on the button folds the calendar up again.
  if (picker.IsOpen(hwnd_)) {
    picker.Close(hwnd_);
    return;
  }
  if (date_ == nullptr) return;
  const RECT window = GetWindowRect(hwnd_);
  RECT anchor = date_->GetPos();
  anchor.left += window.left;
  anchor.right += window.left;
  anchor.top += window.top;
  anchor.bottom += window.top;
  // The calendar opens on the date the button shows (which the player may have changed).
  LocalDateTime shown = ReadEditorFields(TextOf(date_), "", "");
  if (!IsValidDateTime(shown)) shown = shown_;
  shown.hour = shown_.hour;
  shown.minute = shown_.minute;
  picker.Drop(hwnd_, kMsgDateChosen, anchor, shown);
}

bool CClockManagerUI::Save() {
  const LocalDateTime when = ReadEditorFields(TextOf(date_), TextOf(hour_), TextOf(minute_));
  if (!IsAcceptableAlarmTime(when, WallClock::Get().Now())) {
    if (tip_ != nullptr) tip_->SetText(kTooEarly);
    return false;
  }
  std::string repeat = TextOf(repeat_);
  if (repeat.empty()) repeat = kRepeatDaily;
  if (!store_.Save(FormatAlarmTime(when), TextOf(input_), repeat)) {
    if (tip_ != nullptr) tip_->SetText(kNotSaved);
    return false;
  }
  const HWND owner = WindowSystem::Get().Parent(hwnd_);
  if (owner != nullptr && IsWindow(owner))
    qrv::PostMessage(owner, kMsgOpenAlarmList, 0, std::make_unique<RECT>(GetWindowRect(hwnd_)));
  if (tip_ != nullptr) tip_->SetText("");
  Hide();
  return true;
}

void CClockManagerUI::Hide() {
  DatePicker::Get().Close(hwnd_);
  ShowWindow(false);
}

}  // namespace qrv
