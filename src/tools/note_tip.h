#pragma once
// The note tip: a small, slightly transparent hint bubble ("notetipui.xml") that closes itself
// about 1.4 seconds after it is made. Its opener creates it as a pop-up and places it.
//
// The countdown runs on a worker thread that only posts WM_TIMER (id 1) to the tip's window
// every 50 ms, 30 times; the tip counts the ticks on the UI thread and closes on the 28th. Posts
// to a window that has gone are dropped by the message core, and the tip stops and joins its
// worker when it is destroyed (the worker wakes at once when told to stop), so the thread never
// outlives the object and never touches a destroyed window.

#include <memory>

#include "platform/window_ticker.h"
#include "ui/ui.h"

namespace qrv {

class CNoteTip final : public CWindowWnd, public INotifyUI {
 public:
  static constexpr int kTickMs = 50;
  static constexpr int kTicksPosted = 30;
  static constexpr int kClosingTick = 28;

  CNoteTip() = default;
  ~CNoteTip() override;

  std::string GetWindowClassName() const override { return "UINoteTip"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI&) override {}

  CPaintManagerUI& paint_manager() { return pm_; }
  int ticks() const { return ticks_; }

 protected:
  void OnFinalMessage(HWND) override { delete this; }

 private:
  void StartTicker();
  void StopTicker();

  CPaintManagerUI pm_;
  int ticks_ = 0;
  WindowTicker ticker_;  // posts the ticks from a thread of its own
};

}  // namespace qrv
