#include "net/request_lane.h"

#include <atomic>

namespace qrv {
namespace {

// Lanes of the process with work queued or running.
std::atomic<int> g_busy_lanes{0};
// The stop request of the lane whose thread this is.
thread_local const std::atomic<bool>* t_lane_cancel = nullptr;

}  // namespace

RequestLane::RequestLane() : worker_([this] { Loop(); }) {}

bool RequestLane::StoppingOnThisThread() { return t_lane_cancel != nullptr && t_lane_cancel->load(); }

RequestLane::~RequestLane() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    if (!queue_.empty() || running_) --g_busy_lanes;
    queue_.clear();
  }
  // The request under way ends at once instead of running into its time-out.
  cancel_ = true;
  wake_.notify_all();
  worker_.join();
}

void RequestLane::Run(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    if (queue_.empty() && !running_) ++g_busy_lanes;
    queue_.push_back(std::move(work));
  }
  wake_.notify_one();
}

bool RequestLane::Busy() const {
  std::lock_guard lock(mutex_);
  return running_ || !queue_.empty();
}

bool RequestLane::WaitIdle(std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, limit, [&] { return !running_ && queue_.empty(); });
}

bool RequestLane::AnyBusy() { return g_busy_lanes.load() > 0; }

void RequestLane::Loop() {
  t_lane_cancel = &cancel_;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    std::function<void()> work = std::move(queue_.front());
    queue_.pop_front();
    running_ = true;
    lock.unlock();
    work();
    work = nullptr;  // what it held goes here, on the lane, before the lane reads as idle
    lock.lock();
    running_ = false;
    if (queue_.empty()) {
      if (!stopping_) --g_busy_lanes;
      idle_.notify_all();
    }
  }
}

}  // namespace qrv
