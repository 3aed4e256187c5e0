#pragma once
// Window tests end each step once the network has answered: the requests the step started run
// on the request lanes' threads and their answers come back as posted messages. This waits
// (real time, bounded) until no lane has work left and every answer has been delivered, and
// whatever the answers started in turn.

#include <chrono>

#include "net/request_lane.h"
#include "platform/headless_loop.h"

namespace qrv::testing {

inline void SettleRequests(HeadlessLoop& loop, std::chrono::milliseconds limit = std::chrono::seconds(60)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    loop.Pump();
    // A lane posts its answer before it reads as idle, so once none is busy every answer is in
    // the queue; delivering them may start new requests.
    if (!RequestLane::AnyBusy()) {
      loop.Pump();
      if (!RequestLane::AnyBusy()) return;
    }
    if (std::chrono::steady_clock::now() > deadline) return;
    loop.WaitForPost(20);
  }
}

}  // namespace qrv::testing
