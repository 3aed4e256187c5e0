// The real program under Xvfb against the simulator, from the More panel: the boss key changed
// in the settings window with real key presses, the start-with-the-session entry switched off,
// and the cache cleaner emptying the web engine's cache folder while the player stays logged in and
// the game keeps what it stored in the browser's local storage.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {
namespace {

namespace fs = std::filesystem;
using sim::testing::EntriesWithEvent;

// Regular files below `folder` (any depth), but desktop.ini in any letter case.
std::vector<std::string> FilesBelow(const fs::path& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  if (!fs::exists(folder, ec)) return files;
  for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (ec) break;
    std::string name = it->path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (it->is_regular_file(ec) && name != "desktop.ini") files.push_back(it->path().string());
  }
  return files;
}

// Whether a colour on screen ("RRGGBB") is the gold of the skin's buttons.
bool IsGold(const std::string& rgb) {
  if (rgb.size() != 6) return false;
  const auto channel = [&](std::size_t i) { return std::stoi(rgb.substr(i * 2, 2), nullptr, 16); };
  return channel(0) > 150 && channel(1) > 100 && channel(2) < 120;
}

class MoreE2eTest : public LauncherTest {};

TEST_F(MoreE2eTest, BossKeyFromTheSettingsWindowAutostartOffAndTheCacheCleanedWhileLoggedIn) {
  ASSERT_NO_FATAL_FAILURE(StartLoggedIn("autorun=1\nexit=1\n"));
  auto& automation = launcher_->automation();
  EXPECT_TRUE(FileExists(launcher_->autostart_entry()));

  ASSERT_NO_FATAL_FAILURE(OpenRecommendedServer());
  ASSERT_TRUE(WaitFor([&] { return GamePagesWithSession("qrv44") >= 1; })) << launcher_->output();

  // The More panel opens below its button, and its settings entry opens the settings window.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnmore").ok());
  ASSERT_NE(automation.WaitForWindow("UIMore", 20000), 0);
  ASSERT_TRUE(WaitFor([&] { return VisibleWindowRect(automation, "UIMore")[2] > 0; }))
      << automation.Windows().line();
  const auto settings_click = automation.Click("UIMore", "bnset");
  ASSERT_TRUE(settings_click.ok()) << settings_click.line() << "\n" << automation.Windows().line();
  ASSERT_NE(automation.WaitForWindow("UIClockList", 20000), 0);
  ASSERT_TRUE(automation.Click("UIClockList", "bnrj").ok());
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UIClockList", "edbosskey").Bool("visible"); }));
  EXPECT_EQ(ControlText("UIClockList", "edbosskey"), "ALT+Q");
  EXPECT_EQ(ControlText("UIClockList", "edcapkey"), "ALT+A");

  const Rect rect = WindowRect(automation, "UIClockList");
  ASSERT_GT(rect[2], rect[0]);
  // The window on the screen shows its skin: its gold "确定" button, where the frame below it has
  // none.
  EXPECT_TRUE(WaitFor([&] { return IsGold(ScreenColor(rect[0] + 250, rect[1] + 336)); }, 10000))
      << ScreenColor(rect[0] + 250, rect[1] + 336);

  // The player clicks into the boss-key field and presses Ctrl+Shift+K on the keyboard.
  const int field_x = rect[0] + (263 + 438) / 2;
  const int field_y = rect[1] + (162 + 177) / 2;
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(field_x) + " " + std::to_string(field_y) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UIClockList", "edbosskey").Bool("focused"); }, 10000));
  ASSERT_TRUE(Xdotool("key ctrl+shift+k"));
  ASSERT_TRUE(WaitFor([&] { return ControlText("UIClockList", "edbosskey") == "CTRL+SHIFT+K"; }, 10000))
      << ControlText("UIClockList", "edbosskey");
  ASSERT_TRUE(automation.Click("UIClockList", "bnok").ok());
  ASSERT_TRUE(WaitFor([&] { return !WindowVisible("UIClockList"); }));
  EXPECT_NE(launcher_->ReadSettings().find("boss=CTRL+SHIFT+K"), std::string::npos)
      << launcher_->ReadSettings();
  EXPECT_NE(launcher_->ReadSettings().find("cap=ALT+A"), std::string::npos) << launcher_->ReadSettings();
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& code : StatCodes())
      if (code == "200011") return true;
    return false;
  }));

  // Ctrl+Shift+K is the boss key now: it hides the frame and shows it again.
  ASSERT_TRUE(WindowVisible("UIMainFrame"));
  ASSERT_TRUE(Xdotool("key ctrl+shift+k"));
  ASSERT_TRUE(WaitFor([&] { return !WindowVisible("UIMainFrame"); }, 10000));
  EXPECT_FALSE(WindowVisible("UIMore"));
  ASSERT_TRUE(Xdotool("key ctrl+shift+k"));
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIMainFrame"); }, 10000));
  // Alt+Q no longer does anything: a boss key still held would hide the frame within moments.
  ASSERT_TRUE(Xdotool("key alt+q"));
  EXPECT_FALSE(WaitFor([&] { return !WindowVisible("UIMainFrame"); }, 1500));
  ASSERT_TRUE(Xdotool("key ctrl+shift+k"));
  ASSERT_TRUE(WaitFor([&] { return !WindowVisible("UIMainFrame"); }, 10000));
  ASSERT_TRUE(Xdotool("key ctrl+shift+k"));
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIMainFrame"); }, 10000));

  // Start with the session, cleared and saved on the general page: the entry is gone.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnmore").ok());
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIMore"); }));
  ASSERT_TRUE(automation.Click("UIMore", "bnset").ok());
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIClockList"); }));
  ASSERT_TRUE(automation.Control("UIClockList", "opautorun").Bool("selected"));
  ASSERT_TRUE(automation.Click("UIClockList", "opautorun").ok());
  ASSERT_FALSE(automation.Control("UIClockList", "opautorun").Bool("selected"));
  ASSERT_TRUE(automation.Click("UIClockList", "bnok").ok());
  // The window hides once the page is saved.
  ASSERT_TRUE(WaitFor([&] { return !WindowVisible("UIClockList"); }));
  EXPECT_FALSE(FileExists(launcher_->autostart_entry()));
  EXPECT_NE(launcher_->ReadSettings().find("autorun=0"), std::string::npos) << launcher_->ReadSettings();

  // The game page has filled the engine's cache folder; the player's own leftovers lie there too.
  const fs::path cache = launcher_->program_folder() + "/data/webkit-cache";
  fs::create_directories(cache / "leftovers" / "deep");
  std::ofstream(cache / "leftovers" / "deep" / "old.bin") << "old";
  std::ofstream(cache / "readonly.bin") << "old";
  fs::permissions(cache / "readonly.bin", fs::perms::owner_read);
  std::ofstream(cache / "Desktop.ini") << "[.ShellClassInfo]";
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& file : FilesBelow(cache))
      if (file.find("/WebKitCache/") != std::string::npos) return true;
    return false;
  }));
  const int pages_before = GamePagesWithSession("qrv44");
  // The game page keeps its settings in local storage (its first visit stored them).
  ASSERT_TRUE(WaitFor([&] { return !EntriesWithEvent(*sim_, "game_storage").empty(); }));
  const std::string settings = EntriesWithEvent(*sim_, "game_storage").front().Field("kept");
  ASSERT_FALSE(settings.empty());
  const std::size_t storage_reports = EntriesWithEvent(*sim_, "game_storage").size();

  ASSERT_TRUE(automation.Click("UIMainFrame", "clearcache").ok());
  ASSERT_NE(automation.WaitForWindow("UIRepairToolFrame", 20000), 0);
  ASSERT_TRUE(automation.Click("UIRepairToolFrame", "bnok").ok());
  ASSERT_TRUE(WaitFor([&] { return ControlText("UIRepairToolFrame", "TextUI1") == "清理完成"; }, 60000))
      << launcher_->output();
  EXPECT_TRUE(automation.Control("UIRepairToolFrame", "bnok1").Bool("visible"));
  const auto left = FilesBelow(cache);
  EXPECT_TRUE(left.empty()) << left.front();
  EXPECT_TRUE(fs::exists(cache / "Desktop.ini"));
  EXPECT_FALSE(fs::exists(cache / "leftovers"));

  // The player is still logged in: the next game page carries the session.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnrefresh").ok());
  EXPECT_TRUE(WaitFor([&] { return GamePagesWithSession("qrv44") > pages_before; })) << launcher_->output();
  EXPECT_EQ(EntriesWithEvent(*sim_, "login_ok").size(), 1u);  // no second login was needed
  // The cleaner cleared caches only: the reloaded game finds the settings it stored.
  ASSERT_TRUE(WaitFor([&] { return EntriesWithEvent(*sim_, "game_storage").size() > storage_reports; }))
      << launcher_->output();
  EXPECT_EQ(EntriesWithEvent(*sim_, "game_storage").back().Field("found"), settings);
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
