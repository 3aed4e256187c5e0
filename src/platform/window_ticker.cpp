#include "platform/window_ticker.h"

#include <condition_variable>
#include <mutex>

#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

struct WindowTicker::Shared {
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
};

WindowTicker::~WindowTicker() { Stop(); }

void WindowTicker::Start(HWND hwnd, std::uintptr_t timer_id, std::chrono::milliseconds period, int ticks) {
  if (worker_.joinable()) return;
  // Each run has its own stop request, so stopping one never touches another.
  shared_ = std::make_shared<Shared>();
  worker_ = std::thread([shared = shared_, hwnd, timer_id, period, ticks] {
    std::unique_lock lock(shared->mutex);
    for (int i = 0; i < ticks; ++i) {
      if (shared->wake.wait_for(lock, period, [&] { return shared->stop; })) return;
      PostMessage(hwnd, WM_TIMER, timer_id, 0);
    }
  });
}

void WindowTicker::Stop() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stop = true;
  }
  shared_->wake.notify_all();
  worker_.join();
}

}  // namespace qrv
