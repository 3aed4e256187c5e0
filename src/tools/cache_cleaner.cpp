#include "tools/cache_cleaner.h"

#include <dirent.h>
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
constexpr int kWebsiteDataDone = 50;
constexpr int kFolderProgressStart = 50;
constexpr int kFolderProgressCap = 95;
constexpr int kAllDone = 100;

void Log(const char* format, const std::string& a) {
  char line[1024];
  std::snprintf(line, sizeof line, format, a.c_str());
  OutputDebugString(line);
}

bool IsKeptName(const std::string& name) { return g_ascii_strcasecmp(name.c_str(), "desktop.ini") == 0; }

// The names in `path` but "." and "..", sorted; false when it cannot be listed. The listing is
// read whole before anything is deleted, so deleting cannot disturb it.
bool ListDirectory(const std::string& path, std::vector<std::string>& names) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return true;
}

void DeleteFile(const std::string& full, const std::string& name) {
  if (unlink(full.c_str()) == 0) {
    Log("***********删除文件:%s成功******************\r\n", name);
    return;
  }
  const int error = errno;
  char line[1024];
  std::snprintf(line, sizeof line, "***********删除文件:%s失败，错误代码:%d******************\r\n",
                name.c_str(), error);
  OutputDebugString(line);
}

bool WalkDirectory(const std::string& path, const std::function<void(int)>& progress,
                   const std::atomic<bool>& stop) {
  Log("开始清理%s文件夹\r\n", path);
  std::vector<std::string> names;
  if (!ListDirectory(path, names)) return false;
  int counter = kFolderProgressStart;
  for (const std::string& name : names) {
    if (stop.load()) break;
    if (IsKeptName(name)) continue;
    const std::string full = path + "/" + name;
    struct stat info {};
    const bool known = lstat(full.c_str(), &info) == 0;
    const bool is_link = known && S_ISLNK(info.st_mode);
    // A read-only file or directory is made writable first (a directory without write
    // permission keeps its entries). A link's own mode means nothing and is left alone.
    if (known && !is_link && (info.st_mode & S_IWUSR) == 0)
      chmod(full.c_str(), (info.st_mode & 07777) | S_IWUSR);
    if (known && S_ISDIR(info.st_mode)) {
      WalkDirectory(full, progress, stop);
      // A directory that kept something (a desktop.ini, a file that could not go) stays.
      rmdir(full.c_str());
    } else {
      DeleteFile(full, name);
    }
    counter = std::min(counter + 1, kFolderProgressCap);
    progress(counter);
  }
  return true;
}

}  // namespace

bool WalkCacheFolder(const std::string& folder, const std::function<void(int)>& progress,
                     const std::atomic<bool>& stop) {
  return WalkDirectory(folder, progress, stop);
}

CacheCleanRun::CacheCleanRun(HWND window, UINT progress_msg, std::string folder)
    : window_(window), progress_msg_(progress_msg), folder_(std::move(folder)) {}

CacheCleanRun::~CacheCleanRun() { StopAndJoin(); }

std::shared_ptr<CacheCleanRun> CacheCleanRun::Start(HWND window, UINT progress_msg,
                                                    const CacheTargets& targets) {
  std::shared_ptr<CacheCleanRun> run(new CacheCleanRun(window, progress_msg, targets.cache_folder));
  if (!targets.clear_website_data) {
    run->OnWebsiteDataCleared();
    return run;
  }
  // The engine answers later; a run that has gone by then hears nothing.
  const std::weak_ptr<CacheCleanRun> weak = run;
  targets.clear_website_data(
      [weak] {
        if (auto alive = weak.lock()) alive->OnSiteRemoved();
      },
      [weak] {
        if (auto alive = weak.lock()) alive->OnWebsiteDataCleared();
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

void CacheCleanRun::OnWebsiteDataCleared() {
  if (sites_removed_ == 0) {
    OutputDebugString("*******第一次查找缓存:未找到缓存。************\r\n");
    OutputDebugString("*******第二次查找缓存:未找到缓存。************\r\n");
  } else {
    char line[128];
    std::snprintf(line, sizeof line, "*******第二次查找缓存:缓存大小为:%d。************\r\n", sites_removed_);
    OutputDebugString(line);
  }
  Post(kWebsiteDataDone);
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
  const bool exists = g_file_test(folder_.c_str(), G_FILE_TEST_EXISTS);
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
