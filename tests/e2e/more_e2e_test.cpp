// The real program under Xvfb against the simulator, from the More panel: the boss key changed
// in the settings window with real key presses, the start-with-the-session entry switched off,
// and the cache cleaner emptying the web engine's cache folder while the player stays logged in and
// the game keeps what it stored in the browser's local storage.

#include <gtest/gtest.h>
#include <json-glib/json-glib.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {
namespace {

namespace fs = std::filesystem;
using sim::testing::EntriesWithEvent;

bool WaitFor(const std::function<bool()>& done, int timeout_ms = 30000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

bool Xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

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

class MoreE2eTest : public LauncherTest {
 protected:
  // How often the game page of `code` was asked for with the session cookie of the last login.
  int GamePagesWithSession(const std::string& code) const {
    const auto logins = EntriesWithEvent(*sim_, "login_ok");
    if (logins.empty()) return 0;
    const std::string cookie = "PHPSESSID=" + logins.back().Field("session");
    const std::string path = "\"path\":\"/joinGame/code/" + code + "/gamebarhide/1/\"";
    int count = 0;
    for (const auto& line : sim_->LogLines())
      if (line.find(path) != std::string::npos && line.find(cookie) != std::string::npos) ++count;
    return count;
  }

  // The visible flag and screen rectangle of the first window of class `cls`.
  bool WindowState(const std::string& cls, bool* visible, int rect[4]) {
    const auto answer = launcher_->automation().Windows();
    JsonObject* root = answer.object();
    if (root == nullptr || !json_object_has_member(root, "windows")) return false;
    JsonArray* windows = json_object_get_array_member(root, "windows");
    for (guint i = 0; i < json_array_get_length(windows); ++i) {
      JsonObject* window = json_array_get_object_element(windows, i);
      if (cls != json_object_get_string_member(window, "class")) continue;
      *visible = json_object_get_boolean_member(window, "visible");
      JsonArray* r = json_object_get_array_member(window, "rect");
      for (guint k = 0; k < 4; ++k) rect[k] = static_cast<int>(json_array_get_int_element(r, k));
      return true;
    }
    return false;
  }
  bool WindowVisible(const std::string& cls) {
    bool visible = false;
    int rect[4] = {};
    return WindowState(cls, &visible, rect) && visible;
  }
  // The colour of the screen's pixel at (x, y), as red, green and blue; all -1 when unknown.
  std::array<int, 3> PixelOnScreen(int x, int y) {
    const std::string shot = dir_.path() + "/screen.png";
    const std::string out = dir_.path() + "/pixel.txt";
    const std::string command = "import -window root " + shot + " && convert " + shot +
                                " -format '%[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
                                "}.r)] %[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
                                "}.g)] %[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
                                "}.b)]' info: > " + out;
    std::array<int, 3> rgb{-1, -1, -1};
    if (std::system(command.c_str()) != 0) return rgb;
    std::ifstream(out) >> rgb[0] >> rgb[1] >> rgb[2];
    return rgb;
  }
  static bool IsGold(const std::array<int, 3>& rgb) { return rgb[0] > 150 && rgb[1] > 100 && rgb[2] < 120; }
  std::string ControlText(const std::string& cls, const std::string& name) {
    return launcher_->automation().Control(cls, name).String("text");
  }
};

TEST_F(MoreE2eTest, BossKeyFromTheSettingsWindowAutostartOffAndTheCacheCleanedWhileLoggedIn) {
  launcher_->WriteSettings(
      "[ShellLink]\nhas=2\n[Runset]\nautologin=1\nautorun=1\nexit=1\n[Update]\nnote=1\nversion=" +
      Scrambled("qrvtest") + "\ncheckcode=" + Scrambled("abc123456") + "\n");
  std::string error;
  ASSERT_TRUE(launcher_->Start(error)) << error;
  auto& automation = launcher_->automation();
  ASSERT_NE(automation.WaitForWindow("UILogIn", 30000), 0) << launcher_->output();
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UILogIn", "bntuijian").Bool("visible"); }));
  EXPECT_TRUE(FileExists(launcher_->autostart_entry()));

  ASSERT_TRUE(automation.Click("UILogIn", "bntuijian").ok());
  ASSERT_NE(automation.WaitForWindow("UIMainFrame", 30000), 0) << launcher_->output();
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

  bool visible = false;
  int rect[4] = {};
  ASSERT_TRUE(WindowState("UIClockList", &visible, rect));
  // The window on the screen shows its skin: its gold "确定" button, where the frame below it has
  // none.
  EXPECT_TRUE(WaitFor([&] { return IsGold(PixelOnScreen(rect[0] + 250, rect[1] + 336)); }, 10000));

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
  // Alt+Q no longer does anything; a boss key still held would have hidden the frame by now.
  ASSERT_TRUE(Xdotool("key alt+q"));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(WindowVisible("UIMainFrame"));
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
