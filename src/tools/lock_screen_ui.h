#pragma once
// The screen lock ("lockui.xml"): a child window laid over the main frame's client area while the
// game view is hidden, until the player types the password of the login that started the frame.
// A right password posts 1033 (kMsgUnlocked) to the main frame and hides the lock; a wrong one
// shows "txerr". The lock can also minimise the frame or end the program after the exit question.
//
// The main frame creates it once (CreateOverFrame), keeps the raw pointer and shows it again with
// ShowLock on every later lock; the object deletes itself with its window. The password lives only
// in this object.

#include <string>

#include "app/frame_messages.h"
#include "ui/ui.h"

namespace qrv {

class CLockScreenUI final : public CSkinnedWindow {
 public:
  static constexpr const char* kTitle = "屏幕锁定";

  CLockScreenUI(std::string password, HWND main_frame);

  // Creates the lock as a visible child of the main frame at the top-left corner of its client
  // area, covering it (the layout's size when the frame has no client area yet). Null on failure
  // (the object has then gone with its window).
  HWND CreateOverFrame();
  // Shows the lock again (it keeps its place) with the focus in the password field.
  void ShowLock();

  // Compares the field's text with the password, exactly: on a match posts 1033 to the main frame,
  // hides the lock, empties the field and hides "txerr"; otherwise shows "txerr" and keeps the
  // text. Does nothing when the layout has no "edinput".
  void CheckPassword();

  std::string GetWindowClassName() const override { return "UIClockList"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;

 private:
  void AskToExit();

  std::string password_;
  HWND main_frame_;
  CEditUI* input_ = nullptr;
  CLabelUI* error_ = nullptr;
};

}  // namespace qrv
