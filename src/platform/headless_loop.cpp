#include "platform/headless_loop.h"

#include <chrono>
#include <memory>

#include "platform/message_core.h"

namespace qrv {

HeadlessLoop& HeadlessLoop::Install() {
  auto* loop = new HeadlessLoop();
  MessageCore::Install(std::unique_ptr<LoopBackend>(loop));
  return *loop;
}

void HeadlessLoop::RequestDispatch() {
  {
    std::lock_guard lock(mutex_);
    ++posts_;
  }
  posted_cv_.notify_all();
}

void HeadlessLoop::Pump() {
  // Bounded so that a window posting to itself forever cannot hang a test.
  for (int round = 0; round < 10000 && MessageCore::DispatchPending(); ++round) {
  }
}

void HeadlessLoop::Advance(std::int64_t ms) {
  const std::int64_t target = now_ms_ + ms;
  Pump();
  for (;;) {
    const std::int64_t due = MessageCore::NextTimerDue();
    if (due < 0 || due > target || MessageCore::QuitRequested()) break;
    if (due > now_ms_) now_ms_ = due;
    Pump();
  }
  if (now_ms_ < target) now_ms_ = target;
  Pump();
}

bool HeadlessLoop::WaitForPost(int timeout_ms) {
  std::unique_lock lock(mutex_);
  const std::uint64_t seen = posts_;
  const bool posted = posted_cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return posts_ != seen; });
  lock.unlock();
  Pump();
  return posted;
}

void HeadlessLoop::Run() {
  while (!MessageCore::QuitRequested()) {
    std::uint64_t seen = 0;
    {
      std::lock_guard lock(mutex_);
      seen = posts_;
    }
    if (MessageCore::DispatchPending()) continue;
    if (MessageCore::QuitRequested()) break;
    const std::int64_t due = MessageCore::NextTimerDue();
    if (due >= 0) {
      if (due > now_ms_) now_ms_ = due;
      continue;
    }
    std::unique_lock lock(mutex_);
    if (!posted_cv_.wait_for(lock, std::chrono::milliseconds(idle_wait_ms_), [&] { return posts_ != seen; })) break;
  }
}

}  // namespace qrv
