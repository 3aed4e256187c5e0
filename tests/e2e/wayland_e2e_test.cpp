// The real program in a Wayland session: weston with its headless back end and Xwayland, a
// session bus of the test's own with a StatusNotifierWatcher, and the simulator. The login window
// shows, the automatic login and the recommended server open the main frame, the game page is
// painted on weston's output, and the tray icon registers as a StatusNotifierItem.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "e2e/weston_session.h"
#include "sim/sim_test_support.h"
#include "support/fake_status_notifier_watcher.h"

namespace qrv::e2e {
namespace {

// The band of the frame above its browser view.
constexpr int kTopBand = 50;

// The number of colours in `rect` of the screenshot `png`, saved beside it as `crop`.
int ColoursIn(const std::string& png, const Rect& rect, const std::string& crop) {
  const std::string geometry = std::to_string(rect[2] - rect[0]) + "x" + std::to_string(rect[3] - rect[1]) +
                               "+" + std::to_string(rect[0]) + "+" + std::to_string(rect[1]);
  if (std::system(("convert " + png + " -crop " + geometry + " +repage " + crop).c_str()) != 0) return 0;
  const std::string colours = CommandOutput("convert " + crop + " -format %k info:");
  return colours.empty() ? 0 : std::stoi(colours);
}

class WaylandE2eTest : public LauncherTest {};

TEST_F(WaylandE2eTest, TheLauncherRunsThroughXwaylandAndItsTrayItemRegisters) {
  WestonSession session(dir_.path() + "/weston", 1600, 1000);
  ASSERT_TRUE(session.started()) << session.error();
  ASSERT_NO_FATAL_FAILURE(UsePrivateBus());
  test::FakeStatusNotifierWatcher watcher(bus_->address());
  ASSERT_TRUE(watcher.ready()) << watcher.error();

  launcher_->SetEnv("XDG_SESSION_TYPE", "wayland");
  launcher_->SetEnv("XDG_RUNTIME_DIR", session.runtime_dir());
  launcher_->SetEnv("WAYLAND_DISPLAY", session.wayland_display());
  launcher_->SetEnv("DISPLAY", session.x_display());

  // The login window, logged in automatically, shows the recommended server.
  ASSERT_NO_FATAL_FAILURE(StartLoggedIn("autorun=0\nshowtop=0\n")) << session.log();
  auto& automation = launcher_->automation();
  const std::string folder = ScreenshotFolder();
  const Rect login = VisibleWindowRect(automation, "UILogIn");
  EXPECT_TRUE(WaitFor(
      [&] {
        return session.Screenshot(folder + "/e2e-wayland-session.png") &&
               ColoursIn(folder + "/e2e-wayland-session.png", login, folder + "/e2e-wayland-login.png") > 64;
      },
      20000))
      << "the login window is not painted on weston's output";

  // Its server opens the main frame on the game page, which weston's output shows painted.
  ASSERT_NO_FATAL_FAILURE(OpenRecommendedServer());
  EXPECT_TRUE(WaitFor([&] {
    for (const auto& line : sim_->LogLines())
      if (line.find("/joinGame/code/qrv44/") != std::string::npos) return true;
    return false;
  }));
  Rect page = VisibleWindowRect(automation, "UIMainFrame");
  page[1] += kTopBand;
  page[2] = std::min(page[2], 1600);
  page[3] = std::min(page[3], 1000);
  ASSERT_GT(page[3], page[1]);
  int colours = 0;
  EXPECT_TRUE(WaitFor(
      [&] {
        return session.Screenshot(folder + "/e2e-wayland-session.png") &&
               (colours = ColoursIn(folder + "/e2e-wayland-session.png", page,
                                    folder + "/e2e-wayland-game.png")) > 16;
      },
      30000))
      << "the game page shows " << colours << " colours";

  // The tray icon is a StatusNotifierItem, the only kind a Wayland session shows.
  const auto item = watcher.WaitForItem(20000);
  ASSERT_TRUE(item.has_value() && !item->empty()) << launcher_->output();
  EXPECT_EQ(WindowString(automation, "UIMainFrame", "tray"), "status-notifier-item");
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
