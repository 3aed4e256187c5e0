// The real program under Xvfb against the simulator: start-up in its order, the login window,
// the desktop entries, and the exits a player can choose from the login window.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/e2e_fixture.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {
namespace {

using sim::testing::EntriesWithEvent;

class StartupTest : public LauncherTest {
 protected:
  // The statistics codes of start-up: what the program sent before the player did anything. (With
  // automatic login on, the login window's own events follow a moment later.)
  std::vector<std::string> StartupCodes() const {
    std::vector<std::string> codes;
    for (const auto& code : StatCodes()) {
      if (code == "200015" || code == "200020") codes.push_back(code);
    }
    return codes;
  }
};

TEST_F(StartupTest, FreshInstallSendsTheStartEventOpensTheLoginWindowAndMakesItsEntriesOnce) {
  StartAndWaitForLogin();
  const auto windows = launcher_->automation().Windows();
  ASSERT_TRUE(windows.ok()) << windows.error();
  EXPECT_NE(windows.line().find("\"class\":\"UILogIn\""), std::string::npos) << windows.line();
  EXPECT_NE(windows.line().find("\"title\":\"玄岚城\""), std::string::npos) << windows.line();
  // Built from its layout: the controls of both faces are there.
  EXPECT_TRUE(launcher_->automation().Control("UILogIn", "edusername").ok());
  EXPECT_TRUE(launcher_->automation().Control("UILogIn", "bnstart").ok());

  EXPECT_EQ(StartupCodes(), (std::vector<std::string>{"200020"}));  // not a first start: no 200015
  EXPECT_EQ(StatCodes().front(), "200020");
  EXPECT_TRUE(FileExists(launcher_->desktop_shortcut()));
  EXPECT_TRUE(FileExists(launcher_->autostart_entry()));
  EXPECT_NE(launcher_->ReadSettings().find("[ShellLink]\nhas=0"), std::string::npos)
      << launcher_->ReadSettings();
  launcher_->Stop();

  // The shortcut is made once per installation, even when the player has removed it.
  std::filesystem::remove(launcher_->desktop_shortcut());
  StartAndWaitForLogin();
  EXPECT_FALSE(FileExists(launcher_->desktop_shortcut()));
  EXPECT_EQ(StartupCodes(), (std::vector<std::string>{"200020", "200020"}));
  launcher_->Stop();
}

TEST_F(StartupTest, FirstStartSendsItsEventFirstAndTheAutostartEntryFollowsTheSetting) {
  launcher_->WriteSettings("[Runset]\nfirst=1\nautorun=0\n[ShellLink]\nhas=2\n");
  std::filesystem::create_directories(launcher_->home() + "/.config/autostart");
  { std::ofstream(launcher_->autostart_entry()) << "[Desktop Entry]\n"; }
  StartAndWaitForLogin();
  EXPECT_EQ(StartupCodes(), (std::vector<std::string>{"200015", "200020"}));
  EXPECT_EQ(StatCodes()[0], "200015");
  EXPECT_EQ(StatCodes()[1], "200020");
  EXPECT_FALSE(FileExists(launcher_->autostart_entry()));
  EXPECT_FALSE(FileExists(launcher_->desktop_shortcut()));  // "has" is 2, not 1
  const std::string settings = launcher_->ReadSettings();
  EXPECT_NE(settings.find("first=0"), std::string::npos) << settings;
  EXPECT_NE(settings.find("has=2"), std::string::npos) << settings;
  launcher_->Stop();
}

TEST_F(StartupTest, CloseButtonEndsTheProgramWithMinusOne) {
  launcher_->WriteSettings("[Runset]\nautologin=0\n");  // no error window in the way
  StartAndWaitForLogin();
  const auto click = launcher_->automation().Click("UILogIn", "bnclose");
  (void)click;  // the program may end before it answers
  EXPECT_EQ(launcher_->WaitForExit(20000), 255);
}

TEST_F(StartupTest, SystemCloseAsksTheExitQuestionAndNoKeepsTheProgram) {
  // Without automatic login: its failure would put up the error window, which makes the login
  // window ignore everything until the player has read it.
  launcher_->WriteSettings("[Runset]\nautologin=0\n");
  StartAndWaitForLogin();
  auto& automation = launcher_->automation();
  // The window manager's close request (Alt+F4) arrives as a system close command.
  ASSERT_TRUE(automation.Send(R"({"cmd":"syscommand","class":"UILogIn","command":61536})").ok());
  ASSERT_NE(automation.WaitForWindow("UICheckDlg", 20000), 0);
  ASSERT_TRUE(automation.Click("UICheckDlg", "bncancel").ok());
  EXPECT_EQ(launcher_->WaitForExit(1000), -1000);  // still running

  ASSERT_TRUE(automation.Send(R"({"cmd":"syscommand","class":"UILogIn","command":61536})").ok());
  ASSERT_NE(automation.WaitForWindow("UICheckDlg", 20000), 0);
  automation.Click("UICheckDlg", "bnok");
  EXPECT_EQ(launcher_->WaitForExit(20000), 255);
}

}  // namespace
}  // namespace qrv::e2e
