#pragma once
// The note tip: a small, slightly transparent hint bubble ("notetipui.xml") that closes itself
// about 1.4 seconds after it is made. Its opener creates it as a pop-up and places it.
//
// The countdown is the window's own timer (id 1, every 50 ms): the tip counts the ticks and
// closes on the 28th, and the timer goes with the window.

#include "ui/ui.h"

namespace qrv {

class CNoteTip final : public CSkinnedWindow {
 public:
  static constexpr unsigned kTickMs = 50;
  static constexpr int kClosingTick = 28;
  static constexpr std::uintptr_t kTickTimerId = 1;

  CNoteTip() : CSkinnedWindow("notetipui.xml", Lifetime::kDeletesItself) {}

  std::string GetWindowClassName() const override { return "UINoteTip"; }
  int ticks() const { return ticks_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  int ticks_ = 0;
};

}  // namespace qrv
