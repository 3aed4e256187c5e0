#include "tools/cache_cleaner.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/debug_sink.h"
#include "platform/message_core.h"

namespace qrv {
namespace {

constexpr int kSiteProgressCap = 45;
constexpr int kEngineCachesDone = 50;
constexpr int kFolderProgressStart = 50;
constexpr int kFolderProgressCap = 95;
constexpr int kAllDone = 100;

void Log(const char* format, const std::string& a) {
  char line[1024];
  std::snprintf(line, sizeof line, format, a.c_str());
  OutputDebugString(line);
}

bool IsKeptName(const std::string& name) { return g_ascii_strcasecmp(name.c_str(), "desktop.ini") == 0; }

// A directory held open while it is walked; every name below it is opened relative to it, so a
// name swapped for something else between two steps is never looked up along another path.
class OpenDirectory {
 public:
  OpenDirectory(int parent, const char* name)
      : fd_(openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) {}
  ~OpenDirectory() {
    if (fd_ >= 0) close(fd_);
  }
  OpenDirectory(const OpenDirectory&) = delete;
  OpenDirectory& operator=(const OpenDirectory&) = delete;

  int fd() const { return fd_; }
  bool is_open() const { return fd_ >= 0; }

  // The names in the directory but "." and "..", sorted; false when it cannot be listed. The
  // listing is read whole before anything is deleted, so deleting cannot disturb it.
  bool List(std::vector<std::string>& names) const {
    const int listing = dup(fd_);
    if (listing < 0) return false;
    DIR* dir = fdopendir(listing);
    if (dir == nullptr) {
      close(listing);
      return false;
    }
    rewinddir(dir);
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
  }

 private:
  int fd_;
};

void DeleteFile(int parent, const std::string& name) {
  if (unlinkat(parent, name.c_str(), 0) == 0) {
    Log("***********删除文件:%s成功******************\r\n", name);
    return;
  }
  const int error = errno;
  char line[1024];
  std::snprintf(line, sizeof line, "***********删除文件:%s失败，错误代码:%d******************\r\n",
                name.c_str(), error);
  OutputDebugString(line);
}

struct Walk {
  dev_t device;  // the cache folder's file system; the walk never leaves it
  const std::function<void(int)>& progress;
  const std::atomic<bool>& stop;
};

bool WalkOpenDirectory(const OpenDirectory& directory, const std::string& path, const Walk& walk);

// The directory entry `name` of `parent`: entered, emptied and removed when it is a directory of
// the cache's own file system, deleted when it is anything else (a link included).
void CleanEntry(int parent, const std::string& name, const std::string& path, const Walk& walk) {
  struct stat info {};
  if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode)) {
    DeleteFile(parent, name);
    return;
  }
  const OpenDirectory sub(parent, name.c_str());
  struct stat opened {};
  if (!sub.is_open() || fstat(sub.fd(), &opened) != 0) {
    // Swapped for a link or a file since it was looked at: removed as what it is now (a
    // directory that could not be opened stays, as removing it fails).
    DeleteFile(parent, name);
    return;
  }
  // Something mounted below the cache folder belongs to somebody else.
  if (opened.st_dev != walk.device) return;
  // A directory without write permission would keep its entries.
  if ((opened.st_mode & S_IWUSR) == 0) fchmod(sub.fd(), (opened.st_mode & 07777) | S_IWUSR);
  WalkOpenDirectory(sub, path + "/" + name, walk);
  // A directory that kept something (a desktop.ini, a file that could not go) stays.
  unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

// Whether the directory could be listed.
bool WalkOpenDirectory(const OpenDirectory& directory, const std::string& path, const Walk& walk) {
  Log("开始清理%s文件夹\r\n", path);
  std::vector<std::string> names;
  if (!directory.is_open() || !directory.List(names)) return false;
  int counter = kFolderProgressStart;
  for (const std::string& name : names) {
    if (walk.stop.load()) break;
    if (IsKeptName(name)) continue;
    // A read-only file needs no change first: removing a name takes write permission on the
    // directory only.
    CleanEntry(directory.fd(), name, path, walk);
    counter = std::min(counter + 1, kFolderProgressCap);
    walk.progress(counter);
  }
  return true;
}

}  // namespace

bool WalkCacheFolder(const std::string& folder, const std::function<void(int)>& progress,
                     const std::atomic<bool>& stop) {
  // The folder itself is not followed either when it is a link: a cache folder pointed elsewhere
  // (by mistake or by somebody else) is not emptied.
  const OpenDirectory root(AT_FDCWD, folder.c_str());
  struct stat info {};
  if (!root.is_open() || fstat(root.fd(), &info) != 0) {
    Log("开始清理%s文件夹\r\n", folder);
    return false;
  }
  return WalkOpenDirectory(root, folder, Walk{info.st_dev, progress, stop});
}

CacheCleanRun::CacheCleanRun(HWND window, UINT progress_msg, std::string folder)
    : window_(window), progress_msg_(progress_msg), folder_(std::move(folder)) {}

CacheCleanRun::~CacheCleanRun() { StopAndJoin(); }

std::shared_ptr<CacheCleanRun> CacheCleanRun::Start(HWND window, UINT progress_msg,
                                                    const CacheTargets& targets) {
  std::shared_ptr<CacheCleanRun> run(new CacheCleanRun(window, progress_msg, targets.cache_folder));
  if (!targets.clear_engine_caches) {
    run->OnEngineCachesCleared();
    return run;
  }
  // The engine answers later; a run that has gone by then hears nothing.
  const std::weak_ptr<CacheCleanRun> weak = run;
  targets.clear_engine_caches(
      [weak] {
        if (auto alive = weak.lock()) alive->OnSiteRemoved();
      },
      [weak] {
        if (auto alive = weak.lock()) alive->OnEngineCachesCleared();
      });
  return run;
}

void CacheCleanRun::Post(int value) const {
  PostMessage(window_, progress_msg_, static_cast<WPARAM>(value), 0);
}

void CacheCleanRun::OnSiteRemoved() {
  ++sites_removed_;
  Post(std::min(sites_removed_, kSiteProgressCap));
}

void CacheCleanRun::OnEngineCachesCleared() {
  if (sites_removed_ == 0) {
    OutputDebugString("*******第一次查找缓存:未找到缓存。************\r\n");
    OutputDebugString("*******第二次查找缓存:未找到缓存。************\r\n");
  } else {
    char line[128];
    std::snprintf(line, sizeof line, "*******第二次查找缓存:缓存大小为:%d。************\r\n", sites_removed_);
    OutputDebugString(line);
  }
  Post(kEngineCachesDone);
  if (folder_.empty() || stop_.load() || worker_.joinable()) {
    // Without a cache folder the run ends here, short of 100, as a cleaner that found no folder
    // of temporary files does.
    finished_ = true;
    return;
  }
  worker_ = std::thread([this] { Walk(); });
}

void CacheCleanRun::Walk() {
  // Only the folder, the stop flag and the window's handle are used here: the window object
  // belongs to the UI thread.
  Log("临时文件夹路径为:%s\r\n", folder_);
  // A link counts as there (and is then refused by the walk), even when it leads nowhere.
  const bool exists =
      g_file_test(folder_.c_str(), static_cast<GFileTest>(G_FILE_TEST_EXISTS | G_FILE_TEST_IS_SYMLINK));
  // An engine that never cached anything has no folder yet: there is nothing to empty.
  const bool listed = !exists || WalkCacheFolder(
                                     folder_, [this](int value) { Post(value); }, stop_);
  if (listed && !stop_.load()) Post(kAllDone);
  finished_ = true;
}

void CacheCleanRun::StopAndJoin() {
  stop_ = true;
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

}  // namespace qrv
