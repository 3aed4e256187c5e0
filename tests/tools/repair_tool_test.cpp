// The cache cleaner: the progress numbers of a run over the engine's caches and a real folder (kept
// desktop.ini files in any letter case, read-only entries, links never followed, the folder itself
// included, 100 only after the whole walk), the window's faces, one run per window at a time, and
// each run reporting to the window that started it.

#include "tools/repair_tool.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/debug_sink.h"
#include "support/temp_dir.h"
#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text = "cached") { std::ofstream(path) << text; }

// Engine caches that are cleared only when the test says so, as the engine answers later.
struct PendingWebsiteData {
  CacheTargets::EntryRemoved site_cleared;
  CacheTargets::Finished done;
  int calls = 0;

  std::function<void(CacheTargets::EntryRemoved, CacheTargets::Finished)> Clearer() {
    return [this](CacheTargets::EntryRemoved cleared, CacheTargets::Finished finished) {
      ++calls;
      site_cleared = std::move(cleared);
      done = std::move(finished);
    };
  }
  void Finish(int sites) {
    for (int i = 0; i < sites; ++i) site_cleared();
    done();
  }
};

class RepairToolTest : public testing::ToolsWindowFixture {
 protected:
  // Pumps until `done` holds, waiting for the worker's posts (at most a few seconds).
  bool PumpUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (true) {
      loop_->Pump();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > until) return false;
      loop_->WaitForPost(50);
    }
  }
  std::vector<int> Progress(const testing::RecordingFrame& window) const {
    std::vector<int> values;
    for (const auto& r : window.received)
      if (r.msg == kMsgCleanProgress) values.push_back(static_cast<int>(r.wparam));
    return values;
  }
  CRepairTool* OpenCleaner(CacheTargets targets) {
    auto* cleaner = new CRepairTool(std::move(targets));
    if (cleaner->Create(frame_->hwnd(), "", kPopupStyle, 0, 100, 100, 0, 0) == nullptr) return nullptr;
    cleaner->paint_manager().UpdateLayout();
    return cleaner;
  }
  static bool Shown(CRepairTool* cleaner, const std::string& name) {
    CControlUI* control = cleaner->paint_manager().FindControl(name);
    return control != nullptr && control->IsVisible();
  }
  static void Click(CRepairTool* cleaner, const std::string& name) {
    testing::ClickNamed(cleaner->GetHWND(), cleaner->paint_manager(), name);
  }

  test::TempDir dir_;
};

TEST_F(RepairToolTest, TheFolderWalkKeepsDesktopIniMakesEntriesWritableAndNeverFollowsLinks) {
  const fs::path root = dir_.File("cache");
  const fs::path outside = dir_.File("elsewhere");
  fs::create_directories(root / "sub");
  fs::create_directories(root / "sub2");
  fs::create_directories(root / "sub3");
  fs::create_directories(outside);
  WriteFile(root / "a.txt");
  WriteFile(root / "Desktop.INI");
  WriteFile(root / "ro.txt");
  fs::permissions(root / "ro.txt", fs::perms::owner_read | fs::perms::group_read);
  WriteFile(root / "sub" / "b.txt");
  WriteFile(root / "sub" / "desktop.ini");
  WriteFile(root / "sub2" / "c.txt");
  fs::permissions(root / "sub2", fs::perms::owner_read | fs::perms::owner_exec);
  WriteFile(root / "sub3" / "DESKTOP.ini");
  fs::permissions(root / "sub3", fs::perms::owner_read | fs::perms::owner_exec);
  WriteFile(outside / "keep.txt");
  fs::create_directory_symlink(outside, root / "link");

  DebugCapture debug;
  std::vector<int> progress;
  std::atomic<bool> stop{false};
  ASSERT_TRUE(WalkCacheFolder(
      root.string(), [&](int value) { progress.push_back(value); }, stop));
  // In name order: Desktop.INI (kept, not counted), a.txt, link, ro.txt, sub (b.txt, its own
  // desktop.ini kept), sub2 (c.txt), sub3 (nothing but its DESKTOP.ini). Each directory counts
  // from 50 on its own.
  EXPECT_EQ(progress, (std::vector<int>{51, 52, 53, 51, 54, 51, 55, 56}));

  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    left.push_back(fs::relative(entry.path(), root).string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left,
            (std::vector<std::string>{"Desktop.INI", "sub", "sub/desktop.ini", "sub3", "sub3/DESKTOP.ini"}));
  // The link went, not what it pointed at.
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
  // A read-only directory that stays was made writable on the way.
  EXPECT_NE(fs::status(root / "sub3").permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_TRUE(debug.Contains("开始清理" + root.string() + "文件夹\r\n"));
  EXPECT_TRUE(debug.Contains("***********删除文件:a.txt成功******************\r\n"));

  // Within one directory the counter stops at 95.
  const fs::path many = dir_.File("many");
  fs::create_directories(many);
  for (int i = 0; i < 60; ++i) WriteFile(many / ("f" + std::to_string(100 + i)));
  progress.clear();
  ASSERT_TRUE(WalkCacheFolder(
      many.string(), [&](int value) { progress.push_back(value); }, stop));
  ASSERT_EQ(progress.size(), 60u);
  EXPECT_EQ(progress.front(), 51);
  EXPECT_EQ(progress[44], 95);
  EXPECT_EQ(progress.back(), 95);
  EXPECT_TRUE(fs::is_empty(many));

  EXPECT_FALSE(WalkCacheFolder(
      dir_.File("missing"), [&](int value) { progress.push_back(value); }, stop));

  // A cache folder that is itself a link is not listed, and what it leads to stays.
  fs::create_directory_symlink(outside, dir_.File("linked-cache"));
  progress.clear();
  EXPECT_FALSE(WalkCacheFolder(
      dir_.File("linked-cache"), [&](int value) { progress.push_back(value); }, stop));
  EXPECT_TRUE(progress.empty());
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
}

TEST_F(RepairToolTest, ARunCountsSitesToFortyFiveEndsThemAtFiftyAndReachesOneHundredOnlyAfterTheWalk) {
  const fs::path root = dir_.File("cache");
  fs::create_directories(root / "d");
  WriteFile(root / "one");
  WriteFile(root / "d" / "two");
  testing::RecordingFrame window;
  PendingWebsiteData data;
  auto run =
      CacheCleanRun::Start(window.hwnd(), kMsgCleanProgress, CacheTargets{data.Clearer(), root.string()});
  ASSERT_EQ(data.calls, 1);
  EXPECT_FALSE(run->finished());
  data.Finish(47);
  ASSERT_TRUE(PumpUntil(
      [&] { return run->finished() && !Progress(window).empty() && Progress(window).back() == 100; }));
  std::vector<int> expected;
  for (int i = 1; i <= 44; ++i) expected.push_back(i);
  expected.insert(expected.end(), {45, 45, 45, 50, 51, 51, 52, 100});
  EXPECT_EQ(Progress(window), expected);
  EXPECT_TRUE(fs::is_empty(root));

  // No website data at all (only cookies, which are never cleared): the phase still ends at 50.
  // Without a cache folder the run ends there.
  testing::RecordingFrame second;
  DebugCapture debug;
  PendingWebsiteData cookies_only;
  auto short_run =
      CacheCleanRun::Start(second.hwnd(), kMsgCleanProgress, CacheTargets{cookies_only.Clearer(), ""});
  cookies_only.Finish(0);
  loop_->Pump();
  EXPECT_TRUE(short_run->finished());
  EXPECT_EQ(Progress(second), (std::vector<int>{50}));
  EXPECT_TRUE(debug.Contains("*******第一次查找缓存:未找到缓存。************\r\n"));

  // A cache folder the engine never made is an empty cache.
  testing::RecordingFrame third;
  auto fresh = CacheCleanRun::Start(third.hwnd(), kMsgCleanProgress, CacheTargets{{}, dir_.File("not-yet")});
  ASSERT_TRUE(PumpUntil([&] { return fresh->finished() && Progress(third).size() == 2; }));
  EXPECT_EQ(Progress(third), (std::vector<int>{50, 100}));
}

TEST_F(RepairToolTest, TheWindowGoesFromIdleToRunningToFinishedAndStartsNoSecondRunWhileOneGoes) {
  const fs::path root = dir_.File("cache");
  fs::create_directories(root);
  WriteFile(root / "entry");
  PendingWebsiteData data;
  CRepairTool* cleaner = OpenCleaner(CacheTargets{data.Clearer(), root.string()});
  ASSERT_NE(cleaner, nullptr);
  const HWND hwnd = cleaner->GetHWND();
  EXPECT_EQ(cleaner->GetWindowClassName(), "UIRepairToolFrame");
  for (const char* name : {"tishi1", "tishi2", "tishi3", "bnok", "bncanel"})
    EXPECT_TRUE(Shown(cleaner, name)) << name;
  EXPECT_FALSE(Shown(cleaner, "ProgressUI1"));
  EXPECT_FALSE(Shown(cleaner, "bnok1"));
  SaveRendering(cleaner->paint_manager(), "cache-cleaner.png");

  Click(cleaner, "bnok");
  EXPECT_EQ(data.calls, 1);
  EXPECT_TRUE(cleaner->running());
  for (const char* name : {"tishi1", "tishi2", "tishi3", "bnok", "bncanel"})
    EXPECT_FALSE(Shown(cleaner, name)) << name;

  // Shown again while the run goes on: reset to idle, and "bnok" starts nothing new but shows
  // the run's progress at once, while the engine still works on its caches.
  cleaner->Reset();
  EXPECT_TRUE(Shown(cleaner, "bnok"));
  EXPECT_FALSE(Shown(cleaner, "ProgressUI1"));
  Click(cleaner, "bnok");
  EXPECT_EQ(data.calls, 1);
  EXPECT_FALSE(Shown(cleaner, "tishi1"));
  EXPECT_TRUE(Shown(cleaner, "ProgressUI1")) << "no empty window";

  data.Finish(3);
  loop_->Pump();
  EXPECT_TRUE(Shown(cleaner, "ProgressUI1"));
  ASSERT_TRUE(PumpUntil([&] { return cleaner->finished(); }));
  auto* bar = static_cast<CProgressUI*>(cleaner->paint_manager().FindControl("ProgressUI1"));
  EXPECT_EQ(bar->GetValue(), 100);
  EXPECT_EQ(bar->GetMaxValue(), 100);
  EXPECT_EQ(cleaner->paint_manager().FindControl("TextUI1")->GetText(), "清理完成");
  EXPECT_TRUE(Shown(cleaner, "bnok1"));
  EXPECT_TRUE(fs::is_empty(root));
  SaveRendering(cleaner->paint_manager(), "cache-cleaner-done.png");

  Click(cleaner, "bnok1");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  cleaner->Reset();
  EXPECT_EQ(cleaner->paint_manager().FindControl("TextUI1")->GetText(), "");
  EXPECT_FALSE(Shown(cleaner, "ProgressUI1"));
  // An ended run makes way for a new one.
  Click(cleaner, "bnok");
  EXPECT_EQ(data.calls, 2);

  // The window goes while its run waits for the engine: the engine's late answer reaches nobody,
  // and no walk starts over the folder.
  WriteFile(root / "late");
  DestroyWindow(hwnd);
  DebugCapture debug;
  data.Finish(2);
  loop_->Pump();
  EXPECT_FALSE(debug.Contains("缓存大小为"));
  EXPECT_FALSE(debug.Contains("临时文件夹路径为"));
  EXPECT_TRUE(fs::exists(root / "late"));
}

TEST_F(RepairToolTest, EachRunReportsToTheWindowThatStartedIt) {
  const fs::path root = dir_.File("cache");
  fs::create_directories(root);
  for (int i = 0; i < 5; ++i) WriteFile(root / ("e" + std::to_string(i)));
  CRepairTool* first = OpenCleaner(CacheTargets{{}, root.string()});
  ASSERT_NE(first, nullptr);
  // A second cleaner made after the first (the panel's and the frame's) stays idle while the first
  // one's run goes on.
  CRepairTool* second = OpenCleaner(CacheTargets{{}, dir_.File("other")});
  ASSERT_NE(second, nullptr);
  Click(first, "bnok");
  ASSERT_TRUE(PumpUntil([&] { return first->finished(); }));
  EXPECT_EQ(first->progress(), 100);
  EXPECT_EQ(second->progress(), 0);
  EXPECT_FALSE(second->finished());
  EXPECT_FALSE(Shown(second, "ProgressUI1"));
  EXPECT_TRUE(Shown(second, "tishi1"));
}

}  // namespace
}  // namespace qrv
