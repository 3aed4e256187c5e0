#include "platform/profile_file.h"

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>

#include "platform/profile_parse.h"

namespace qrv {
namespace {

struct GFreeDeleter {
  void operator()(gchar* data) const { g_free(data); }
};

// One whole profile file in memory. Settings files are small; a huge or corrupt one costs one read
// and one linear scan per access, which keeps every lookup bounded by the file's size.
class LoadedFile {
 public:
  enum class State { kLoaded, kMissing, kUnreadable };

  explicit LoadedFile(const std::string& path) {
    gchar* data = nullptr;
    gsize length = 0;
    g_autoptr(GError) error = nullptr;
    if (!g_file_get_contents(path.c_str(), &data, &length, &error)) {
      state_ =
          g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT) ? State::kMissing : State::kUnreadable;
      return;
    }
    data_.reset(data);
    length_ = length;
    state_ = State::kLoaded;
  }

  State state() const { return state_; }
  std::string_view text() const {
    return data_ ? std::string_view(data_.get(), length_) : std::string_view();
  }

 private:
  std::unique_ptr<gchar, GFreeDeleter> data_;
  std::size_t length_ = 0;
  State state_ = State::kMissing;
};

// The value of the key, or nothing when the file, the section or the key is missing.
std::optional<std::string_view> FindValue(const LoadedFile& file, std::string_view section,
                                          std::string_view key) {
  if (file.state() != LoadedFile::State::kLoaded) return std::nullopt;
  const profile::KeyLocation location = profile::LocateKey(file.text(), section, key);
  if (!location.key) return std::nullopt;
  return location.key->value;
}

bool HasLineBreakOrZero(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A name or value that would not read back as itself is refused rather than written: a line break
// in a value (the remembered password is stored scrambled and can hold any byte) would otherwise
// inject lines of its own into the file, and a "]" or "=" in a name would split differently.
bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || key.empty()) return false;
  if (HasLineBreakOrZero(section) || HasLineBreakOrZero(key) || HasLineBreakOrZero(value)) return false;
  if (section.find(']') != std::string_view::npos) return false;
  if (key.find('=') != std::string_view::npos) return false;
  const char first = key.front();
  return first != '[' && first != ';' && first != '#';
}

// A settings file that is a symbolic link (to share it between installations) is written where the
// link points; replacing it by rename would otherwise turn the link into a plain file.
std::string WriteTarget(const std::string& path) {
  GStatBuf link_info;
  if (g_lstat(path.c_str(), &link_info) != 0 || !S_ISLNK(link_info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

// Whether only the owner may read or write the file.
bool IsPrivate(const std::string& path) {
  GStatBuf info;
  return g_stat(path.c_str(), &info) == 0 && (info.st_mode & 077) == 0;
}

// The rename is durable only once the folder's entry is on disk too.
void SyncFolderOf(const std::string& path) {
  g_autofree gchar* folder = g_path_get_dirname(path.c_str());
  const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::string& path) {
  try {
    const LoadedFile file(path);
    const auto value = FindValue(file, section, key);
    // "key=" with nothing after it reads as missing: the default.
    if (!value || value->empty()) return default_value;
    return profile::ParseLeadingInt(*value);
  } catch (const std::exception&) {
    return default_value;
  }
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& path,
                                    std::size_t buffer_size) {
  try {
    const LoadedFile file(path);
    const auto value = FindValue(file, section, key);
    return std::string(profile::CutToBuffer(value ? *value : default_value, buffer_size));
  } catch (const std::exception&) {
    return std::string();
  }
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path) {
  try {
    section = profile::TrimBlanks(section);
    key = profile::TrimBlanks(key);
    if (!IsWritable(section, key, value)) return false;
    const std::string target = WriteTarget(path);
    if (target.empty()) return false;

    // A file that exists but cannot be read must not be replaced by one holding only this key.
    const LoadedFile file(target);
    if (file.state() == LoadedFile::State::kUnreadable) return false;
    const bool existed = file.state() == LoadedFile::State::kLoaded;
    // A settings file made read-only (to lock the options) stays as it is: the rename below
    // would otherwise replace it regardless of its mode.
    if (existed && g_access(target.c_str(), W_OK) != 0) return false;
    const std::string updated = profile::WithKeyValue(file.text(), section, key, value);
    // Nothing changes: the file is left as it is, unless others may read it (then it is written
    // anew below, as the player's own).
    if (existed && updated == file.text() && IsPrivate(target)) return true;

    // The file is replaced by rename from a temporary file in the same folder, which is synced
    // first: readers in this or another process see the old file or the new one, never a part.
    // The file may hold the remembered login, so the new one is the player's alone whatever mode
    // the old one had (made by hand, copied from elsewhere, left by an older version).
    g_autoptr(GError) error = nullptr;
    if (!g_file_set_contents_full(
            target.c_str(), updated.data(), static_cast<gssize>(updated.size()),
            static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT | G_FILE_SET_CONTENTS_DURABLE),
            kPrivateFileMode, &error)) {
      return false;
    }
    SyncFolderOf(target);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace qrv
