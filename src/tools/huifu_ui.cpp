#include "tools/huifu_ui.h"

#include "platform/messages.h"

namespace qrv {

CHuifuUI::CHuifuUI(HWND main_frame)
    : CSkinnedWindow("gowndui.xml", Lifetime::kDeletesItself), main_frame_(main_frame) {}

HWND CHuifuUI::CreatePrompt() {
  // It rises out of the bottom edge of the work area (above a bottom panel) of the monitor that
  // shows the frame, centred on it.
  WindowSystem& windows = WindowSystem::Get();
  const RECT area = windows.WorkAreaAt(windows.WindowRect(main_frame_));
  const int x = area.left + area.Width() / 2 - kHalfWidth;
  const int y = area.bottom;
  return Create(main_frame_, "", kPopupStyle, 0, x, y, 0, 0);
}

void CHuifuUI::Dismiss(HWND prompt) {
  if (prompt == nullptr || !IsWindow(prompt)) return;
  auto* window = dynamic_cast<CHuifuUI*>(CWindowWnd::FromHandle(prompt));
  if (window == nullptr) return;
  KillTimer(prompt, kTickTimerId);
  window->Close();
}

LRESULT CHuifuUI::OnCreate() {
  SetTimer(hwnd_, kTickTimerId, kTickMs);
  return 0;
}

LRESULT CHuifuUI::OnMessage(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
  // The toolkit's own control timers travel as WM_TIMER too; they go on to the paint manager.
  if (msg != WM_TIMER || wparam != kTickTimerId) return 0;
  handled = true;
  Tick();
  return 0;
}

void CHuifuUI::Tick() {
  ++ticks_;
  WindowSystem& windows = WindowSystem::Get();
  if (ticks_ <= kRisingTicks) {
    const RECT rc = windows.WindowRect(hwnd_);
    windows.SetPos(hwnd_, nullptr, rc.left, rc.top - kRisePerTick, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // Risen all the way, it lies wholly inside the work area whatever its size.
    if (ticks_ == kRisingTicks) KeepOnMonitor();
    windows.SetFocus(hwnd_);
    windows.Invalidate(hwnd_, nullptr);
  } else {
    for (const char* name : {"TextUI1", "bnexit"}) {
      if (CControlUI* control = FindControl(name)) control->SetVisible(true);
    }
    windows.SetFocus(hwnd_);
    pm_.Invalidate();
  }
  if (ticks_ >= kTicksPosted) {
    ticks_ = 0;
    KillTimer(hwnd_, kTickTimerId);
    Close();
  }
}

void CHuifuUI::Notify(TNotifyUI& msg) {
  if (msg.sType == "click" && msg.pSender != nullptr && msg.pSender->GetName() == "bnexit") {
    // The main frame leaves full-screen mode on Esc and then dismisses this prompt.
    qrv::PostMessage(main_frame_, WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

}  // namespace qrv
