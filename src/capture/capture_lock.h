#pragma once
// One capture at a time for the player: the scissors and the capture hotkey each start a new
// companion, and one started while a capture is open must leave the open one alone. The lock is
// an advisory lock (flock) on a file in the player's runtime folder; the system drops it when the
// process ends, however it ends, so a crashed capture never blocks the next.

#include <string>

namespace qrv::capture {

class CaptureLock {
 public:
  // The lock file of this program in `folder` (the user's runtime folder by default).
  explicit CaptureLock(std::string folder = {});
  ~CaptureLock();
  CaptureLock(const CaptureLock&) = delete;
  CaptureLock& operator=(const CaptureLock&) = delete;

  // Takes the lock without waiting; false when another capture holds it (or the file cannot be
  // made, which is reported on standard error and lets the capture go ahead: a missing runtime
  // folder must not make the scissors useless).
  bool TryAcquire();
  // Lets the next capture start while this process still serves the clipboard.
  void Release();

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace qrv::capture
