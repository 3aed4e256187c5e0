#include "login/login_error_window.h"

#include "platform/messages.h"

namespace qrv {

LRESULT CLoginErrUI::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CREATE) {
    BuildSkin(pm_, "loginerr.xml", this);
    ok_button_ = pm_.FindControl("bnok");
    close_button_ = pm_.FindControl("bnclose");
    return 0;
  }
  if (msg == WM_CLOSE) {
    // Closing only hides it: the login window reuses it for the next failure.
    ShowWindow(false);
    return 0;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CLoginErrUI::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  if (msg.pSender == ok_button_ || msg.pSender == close_button_) ShowWindow(false);
}

}  // namespace qrv
