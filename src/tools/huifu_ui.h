#pragma once
// The full-screen prompt ("gowndui.xml"): made just below the bottom edge of the screen when the
// main frame enters full-screen mode, it rises 35 pixels in its first seven ticks, then shows its
// text and the "bnexit" button (which asks the main frame to leave full screen, as Esc does), and
// closes itself on its sixtieth tick, about three seconds after it appeared.
//
// The ticks are the window's own timer (id 1, every 50 ms), so they stop with the window and a
// prompt ended early leaves nothing behind that could tick into a later one.
//
// The prompt deletes itself with its window, so the main frame keeps its handle, not a pointer,
// and ends it early with Dismiss(handle).

#include "ui/ui.h"

namespace qrv {

class CHuifuUI final : public CSkinnedWindow {
 public:
  static constexpr unsigned kTickMs = 50;
  static constexpr int kTicksPosted = 60;
  static constexpr int kRisingTicks = 7;
  static constexpr int kRisePerTick = 5;
  static constexpr std::uintptr_t kTickTimerId = 1;
  // Half the prompt's width: it is centred on the screen.
  static constexpr int kHalfWidth = 150;

  explicit CHuifuUI(HWND main_frame);

  // Creates the prompt as a pop-up owned by the main frame, horizontally centred just below the
  // visible screen, sized by its layout, and shows it; its ticks start with the window. Null on
  // failure (the object has then gone with its window).
  HWND CreatePrompt();

  // Ends the prompt `prompt` at once; nothing when it has gone already.
  static void Dismiss(HWND prompt);

  int ticks() const { return ticks_; }

  std::string GetWindowClassName() const override { return "UIHuifu"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void Tick();

  HWND main_frame_;
  int ticks_ = 0;
};

}  // namespace qrv
