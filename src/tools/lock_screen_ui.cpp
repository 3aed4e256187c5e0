#include "tools/lock_screen_ui.h"

#include "app/frame_messages.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "tools/check_dlg.h"

namespace qrv {
CLockScreenUI::CLockScreenUI(std::string password, HWND main_frame)
    : CSkinnedWindow("lockui.xml", Lifetime::kDeletesItself), password_(std::move(password)), main_frame_(main_frame) {}

HWND CLockScreenUI::CreateOverFrame() {
  if (Create(main_frame_, kTitle, kChildStyle, 0, 0, 0, 0, 0) ==
      nullptr) {
    return nullptr;
  }
  // A child window takes no size from its layout by itself. The lock covers the whole client
  // area of the frame, so no part of the game shows beside it; a frame without a client area
  // yet gets the layout's size.
  RECT area{};
  if (main_frame_ != nullptr && IsWindow(main_frame_)) area = GetClientRect(main_frame_);
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) {
    width = pm_.GetInitSize().cx;
    height = pm_.GetInitSize().cy;
  }
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  return hwnd_;
}

void CLockScreenUI::ShowLock() {
  ShowWindow(true, true);
  if (input_ != nullptr) input_->SetFocus();
}

LRESULT CLockScreenUI::OnCreate() {
  input_ = FindControl<CEditUI>("edinput");
  error_ = FindControl<CLabelUI>("txerr");
  return 0;
}

void CLockScreenUI::Notify(TNotifyUI& msg) {
  if (msg.sType == "return") {
    CheckPassword();
    return;
  }
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnok")
    CheckPassword();
  else if (name == "bnmini")
    qrv::SendMessage(main_frame_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (name == "bnclose")
    AskToExit();
}

void CLockScreenUI::CheckPassword() {
  if (input_ == nullptr) return;
  if (input_->GetText() != password_) {
    if (error_ != nullptr) error_->SetVisible(true);
    return;
  }
  qrv::PostMessage(main_frame_, kMsgUnlocked, 0, 0);
  ShowWindow(false);
  input_->SetText("");
  if (error_ != nullptr) error_->SetVisible(false);
}

void CLockScreenUI::AskToExit() {
  CCheckDlg question;
  // The question belongs to the frame's top-level window rather than to this child window.
  const HWND owner = main_frame_ != nullptr && IsWindow(main_frame_) ? main_frame_ : hwnd_;
  if (question.DoModal(owner) != IDOK) return;
  // The main frame sends the exit notice and removes the tray icon before the process goes.
  if (main_frame_ != nullptr && IsWindow(main_frame_)) qrv::SendMessage(main_frame_, kMsgExitSteps, 0, 0);
  ExitProcess(-1);
}

}  // namespace qrv
