#include "login/login_error_window.h"

#include "platform/messages.h"

namespace qrv {

LRESULT CLoginErrUI::OnCreate() {
  ok_button_ = FindControl<CButtonUI>("bnok");
  close_button_ = FindControl<CButtonUI>("bnclose");
  return 0;
}

LRESULT CLoginErrUI::OnMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  // Closing only hides it: the login window reuses it for the next failure.
  handled = msg == WM_CLOSE;
  if (handled) ShowWindow(false);
  return 0;
}

void CLoginErrUI::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  if (msg.pSender == ok_button_ || msg.pSender == close_button_) ShowWindow(false);
}

}  // namespace qrv
