// The real program under Xvfb against the simulator, from the login to the main frame: the
// recommended server's game page loads with the session of the login, the server list switches
// it, the screen lock takes the login password, the boss key hides and shows the frame, and the
// close button ends the program after the exit notice. The program shows the page without the GL
// driver in its own process.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {
namespace {

using sim::testing::EntriesWithEvent;

class FrameE2eTest : public LauncherTest {
 protected:
  // The first line of the process's memory map that belongs to the GL driver (Mesa's drivers and
  // their compiler, libLLVM), or "" when none does.
  static std::string GlDriverMapping(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
      if (line.find("_dri.so") != std::string::npos || line.find("libLLVM") != std::string::npos ||
          line.find("_mesa.so") != std::string::npos)
        return line;
    }
    return "";
  }

  std::string GameRequests() const {
    std::string out;
    for (const auto& line : sim_->LogLines())
      if (line.find("joinGame") != std::string::npos) out += line + "\n";
    return out;
  }
};

TEST_F(FrameE2eTest, LoginToGamePageSwitchLockBossKeyAndExit) {
  // The recommended server (44) opens the main frame on its game page, with the login's session.
  ASSERT_NO_FATAL_FAILURE(StartLoggedInFrame("autorun=0\nexit=2\n"));
  auto& automation = launcher_->automation();
  EXPECT_TRUE(WaitFor([&] { return GamePagesWithSession("qrv44") > 0; }))
      << GameRequests() << launcher_->output();
  // The web process asked for the page, so WebKit has started it: the program named the GPU to
  // WebKit itself, and WebKit did not load the GL driver into the program to find it.
  EXPECT_EQ(GlDriverMapping(launcher_->pid()), "");
  EXPECT_EQ(automation.Control("UIMainFrame", "bnuserinf").String("text"), "qrvtest");
  EXPECT_TRUE(WaitFor([&] { return !WindowVisible("UILogIn"); }));

  // The server list of the frame switches the page to server 7.
  ASSERT_TRUE(automation.Click("UIMainFrame", "NewItemBtn").ok());
  ASSERT_NE(automation.WaitForWindow("UISerList", 20000), 0);
  ExpectSkinShown(automation, "UISerList", "e2e-frame-server-list.png");
  ASSERT_TRUE(automation.SetText("UISerList", "edserid", "7").ok());
  ASSERT_TRUE(automation.Click("UISerList", "bngo").ok());
  EXPECT_TRUE(WaitFor([&] { return GamePagesWithSession("qrv7") > 0; })) << GameRequests();

  // The lock takes only the login password.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnlock").ok());
  ASSERT_NE(automation.WaitForWindow("UIClockList", 20000), 0);
  // The lock lies over the game page: its dark card must have replaced the page's light pixels.
  ExpectSkinShown(automation, "UIClockList", "e2e-screen-lock.png", [](const Rect& lock) {
    const std::string colour = ScreenColor((lock[0] + lock[2]) / 2, lock[1] + 100);
    return colour.size() == 6 && std::stoi(colour.substr(0, 2), nullptr, 16) < 0x60;
  });
  ASSERT_TRUE(automation.SetText("UIClockList", "edinput", "wrong").ok());
  ASSERT_TRUE(automation.Click("UIClockList", "bnok").ok());
  EXPECT_TRUE(WaitFor([&] { return automation.Control("UIClockList", "txerr").Bool("visible"); }));
  ASSERT_TRUE(automation.SetText("UIClockList", "edinput", "abc123456").ok());
  ASSERT_TRUE(automation.Click("UIClockList", "bnok").ok());
  EXPECT_TRUE(WaitFor([&] { return !WindowVisible("UIClockList"); }));

  // The boss key (Alt+Q by default) hides the frame, and a second press brings it back.
  ASSERT_TRUE(WindowVisible("UIMainFrame"));
  ASSERT_EQ(std::system("xdotool key alt+q"), 0);
  EXPECT_TRUE(WaitFor([&] { return !WindowVisible("UIMainFrame"); }, 10000));
  ASSERT_EQ(std::system("xdotool key alt+q"), 0);
  EXPECT_TRUE(WaitFor([&] { return WindowVisible("UIMainFrame"); }, 10000));

  // "exit" = 2: the close button asks, and "是" ends the program with 0 after the exit notice.
  ASSERT_TRUE(automation.Click("UIMainFrame", "closebtn").ok());
  ASSERT_NE(automation.WaitForWindow("UICheckDlg", 20000), 0);
  ExpectSkinShown(automation, "UICheckDlg", "e2e-exit-question.png");
  automation.Click("UICheckDlg", "bnok");
  EXPECT_EQ(launcher_->WaitForExit(20000), 0) << launcher_->output();
  ASSERT_EQ(EntriesWithEvent(*sim_, "exit_ok").size(), 1u);
  EXPECT_EQ(EntriesWithEvent(*sim_, "exit_ok")[0].Field("userid"), "qrvtest");
}

}  // namespace
}  // namespace qrv::e2e
