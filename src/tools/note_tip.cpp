#include "tools/note_tip.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/messages.h"

namespace qrv {
namespace {

// Black around the bubble is see-through; the bubble itself is nearly opaque.
constexpr std::uint32_t kColorKey = 0x000000;
constexpr std::uint8_t kOpacity = 250;
constexpr std::uintptr_t kTickTimerId = 1;

}  // namespace

// What the worker shares with the tip: only the stop request. The worker holds its own copy of
// the window handle and never sees the tip object.
struct CNoteTip::Ticker {
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
};

CNoteTip::~CNoteTip() { StopTicker(); }

LRESULT CNoteTip::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: {
      WindowSystem& windows = WindowSystem::Get();
      windows.SetStyle(hwnd_, (windows.Style(hwnd_) & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
      pm_.Init(hwnd_);
      CDialogBuilder builder;
      pm_.AttachDialog(builder.Create("notetipui.xml", nullptr, &pm_));
      pm_.AddNotifier(this);
      windows.SetLayered(hwnd_, kColorKey, kOpacity);
      StartTicker();
      return 0;
    }
    case WM_NCPAINT:
      return 0;
    case WM_TIMER:
      // Every tick counts, whatever its id: the tip has no other timer.
      if (++ticks_ >= kClosingTick) Close();
      return 0;
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

void CNoteTip::StartTicker() {
  if (worker_.joinable()) return;
  ticker_ = std::make_shared<Ticker>();
  worker_ = std::thread([ticker = ticker_, hwnd = hwnd_] {
    std::unique_lock lock(ticker->mutex);
    for (int i = 0; i < kTicksPosted; ++i) {
      if (ticker->wake.wait_for(lock, std::chrono::milliseconds(kTickMs), [&] { return ticker->stop; }))
        return;
      qrv::PostMessage(hwnd, WM_TIMER, kTickTimerId, 0);
    }
  });
}

void CNoteTip::StopTicker() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard lock(ticker_->mutex);
    ticker_->stop = true;
  }
  ticker_->wake.notify_all();
  worker_.join();
}

}  // namespace qrv
