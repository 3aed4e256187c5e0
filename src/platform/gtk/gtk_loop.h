#pragma once
// The message core on GLib's default main context, the loop GTK runs on.
//
// Design. Two GSources of our own carry the core onto the context: a dispatch source made ready
// when something is posted (from any thread: g_source_set_ready_time wakes the context), and a
// timer source whose ready time is the earliest window timer. Both call
// MessageCore::DispatchPending. Being one source each, requests coalesce: a thousand posts from a
// worker wake the loop once. Run and the modal loops are GMainLoops on the same context, kept on a
// stack so that the quit message stops every level.

#include <glib.h>

#include <cstdint>
#include <vector>

#include "platform/loop_backend.h"

namespace qrv {

class GtkLoop final : public LoopBackend {
 public:
  GtkLoop();
  ~GtkLoop() override;
  GtkLoop(const GtkLoop&) = delete;
  GtkLoop& operator=(const GtkLoop&) = delete;

  // Installs a GtkLoop into the message core and returns it (owned by the core).
  static GtkLoop& Install();
  // The installed GtkLoop, or null when the core runs on another back end.
  static GtkLoop* Current();

  std::int64_t NowMs() const override;
  void RequestDispatch() override;
  void RequestWakeAt(std::int64_t due_ms) override;
  void Run() override;
  void Quit() override;

  // Runs `loop` nested inside whatever runs now, until it is quit or the quit message arrives.
  // Returns false when it did not run because the quit message had already arrived.
  bool RunNested(GMainLoop* loop);

 private:
  GSource* dispatch_source_;
  GSource* timer_source_;
  std::vector<GMainLoop*> running_;
};

}  // namespace qrv
