#pragma once
// A request lane: one worker thread that runs the requests given to it one after another, in the
// order they were given, so no window ever waits for the network. A result comes back to its
// asker through a ReplyPort and runs on the UI thread; an asker that has gone by then gets
// nothing.
//
// The program keeps a lane for the platform's requests (their order matters to the platform: the
// login before the server list before the profile) and one for the statistics beacon (its events
// in the order of the clicks, on one kept-alive connection). A lane stopping (the program ends)
// drops what is still queued and has the request under way give up.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/reply_port.h"

namespace qrv {

class RequestLane {
 public:
  RequestLane();
  ~RequestLane();
  RequestLane(const RequestLane&) = delete;
  RequestLane& operator=(const RequestLane&) = delete;

  // Runs `work` on the lane's thread after everything given before it.
  void Run(std::function<void()> work);

  // Runs `work` on the lane's thread, then `reply` with its result on the UI thread through
  // `port` (nothing when the port has gone by then). `port` must be alive when Run is called.
  template <class T>
  void Run(std::function<T()> work, const ReplyPort& port, std::function<void(T)> reply) {
    Run([work = std::move(work), port = port.handle(), reply = std::move(reply)]() mutable {
      T result = work();
      ReplyPort::Post(port, [reply = std::move(reply), result = std::move(result)]() mutable {
        reply(std::move(result));
      });
    });
  }

  // Whether this lane has work queued or running.
  bool Busy() const;
  // Waits until the lane has nothing queued or running, at most `limit`; whether it has.
  bool WaitIdle(std::chrono::milliseconds limit) const;
  // Whether any lane of the process has (for tests that wait until the network is done).
  static bool AnyBusy();
  // Whether the lane whose thread calls this is stopping: a request under way then gives up
  // (WebClient asks while it transfers). False on any other thread.
  static bool StoppingOnThisThread();

 private:
  void Loop();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  mutable std::condition_variable idle_;
  std::deque<std::function<void()>> queue_;
  bool running_ = false;
  bool stopping_ = false;
  std::atomic<bool> cancel_{false};
  std::thread worker_;
};

}  // namespace qrv
