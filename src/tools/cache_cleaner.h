#pragma once
// The cache cleaner's work, apart from its window: one clean-up run over the web engine's caches.
//
//   1. The engine's caches (memory and disk caches, the offline application cache; never what a
//      page stored on purpose, nor the cookies, so the player stays logged in and the game keeps
//      its settings), cleared by the engine on the UI thread. Each site's cache removed raises the
//      progress by one, 1 to 44 and then 45 for every further site; the phase ends at 50.
//   2. The engine's disk-cache folder, walked on a worker thread (WalkCacheFolder): progress 51 to
//      95 per entry within each directory, 100 once the whole walk has ended.
//
// Progress goes to the window that started the run, as `progress_msg` with the value in wparam;
// nothing else of the window is touched, and posts to a window that has gone are dropped. The
// run's owner stops it (at the next entry) and waits for its worker before the run is destroyed.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/types.h"

namespace qrv {

struct CacheTargets {
  using EntryRemoved = std::function<void()>;
  using Finished = std::function<void()>;
  // Clears the engine's caches; calls `entry_removed` once per site whose cache was removed and
  // then `finished`, on the UI thread (later, or at once). Empty: the engine caches nothing.
  std::function<void(EntryRemoved entry_removed, Finished finished)> clear_engine_caches;
  // The engine's disk-cache folder. Empty: there is none to walk, and the run ends at 50.
  std::string cache_folder;
};

// Empties `folder` below itself: every entry but "desktop.ini" (in any letter case) is deleted; a
// directory is walked the same way (made writable first when it was not) and then removed when it
// became empty. Symbolic links are removed, never followed: not `folder` itself (a link there is
// not listed), and not an entry swapped for a link while the walk runs, since every step opens
// names relative to the directory it holds open and refuses links. A directory on another file
// system (something mounted below the cache) is neither entered nor removed. Within each
// directory the progress counter starts at 50 and rises by one per entry to at most 95, each value
// reported to `progress`. Stops at the next entry once `stop` is set. Returns whether `folder`
// could be listed.
bool WalkCacheFolder(const std::string& folder, const std::function<void(int)>& progress,
                     const std::atomic<bool>& stop);

class CacheCleanRun {
 public:
  // Starts a run for `window`. Phase 1 starts at once; phase 2 follows on a worker thread.
  static std::shared_ptr<CacheCleanRun> Start(HWND window, UINT progress_msg, const CacheTargets& targets);
  ~CacheCleanRun();  // stops and joins the worker
  CacheCleanRun(const CacheCleanRun&) = delete;
  CacheCleanRun& operator=(const CacheCleanRun&) = delete;

  // Whether the run has done all it will do (also when it ended early).
  bool finished() const { return finished_.load(); }
  // Asks the walk to stop at its next entry and waits for the worker.
  void StopAndJoin();

 private:
  CacheCleanRun(HWND window, UINT progress_msg, std::string folder);
  void Post(int value) const;
  void OnSiteRemoved();
  void OnEngineCachesCleared();
  void Walk();

  const HWND window_;
  const UINT progress_msg_;
  const std::string folder_;
  int sites_removed_ = 0;  // UI thread only
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread worker_;
};

}  // namespace qrv
