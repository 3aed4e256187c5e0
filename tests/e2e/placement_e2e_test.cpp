// Pop-ups of the real program stay on a small screen with the desktop scaled: an X server of the
// test's own of 1280 x 800 pixels with GDK_SCALE=2, so that the program sees a screen of 640 x 400.
// The login window fills it, so the server list (opened 50 pixels above the login window) would
// start above the screen; the main frame, dragged half off the right edge, would open its More
// panel, alarm list and alarm editor off the screen, and the tray menu opens at the screen's
// corner. Every one of them must lie inside the screen; the screenshots show them.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "support/fake_status_notifier_watcher.h"
#include "support/first_line.h"

namespace qrv::e2e {
namespace {

constexpr Rect kLogicalScreen{0, 0, 640, 400};
constexpr int kScale = 2;

// Xvfb with one 1280 x 800 screen on a free display, for as long as the object lives.
class SmallScreen {
 public:
  SmallScreen() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
             "-noreset", nullptr);
      _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts clients.
    const std::string number = test::ReadFirstLine(fds[0], std::chrono::seconds(60));
    if (!number.empty()) display_ = ":" + number;
  }
  ~SmallScreen() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  SmallScreen(const SmallScreen&) = delete;
  SmallScreen& operator=(const SmallScreen&) = delete;

  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

bool Inside(const Rect& rect, const Rect& area) {
  return rect[2] > rect[0] && rect[0] >= area[0] && rect[1] >= area[1] && rect[2] <= area[2] &&
         rect[3] <= area[3];
}

std::string Describe(const Rect& rect) {
  return std::to_string(rect[0]) + "," + std::to_string(rect[1]) + "," + std::to_string(rect[2]) + "," +
         std::to_string(rect[3]);
}

// The crop of `rect` (device pixels) as ImageMagick's geometry.
std::string Crop(const Rect& rect) {
  return std::to_string(rect[2] - rect[0]) + "x" + std::to_string(rect[3] - rect[1]) + "+" +
         std::to_string(rect[0]) + "+" + std::to_string(rect[1]);
}

class PlacementE2eTest : public LauncherTest {
 protected:
  // Does `open`, waits for the visible window of class `cls`, checks that it lies inside the
  // screen and photographs it once the screen there has changed (the screenshot is in device
  // pixels, twice the program's coordinates).
  void OpenOnScreen(const std::string& cls, const std::string& file, const std::function<void()>& open) {
    auto& automation = launcher_->automation();
    const std::string before = ScreenshotFolder() + "/before-" + file;
    ASSERT_EQ(std::system(("import -window root " + before).c_str()), 0);
    open();
    ASSERT_NE(automation.WaitForWindow(cls, 20000), 0) << cls << " did not open";
    Rect rect{};
    EXPECT_TRUE(
        WaitFor([&] { return Inside(rect = VisibleWindowRect(automation, cls), kLogicalScreen); }, 5000))
        << cls << " lies at " << Describe(rect) << ", off the 640 x 400 screen";
    const Rect device{rect[0] * kScale, rect[1] * kScale, rect[2] * kScale, rect[3] * kScale};
    const std::string old =
        CommandOutput("convert " + before + " -crop " + Crop(device) + " +repage -format %# info:");
    std::string now;
    EXPECT_TRUE(WaitFor(
        [&] {
          now = CommandOutput("import -window root -crop " + Crop(device) + " +repage -format %# info:-");
          return !now.empty() && now != old && SaveScreenshot(device, ScreenshotFolder() + "/" + file) > 64;
        },
        10000))
        << cls << " is not painted on the screen";
    std::filesystem::remove(before);
  }
};

TEST_F(PlacementE2eTest, PopUpsStayOnASmallScaledScreenAndBesideAFrameDraggedAgainstTheEdge) {
  SmallScreen screen;
  ASSERT_FALSE(screen.display().empty()) << "Xvfb did not start";
  // The screenshots and xdotool below work on this screen too.
  setenv("DISPLAY", screen.display().c_str(), 1);
  ASSERT_NO_FATAL_FAILURE(UsePrivateBus());
  test::FakeStatusNotifierWatcher watcher(bus_->address());
  ASSERT_TRUE(watcher.ready()) << watcher.error();
  launcher_->SetEnv("DISPLAY", screen.display());
  launcher_->SetEnv("GDK_SCALE", "2");
  ASSERT_NO_FATAL_FAILURE(StartLoggedIn("autorun=0\nshowtop=0\n"));
  auto& automation = launcher_->automation();

  // The login window's server list, 50 pixels above a login window at the top of the screen.
  OpenOnScreen("UISerList", "e2e-small-screen-server-list.png",
               [&] { ASSERT_TRUE(automation.Click("UILogIn", "bnstart").ok()); });
  automation.Send(qrv::testing::AutomationRequest("close").Set("class", "UISerList"));
  ASSERT_TRUE(WaitFor([&] { return WindowCount(automation, "UISerList") == 0; }, 10000));

  ASSERT_NO_FATAL_FAILURE(OpenRecommendedServer());
  // The frame's own server list.
  OpenOnScreen("UISerList", "e2e-small-screen-frame-server-list.png",
               [&] { ASSERT_TRUE(automation.Click("UIMainFrame", "NewItemBtn").ok()); });
  automation.Send(qrv::testing::AutomationRequest("close").Set("class", "UISerList"));
  ASSERT_TRUE(WaitFor([&] { return WindowCount(automation, "UISerList") == 0; }, 10000));

  // The player drags the frame half off the right edge (the X server has no window manager: the
  // window is moved as a window manager would move it).
  const std::string moved =
      CommandOutput("xdotool search --onlyvisible --name '^玄岚城$' windowmove %@ " +
                    std::to_string(320 * kScale) + " " + std::to_string(60 * kScale) + " && echo moved");
  ASSERT_NE(moved.find("moved"), std::string::npos);
  ASSERT_TRUE(WaitFor([&] { return VisibleWindowRect(automation, "UIMainFrame")[0] == 320; }, 10000))
      << Describe(VisibleWindowRect(automation, "UIMainFrame"));

  // The More panel below its button near the frame's right edge, off the screen.
  OpenOnScreen("UIMore", "e2e-small-screen-more-panel.png",
               [&] { ASSERT_TRUE(automation.Click("UIMainFrame", "bnmore").ok()); });
  // The alarm list below the frame's clock button, and its editor.
  OpenOnScreen("UIClockList", "e2e-small-screen-alarm-list.png",
               [&] { ASSERT_TRUE(automation.Click("UIMainFrame", "bnclock").ok()); });
  OpenOnScreen("UIClockManagerDlg", "e2e-small-screen-alarm-editor.png",
               [&] { ASSERT_TRUE(automation.Click("UIClockList", "bnset").ok()); });
  automation.Send(qrv::testing::AutomationRequest("close").Set("class", "UIClockManagerDlg"));
  automation.Send(qrv::testing::AutomationRequest("close").Set("class", "UIClockList"));

  // The tray menu asked for at the screen's bottom-right corner.
  const auto item = watcher.WaitForItem(20000);
  ASSERT_TRUE(item.has_value() && !item->empty());
  OpenOnScreen("MenuTrayWnd", "e2e-small-screen-tray-menu.png",
               [&] { ASSERT_TRUE(watcher.CallItem(*item, "ContextMenu", 639, 399)); });
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
