#include "capture/capture_file.h"

#include <fcntl.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <cerrno>

namespace qrv::capture {
namespace {

// Past this many pictures in one second something else is wrong (a folder full of our names).
constexpr int kMaxNamesPerSecond = 1000;

bool WriteAll(int fd, const gchar* data, gsize size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<gsize>(n);
  }
  return true;
}

}  // namespace

std::string CaptureFileName(const LocalDateTime& time, int n) {
  g_autofree gchar* stamp = g_strdup_printf("%04d-%02d-%02d_%02d-%02d-%02d", time.year, time.month, time.day,
                                            time.hour, time.minute, time.second);
  std::string name = std::string("截图_") + stamp;
  if (n > 1) name += "_" + std::to_string(n);
  return name + ".png";
}

std::string PicturesFolder() {
  const gchar* pictures = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
  if (pictures != nullptr && pictures[0] != '\0') return pictures;
  return g_get_home_dir();
}

bool PlaceUnderNewName(const std::string& folder, const LocalDateTime& time,
                       const std::function<Placing(const std::string& path, std::string& error)>& place,
                       std::string& path, std::string& error) {
  if (g_mkdir_with_parents(folder.c_str(), 0755) != 0) {
    error = g_strerror(errno);
    return false;
  }
  for (int n = 1; n <= kMaxNamesPerSecond; ++n) {
    g_autofree gchar* candidate = g_build_filename(folder.c_str(), CaptureFileName(time, n).c_str(), nullptr);
    switch (place(candidate, error)) {
      case Placing::kDone:
        path = candidate;
        return true;
      case Placing::kFailed:
        return false;
      case Placing::kNameTaken:
        break;
    }
  }
  error = g_strerror(EEXIST);
  return false;
}

bool SavePng(GdkPixbuf* picture, const std::string& folder, const LocalDateTime& time, std::string& path,
             std::string& error) {
  g_autofree gchar* png = nullptr;
  gsize size = 0;
  g_autoptr(GError) encode_error = nullptr;
  if (!gdk_pixbuf_save_to_buffer(picture, &png, &size, "png", &encode_error, nullptr)) {
    error = encode_error->message;
    return false;
  }
  const auto write_new = [&](const std::string& candidate, std::string& why) {
    // O_EXCL makes taking the name and creating the file one step, so two pictures of the same
    // second never land in one file.
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) return Placing::kNameTaken;
      why = g_strerror(errno);
      return Placing::kFailed;
    }
    const bool written = WriteAll(fd, png, size);
    const int saved_errno = errno;
    if (close(fd) != 0 || !written) {
      why = g_strerror(written ? errno : saved_errno);
      g_unlink(candidate.c_str());
      return Placing::kFailed;
    }
    return Placing::kDone;
  };
  return PlaceUnderNewName(folder, time, write_new, path, error);
}

}  // namespace qrv::capture
