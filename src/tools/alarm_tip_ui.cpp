#include "tools/alarm_tip_ui.h"

namespace qrv {

CAlarmTipUI::CAlarmTipUI() : CSkinnedWindow("alarmtip.xml", Lifetime::kDeletesItself) {}

HWND CAlarmTipUI::Open(HWND main_frame) {
  return Create(main_frame, "闹钟提醒", kPopupStyle & ~WS_VISIBLE, 0, 0, 0, 0, 0);
}

LRESULT CAlarmTipUI::OnCreate() {
  when_ = FindControl<CLabelUI>("txtime");
  text_ = FindControl<CTextUI>("txtext");
  missed_ = FindControl<CLabelUI>("txmissed");
  // Reached only by name in Notify; looked up here so that a skin without them is noticed.
  FindControl<CButtonUI>("bnok");
  FindControl<CButtonUI>("bnclose");
  return 0;
}

void CAlarmTipUI::ShowReminder(const std::string& when, const std::string& text, bool missed,
                               const RECT& over) {
  if (when_ != nullptr) when_->SetText(when);
  if (text_ != nullptr) text_->SetText(text);
  if (missed_ != nullptr) missed_->SetVisible(missed);
  WindowSystem& windows = WindowSystem::Get();
  const RECT rect = windows.WindowRect(hwnd_);
  const int x = over.left + (over.Width() - rect.Width()) / 2;
  const int y = over.top + (over.Height() - rect.Height()) / 2;
  windows.SetPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepOnMonitor();
  ShowWindow(true, false);
  pm_.Invalidate();
}

void CAlarmTipUI::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnok" || name == "bnclose") Close();
}

}  // namespace qrv
