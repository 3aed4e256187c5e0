#pragma once
// The login error window: a small pop-up over the login card after a failed login. Its texts come
// from its layout. "bnok" and the close box hide it; the login window keeps it and shows it again
// on the next failure, and ignores the player while it is visible.

#include "ui/ui.h"

namespace qrv {

class CLoginErrUI final : public CSkinnedWindow {
 public:
  CLoginErrUI() : CSkinnedWindow("loginerr.xml", Lifetime::kDeletesItself) {}

  // The class name is shared with the alarm list window, as the platform's skin tools expect.
  std::string GetWindowClassName() const override { return "UIClockList"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  CButtonUI* ok_button_ = nullptr;
  CButtonUI* close_button_ = nullptr;
};

}  // namespace qrv
