#pragma once
// What the message core needs from the event loop underneath it. The GTK back end runs on GLib's
// main loop with the real clock; the headless back end runs a virtual clock that tests advance.

#include <cstdint>

namespace qrv {

class LoopBackend {
 public:
  virtual ~LoopBackend() = default;

  // Milliseconds on the loop's clock (monotonic; virtual on the headless back end).
  virtual std::int64_t NowMs() const = 0;

  // Something was posted; arrange for MessageCore::DispatchPending to run soon on the UI thread.
  // Called from any thread.
  virtual void RequestDispatch() = 0;

  // The earliest timer is due at `due_ms` (or there is none, when negative). UI thread only.
  virtual void RequestWakeAt(std::int64_t due_ms) = 0;

  // Runs until Quit(). Returns after the loop has stopped.
  virtual void Run() = 0;
  virtual void Quit() = 0;
};

}  // namespace qrv
