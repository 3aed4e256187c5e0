#pragma once
// The reminder of an alarm that fell due ("alarmtip.xml", window class "UIAlarmTip"): the
// occurrence's date and time ("txtime"), the player's text ("txtext") and, for an alarm that fell
// due while the launcher was not running, the note "txmissed". "bnok" and "bnclose" end it.
//
// A pop-up of the main frame, laid over the frame's middle and shown without taking the keyboard
// from the game. The frame keeps its handle and shows the next reminder in the same window while
// it is open; the object deletes itself with its window.

#include <string>

#include "ui/ui.h"

namespace qrv {

class CAlarmTipUI final : public CSkinnedWindow {
 public:
  CAlarmTipUI();

  // Creates the reminder as a hidden pop-up of `main_frame`. Null when the window cannot be made
  // (the object is gone then).
  HWND Open(HWND main_frame);
  // Fills the reminder, centres it over `over` (screen) and shows it.
  void ShowReminder(const std::string& when, const std::string& text, bool missed, const RECT& over);

  std::string GetWindowClassName() const override { return "UIAlarmTip"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;

 private:
  CLabelUI* when_ = nullptr;
  CTextUI* text_ = nullptr;
  CLabelUI* missed_ = nullptr;
};

}  // namespace qrv
