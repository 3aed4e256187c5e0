#pragma once
// The alarm editor ("clockui.xml", window class "UIClockManagerDlg"): a date button ("bndate")
// whose month calendar drops down below it, hour and minute drop-downs ("comhour" 0时..23时,
// "comminute" 0分..59分), the repeat drop-down ("comrepeat": 每天, 每周, 工作日, 不重复), the
// reminder text ("editinput"), the error line ("txtishi") and "bnok".
//
// "bnok" saves an alarm later than now (to the minute) into the store with the repeat chosen, asks
// the main frame for the alarm list at the editor's place (1035) and hides; a time that is not
// later shows "闹钟时间必须大于当前时间，请重新设置。" and writes nothing. The date reaches the editor
// as message 1031 with a LocalDateTime payload: from the editor itself with the current time when
// it is made (wparam 1: the hour and minute drop-downs are filled then too), from the calendar
// when the player picks a day (wparam 0: only the date changes).

#include <string>

#include "platform/messages.h"
#include "platform/wall_clock.h"
#include "tools/alarm_store.h"
#include "ui/ui.h"

namespace qrv {

// 1031: a date for the date button; LocalDateTime payload, wparam 1 for the first fill.
inline constexpr UINT kMsgDateChosen = WM_USER + 7;

class CClockManagerUI final : public CSkinnedWindow {
 public:
  static constexpr const char* kTooEarly = "闹钟时间必须大于当前时间，请重新设置。";
  static constexpr const char* kNotSaved = "闹钟未能保存，请检查程序目录是否可写。";

  explicit CClockManagerUI(std::string store_path);

  // Creates the editor as a pop-up of `owner` (the main frame) with its top-left corner at `at`
  // (screen), sized by its layout, and shows it. Null when the window cannot be made (the object
  // is gone then).
  HWND Open(HWND owner, POINT at);
  // Back to now for a new alarm: empty text, today's date, the current hour and minute, no error;
  // the repeat keeps its last choice.
  void Refresh();
  // "bnok". Returns whether the alarm was written.
  bool Save();

  std::string GetWindowClassName() const override { return "UIClockManagerDlg"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void ShowDate(const LocalDateTime& date, bool fill_time);
  void FillTimeCombos(int hour, int minute);
  void DropCalendar();
  void Hide();
  std::string TextOf(CControlUI* control) const {
    return control != nullptr ? control->GetText() : std::string();
  }

  AlarmStore store_;
  LocalDateTime shown_;  // the date on the button, with the time the editor was last reset to
  CButtonUI* date_ = nullptr;
  CComboUI* hour_ = nullptr;
  CComboUI* minute_ = nullptr;
  CComboUI* repeat_ = nullptr;
  CEditUI* input_ = nullptr;
  CLabelUI* tip_ = nullptr;
};

}  // namespace qrv
