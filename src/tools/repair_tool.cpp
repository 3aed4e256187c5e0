#include "tools/repair_tool.h"

#include "platform/messages.h"

namespace qrv {

CRepairTool::CRepairTool(CacheTargets targets)
    : CSkinnedWindow("repairtoolui.xml", Lifetime::kDeletesItself), targets_(std::move(targets)) {}

LRESULT CRepairTool::OnCreate() {
  bar_ = FindControl<CProgressUI>("ProgressUI1");
  result_ = FindControl<CLabelUI>("TextUI1");
  tips_ = {FindControl("tishi1"), FindControl("tishi2"), FindControl("tishi3")};
  start_ = FindControl<CButtonUI>("bnok");
  cancel_ = FindControl<CButtonUI>("bncanel");
  done_ = FindControl<CButtonUI>("bnok1");
  if (bar_ != nullptr) {
    bar_->SetMaxValue(100);
    bar_->SetValue(0);
    bar_->SetVisible(false);
  }
  if (result_ != nullptr) result_->SetText("");
  return 0;
}

LRESULT CRepairTool::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (msg == WM_LBUTTONDOWN) {
    handled = StartDragInBand(lparam, kDragBandWidth, kDragBandHeight);
  } else if (msg == kMsgCleanProgress) {
    ShowProgress(static_cast<int>(wparam));
    handled = true;
  }
  return 0;
}

void CRepairTool::OnWindowGone() {
  // The walk stops at its next entry; the run's worker is waited for, so nothing of it outlives
  // this object.
  if (run_ != nullptr) run_->StopAndJoin();
  run_.reset();
}

void CRepairTool::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnclose" || name == "bncanel" || name == "bnok1") {
    ShowWindow(false);
  } else if (name == "bnok") {
    StartCleanUp();
  }
}

void CRepairTool::ShowIdleFace(bool idle) {
  for (CControlUI* control :
       {tips_[0], tips_[1], tips_[2], static_cast<CControlUI*>(start_), static_cast<CControlUI*>(cancel_)}) {
    if (control != nullptr) control->SetVisible(idle);
  }
}

void CRepairTool::Reset() {
  ShowIdleFace(true);
  progress_ = 0;
  if (bar_ != nullptr) {
    bar_->SetValue(0);
    bar_->SetVisible(false);
  }
  if (result_ != nullptr) result_->SetText("");
  if (done_ != nullptr) done_->SetVisible(false);
}

void CRepairTool::StartCleanUp() {
  ShowIdleFace(false);
  finished_ = false;
  // A reset while a run goes on must not start a second one over the same folders: the window
  // shows the run it has, at once, rather than an empty face until that run reports again (the
  // engine may take a while over its caches).
  if (running()) {
    ShowProgress(run_progress_);
    return;
  }
  run_.reset();  // an ended run: its worker has finished
  run_progress_ = 0;
  run_ = CacheCleanRun::Start(hwnd_, kMsgCleanProgress, targets_);
}

void CRepairTool::ShowProgress(int value) {
  progress_ = value;
  run_progress_ = value;
  // The running face, also when the window was reset while its run went on.
  ShowIdleFace(false);
  if (value > 98) {
    if (result_ != nullptr) result_->SetText(kFinishedText);
    finished_ = true;
    if (done_ != nullptr) done_->SetVisible(true);
  }
  if (bar_ != nullptr) {
    bar_->SetVisible(true);
    bar_->SetValue(value);
  }
}

}  // namespace qrv
