#pragma once
// A short animation's clock: a thread of its own posts WM_TIMER with an id to a window at a fixed
// period, a fixed number of times. It only posts, so the window may go at any moment; Stop (and
// the destructor) wakes the thread at once and joins it, so it never outlives its owner.

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/types.h"

namespace qrv {

class WindowTicker {
 public:
  WindowTicker() = default;
  ~WindowTicker();
  WindowTicker(const WindowTicker&) = delete;
  WindowTicker& operator=(const WindowTicker&) = delete;

  // Starts posting unless it already runs.
  void Start(HWND hwnd, std::uintptr_t timer_id, std::chrono::milliseconds period, int ticks);
  void Stop();
  bool running() const { return worker_.joinable(); }

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

}  // namespace qrv
