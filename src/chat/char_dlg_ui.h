#pragma once
// CCharDlgUI: the skin of a chat window ("chatdlg.xml", window class "UICharDlg"), a child window
// laid under the chat's two text controls. Its buttons act on the chat window: "bnface" opens or
// closes the emoticon picker, "bnsend" sends, "bnimage" saves a picture.

#include "ui/ui.h"

namespace qrv {

class CCharDlg;

class CCharDlgUI final : public CSkinnedWindow {
 public:
  explicit CCharDlgUI(CCharDlg& dialog);

  std::string GetWindowClassName() const override { return "UICharDlg"; }
  void Notify(TNotifyUI& msg) override;

  CButtonUI* face_button() const { return face_button_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  CCharDlg& dialog_;
  CButtonUI* face_button_ = nullptr;
  CButtonUI* send_button_ = nullptr;
  CButtonUI* image_button_ = nullptr;
};

}  // namespace qrv
