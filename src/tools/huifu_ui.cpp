#include "tools/huifu_ui.h"

#include <chrono>

#include "platform/messages.h"

namespace qrv {
namespace {

constexpr const char* kLayout = "gowndui.xml";

}  // namespace

CHuifuUI::CHuifuUI(HWND main_frame, int tick_ms) : main_frame_(main_frame), tick_ms_(tick_ms) {}

CHuifuUI::~CHuifuUI() { StopTicker(); }

HWND CHuifuUI::CreatePrompt() {
  const RECT screen = WindowSystem::Get().ScreenRect();
  const int x = (screen.right - screen.left) / 2 - kHalfWidth;
  const int y = screen.bottom - screen.top;
  return Create(main_frame_, "",
                WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU, 0, x, y,
                0, 0);
}

void CHuifuUI::Dismiss(HWND prompt) {
  if (prompt == nullptr || !IsWindow(prompt)) return;
  auto* window = dynamic_cast<CHuifuUI*>(CWindowWnd::FromHandle(prompt));
  if (window == nullptr) return;
  window->StopTicker();
  window->Close();
}

LRESULT CHuifuUI::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE:
      BuildWindow();
      StartTicker();
      return 0;
    case WM_TIMER:
      if (wparam == kTickTimerId) {
        Tick();
        return 0;
      }
      // The toolkit's own control timers travel as WM_TIMER too; they go on to the paint manager.
      break;
    case WM_DESTROY:
      StopTicker();
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CHuifuUI::BuildWindow() { BuildSkin(pm_, kLayout, this); }

void CHuifuUI::Tick() {
  ++ticks_;
  WindowSystem& windows = WindowSystem::Get();
  if (ticks_ <= kRisingTicks) {
    const RECT rc = windows.WindowRect(hwnd_);
    windows.SetPos(hwnd_, nullptr, rc.left, rc.top - kRisePerTick, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    windows.SetFocus(hwnd_);
    windows.Invalidate(hwnd_, nullptr);
  } else {
    for (const char* name : {"TextUI1", "bnexit"}) {
      if (CControlUI* control = pm_.FindControl(name)) control->SetVisible(true);
    }
    windows.SetFocus(hwnd_);
    pm_.Invalidate();
  }
  if (ticks_ >= kTicksPosted) {
    ticks_ = 0;
    StopTicker();
    Close();
  }
}

void CHuifuUI::Notify(TNotifyUI& msg) {
  if (msg.sType == "click" && msg.pSender != nullptr && msg.pSender->GetName() == "bnexit") {
    // The main frame leaves full-screen mode on Esc and then dismisses this prompt.
    qrv::PostMessage(main_frame_, WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

void CHuifuUI::StartTicker() {
  ticker_.Start(hwnd_, kTickTimerId, std::chrono::milliseconds(tick_ms_), kTicksPosted);
}

void CHuifuUI::StopTicker() { ticker_.Stop(); }

}  // namespace qrv
