#include "capture/capture_lock.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace qrv::capture {

CaptureLock::CaptureLock(std::string folder) {
  if (folder.empty()) folder = g_get_user_runtime_dir();
  g_autofree gchar* path = g_build_filename(folder.c_str(), "zelto_qrv-ScreenCap.lock", nullptr);
  path_ = path;
}

CaptureLock::~CaptureLock() { Release(); }

bool CaptureLock::TryAcquire() {
  if (fd_ >= 0) return true;
  const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::fprintf(stderr, "ScreenCap: %s: %s\n", path_.c_str(), g_strerror(errno));
    return true;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void CaptureLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor of the open file ends its lock.
  close(fd_);
  fd_ = -1;
}

}  // namespace qrv::capture
