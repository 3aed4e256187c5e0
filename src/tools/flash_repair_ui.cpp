#include "tools/flash_repair_ui.h"

#include "platform/messages.h"

namespace qrv {
namespace {

void SetVisible(CControlUI* control, bool visible) {
  if (control != nullptr) control->SetVisible(visible);
}

}  // namespace

CFlashRepairUI::CFlashRepairUI() : CSkinnedWindow("flashrepair.xml", Lifetime::kDeletesItself) {}

LRESULT CFlashRepairUI::OnCreate() {
  bar_ = FindControl<CProgressUI>("ProgressUI1");
  description_ = FindControl("TextUI2");
  result_ = FindControl("TextUI3");
  start_ = FindControl<CButtonUI>("bnok");
  cancel_ = FindControl<CButtonUI>("bncancle");
  stop_ = FindControl<CButtonUI>("bnquxiao");
  background_ = FindControl<CButtonUI>("bnblack");
  return 0;
}

LRESULT CFlashRepairUI::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (msg == WM_LBUTTONDOWN) {
    handled = StartDragInBand(lparam, kDragBandWidth, kDragBandHeight);
  } else if (msg == WM_TIMER && wparam == kTimer) {
    Tick();
    handled = true;
  }
  return 0;
}

void CFlashRepairUI::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnclose" || name == "bncancle" || name == "bnblack") {
    ShowWindow(false);
  } else if (name == "bnok") {
    Start();
  } else if (name == "bnquxiao") {
    KillTimer(hwnd_, kTimer);
    Reset();
    ShowWindow(false);
  }
}

void CFlashRepairUI::Start() {
  SetVisible(description_, false);
  // The result of an earlier run does not stand beside a new one.
  SetVisible(result_, false);
  if (bar_ != nullptr) {
    bar_->SetMaxValue(100);
    bar_->SetValue(0);
  }
  SetVisible(start_, false);
  SetVisible(cancel_, false);
  SetVisible(stop_, true);
  SetVisible(background_, true);
  SetTimer(hwnd_, kTimer, kTickMs);
}

void CFlashRepairUI::Tick() {
  steps_ += kStep;
  if (steps_ < 96) {
    if (bar_ != nullptr) bar_->SetValue(steps_);
    return;
  }
  SetVisible(result_, true);
  steps_ = 0;
  if (IsWindowVisible(hwnd_)) {
    if (bar_ != nullptr) bar_->SetValue(100);
    if (cancel_ != nullptr) {
      cancel_->SetText(kDoneText);
      cancel_->SetVisible(true);
    }
    SetVisible(stop_, false);
    SetVisible(background_, false);
  } else {
    Reset();
  }
  KillTimer(hwnd_, kTimer);
}

void CFlashRepairUI::Reset() {
  SetVisible(description_, true);
  SetVisible(result_, false);
  steps_ = 0;
  if (bar_ != nullptr) bar_->SetValue(0);
  SetVisible(start_, true);
  if (cancel_ != nullptr) {
    cancel_->SetText(kCancelText);
    cancel_->SetVisible(true);
  }
  SetVisible(stop_, false);
  SetVisible(background_, false);
}

}  // namespace qrv
