#include "platform/first_frame.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace qrv {
namespace {

struct Gate {
  std::mutex mutex;
  std::condition_variable painted_signal;
  bool expected = false;
  bool painted = false;
  std::thread::id painter;
};

Gate& TheGate() {
  static Gate gate;
  return gate;
}

}  // namespace

void FirstFrame::Expect() {
  Gate& gate = TheGate();
  std::lock_guard lock(gate.mutex);
  if (gate.painted) return;
  gate.expected = true;
  gate.painter = std::this_thread::get_id();
}

void FirstFrame::Painted() {
  Gate& gate = TheGate();
  {
    std::lock_guard lock(gate.mutex);
    if (gate.painted) return;
    gate.painted = true;
  }
  gate.painted_signal.notify_all();
}

void FirstFrame::Wait(std::chrono::milliseconds limit) {
  Gate& gate = TheGate();
  std::unique_lock lock(gate.mutex);
  if (!gate.expected || gate.painter == std::this_thread::get_id()) return;
  gate.painted_signal.wait_for(lock, limit, [&gate] { return gate.painted; });
}

}  // namespace qrv
