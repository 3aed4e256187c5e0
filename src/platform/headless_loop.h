#pragma once
// The headless back end: no display and a virtual clock. Logic tests install it, drive the
// program through messages, and move time on with Advance, so a 10-minute timer fires in
// microseconds.

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/loop_backend.h"

namespace qrv {

class HeadlessLoop final : public LoopBackend {
 public:
  // Installs a fresh headless back end into the message core and returns it (owned by the core).
  static HeadlessLoop& Install();

  std::int64_t NowMs() const override { return now_ms_; }
  void RequestDispatch() override;
  void RequestWakeAt(std::int64_t) override {}
  // Delivers messages and moves the clock to each timer in turn; returns at WM_QUIT, or when
  // nothing is queued, no timer is set and no worker thread posts for `idle_wait_ms` of real time.
  void Run() override;
  void Quit() override {}

  // Delivers everything posted so far, and whatever that posts in turn.
  void Pump();
  // Moves the virtual clock forward by `ms`, firing each timer at its own moment.
  void Advance(std::int64_t ms);
  // Waits (real time, at most `timeout_ms`) for a worker thread to post, then pumps.
  bool WaitForPost(int timeout_ms);

  void set_idle_wait_ms(int ms) { idle_wait_ms_ = ms; }

 private:
  HeadlessLoop() = default;

  std::int64_t now_ms_ = 0;
  int idle_wait_ms_ = 2000;
  std::mutex mutex_;
  std::condition_variable posted_cv_;
  std::uint64_t posts_ = 0;
};

}  // namespace qrv
