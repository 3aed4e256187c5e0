// The main frame's alarms: the alarm list it opens (from "bnclock" and on message 1035), the check
// of the stored alarms against the clock whenever one can fall due, and the reminder when one falls due: a
// pop-up over the frame and a desktop notification. While the boss key hides the launcher only a
// neutral desktop notification appears, so nothing of the game shows.

#include "frame/main_frame.h"
#include "platform/date_picker.h"
#include "platform/desktop_notifier.h"
#include "platform/wall_clock.h"
#include "tools/alarm_store.h"
#include "tools/alarm_tip_ui.h"
#include "tools/clock_list_ui.h"

namespace qrv {
namespace {

// Where the list drops from the toolbar button: its left edge 164 pixels left of the button's,
// its top at the button's bottom.
constexpr int kListLeftOfButton = 164;

}  // namespace

std::string CMainFrameWnd::AlarmStorePath() const { return deps_.services.paths.alarms; }

void CMainFrameWnd::OpenAlarmListBelow(CControlUI* button) {
  const RECT pos = button->GetPos();
  const POINT at = ScreenPointOf(RECT{pos.left - kListLeftOfButton, pos.bottom, pos.right, pos.bottom});
  OpenAlarmList(at);
}

void CMainFrameWnd::OpenAlarmList(POINT at) {
  // Every request makes a new list, with the store as it is now; the one before goes (and the
  // editor it opened with it).
  if (alarm_list_ != nullptr && IsWindow(alarm_list_)) DestroyWindow(alarm_list_);
  auto* list = new CClockListUI(AlarmStorePath());
  alarm_list_ = list->Open(hwnd_, at);
}

void CMainFrameWnd::CheckAlarms() {
  const AlarmStore store(AlarmStorePath());
  // A copy: ringing writes the store, and the reader's list is for the next read.
  const std::vector<StoredAlarm> alarms = alarm_store_.Read(store);
  const LocalDateTime now = WallClock::Get().Now();
  for (const DueAlarm& due : alarm_watch_.Check(alarms, now)) {
    // Noted first: an alarm rings once per occurrence, whatever happens while it rings.
    store.MarkRang(due.section, due.occurrence);
    RingAlarm(due);
  }
  // Nothing can fall due before then, so the frame sleeps till then rather than every second.
  SetTimer(hwnd_, kAlarmTimer, AlarmCheckDelayMs(alarms, now));
}

void CMainFrameWnd::RingAlarm(const DueAlarm& alarm) {
  const bool hidden_by_boss_key = !IsWindowVisible(hwnd_);
  DesktopNotifier::Get().Notify(ReminderNotification(alarm, hidden_by_boss_key));
  if (hidden_by_boss_key) return;
  if (alarm_tip_ == nullptr || !IsWindow(alarm_tip_)) {
    auto* tip = new CAlarmTipUI();
    alarm_tip_ = tip->Open(hwnd_);
    if (alarm_tip_ == nullptr) return;
  }
  if (auto* tip = dynamic_cast<CAlarmTipUI*>(CWindowWnd::FromHandle(alarm_tip_)))
    tip->ShowReminder(ReminderWhen(alarm), alarm.text, alarm.missed, GetWindowRect(hwnd_));
}

void CMainFrameWnd::HideAlarmWindows() {
  if (alarm_list_ != nullptr && IsWindow(alarm_list_)) {
    qrv::ShowWindow(alarm_list_, SW_HIDE);
    if (auto* list = dynamic_cast<CClockListUI*>(CWindowWnd::FromHandle(alarm_list_))) {
      if (const HWND editor = list->editor_window()) {
        DatePicker::Get().Close(editor);
        qrv::ShowWindow(editor, SW_HIDE);
      }
    }
  }
  if (alarm_tip_ != nullptr && IsWindow(alarm_tip_)) qrv::ShowWindow(alarm_tip_, SW_HIDE);
}

}  // namespace qrv
