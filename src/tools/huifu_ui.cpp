#include "tools/huifu_ui.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/messages.h"

namespace qrv {
namespace {

constexpr const char* kLayout = "gowndui.xml";

}  // namespace

// What the worker shares with the prompt: only the stop request. The worker holds its own copy of
// the window handle and never sees the prompt object; posts to a window that has gone are dropped.
struct CHuifuUI::Ticker {
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
};

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

void CHuifuUI::BuildWindow() {
  WindowSystem& windows = WindowSystem::Get();
  windows.SetStyle(hwnd_, (windows.Style(hwnd_) & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  pm_.Init(hwnd_);
  CDialogBuilder builder;
  pm_.AttachDialog(builder.Create(kLayout, nullptr, &pm_));
  pm_.AddNotifier(this);
}

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
  if (worker_.joinable()) return;
  ticker_ = std::make_shared<Ticker>();
  worker_ = std::thread([ticker = ticker_, hwnd = hwnd_, period = std::chrono::milliseconds(tick_ms_)] {
    std::unique_lock lock(ticker->mutex);
    for (int i = 0; i < kTicksPosted; ++i) {
      if (ticker->wake.wait_for(lock, period, [&] { return ticker->stop; })) return;
      qrv::PostMessage(hwnd, WM_TIMER, kTickTimerId, 0);
    }
  });
}

void CHuifuUI::StopTicker() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard lock(ticker_->mutex);
    ticker_->stop = true;
  }
  ticker_->wake.notify_all();
  worker_.join();
}

}  // namespace qrv
