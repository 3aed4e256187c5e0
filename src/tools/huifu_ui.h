#pragma once
// The full-screen prompt ("gowndui.xml"): made just below the bottom edge of the screen when the
// main frame enters full-screen mode, it rises 35 pixels in its first seven ticks, then shows its
// text and the "bnexit" button (which asks the main frame to leave full screen, as Esc does), and
// closes itself on its sixtieth tick, about three seconds after it appeared.
//
// The ticks come from a worker thread that only posts WM_TIMER (id 1) to the prompt's window every
// 50 ms, 60 times; all window changes happen on the UI thread. Each prompt has its own stop request
// rather than one shared flag, so a new prompt never revives an old prompt's worker, and the prompt
// stops and joins its worker when its window is destroyed: the thread never outlives the object.
//
// The prompt deletes itself with its window, so the main frame keeps its handle, not a pointer,
// and ends it early with Dismiss(handle).

#include <memory>

#include "platform/window_ticker.h"
#include "ui/ui.h"

namespace qrv {

class CHuifuUI final : public CWindowWnd, public INotifyUI {
 public:
  static constexpr int kTickMs = 50;
  static constexpr int kTicksPosted = 60;
  static constexpr int kRisingTicks = 7;
  static constexpr int kRisePerTick = 5;
  static constexpr std::uintptr_t kTickTimerId = 1;
  // Half the prompt's width: it is centred on the screen.
  static constexpr int kHalfWidth = 150;

  // `tick_ms` is the worker's period; tests shorten it.
  explicit CHuifuUI(HWND main_frame, int tick_ms = kTickMs);
  ~CHuifuUI() override;

  // Creates the prompt as a pop-up owned by the main frame, horizontally centred just below the
  // visible screen, sized by its layout, and shows it; its worker starts with the window. Null on
  // failure (the caller then deletes the object).
  HWND CreatePrompt();

  // Ends the prompt `prompt` at once (its worker stopped first); nothing when it has gone already.
  static void Dismiss(HWND prompt);

  int ticks() const { return ticks_; }
  CPaintManagerUI& paint_manager() { return pm_; }

  std::string GetWindowClassName() const override { return "UIHuifu"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI& msg) override;

 protected:
  void OnFinalMessage(HWND) override { delete this; }

 private:
  void BuildWindow();
  void Tick();
  void StartTicker();
  void StopTicker();

  HWND main_frame_;
  int tick_ms_;
  int ticks_ = 0;
  CPaintManagerUI pm_;
  WindowTicker ticker_;  // posts the ticks from a thread of its own
};

}  // namespace qrv
