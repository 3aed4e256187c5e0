#pragma once
// The exit question: a small modal dialog drawn from the program's own pictures (title "退出提示",
// the question "是否退出玄岚城？", and the buttons "是" and "否"), asked before the program ends at
// the player's request. A press anywhere but on a button drags it.

#include "ui/ui.h"

namespace qrv {

class CCheckDlg final : public CSkinnedWindow {
 public:
  static constexpr int kWidth = 303;
  static constexpr int kHeight = 156;

  CCheckDlg();

  // Runs the question modally over `owner`: IDOK (1) for "是", IDCANCEL (2) for "否" or the close
  // box (and for the window manager's close).
  int DoModal(HWND owner);

  std::string GetWindowClassName() const override { return "UICheckDlg"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
};

}  // namespace qrv
