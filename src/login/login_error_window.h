#pragma once
// The login error window: a small pop-up over the login card after a failed login. Its texts come
// from its layout. "bnok" and the close box hide it; the login window keeps it and shows it again
// on the next failure, and ignores the player while it is visible.

#include "ui/ui.h"

namespace qrv {

class CLoginErrUI final : public CWindowWnd, public INotifyUI {
 public:
  // The class name is shared with the alarm list window, as the platform's skin tools expect.
  std::string GetWindowClassName() const override { return "UIClockList"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI& msg) override;

  CPaintManagerUI& paint_manager() { return pm_; }

 protected:
  void OnFinalMessage(HWND) override { delete this; }

 private:
  CPaintManagerUI pm_;
  CControlUI* ok_button_ = nullptr;
  CControlUI* close_button_ = nullptr;
};

}  // namespace qrv
