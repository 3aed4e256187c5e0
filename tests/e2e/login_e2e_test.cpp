// The real program under Xvfb against the simulator: remembered credentials and automatic login
// bring up the logged-in face by themselves, and logging out returns to the logged-out face with
// the exit notice and its statistics event.

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {
namespace {

using sim::testing::EntriesWithEvent;

class LoginE2eTest : public LauncherTest {
 protected:
  // Polls a control of the login window until `done` holds for its answer (or the time is up);
  // returns the last answer.
  template <class Done>
  qrv::testing::AutomationAnswer WaitForControl(const std::string& name, Done done, int timeout_ms = 20000) {
    qrv::testing::AutomationAnswer answer;
    WaitFor(
        [&] {
          answer = launcher_->automation().Control("UILogIn", name);
          return answer.ok() && done(answer);
        },
        timeout_ms);
    return answer;
  }
};

TEST_F(LoginE2eTest, RememberedCredentialsLogInByThemselvesAndLogoutReturnsToTheLoggedOutFace) {
  launcher_->WriteSettings(RememberedAccount());
  ASSERT_NO_FATAL_FAILURE(StartAndWaitForLogin());
  auto& automation = launcher_->automation();
  ExpectSkinShown(automation, "UILogIn", "e2e-login-window.png");

  const auto visible = [](const qrv::testing::AutomationAnswer& a) { return a.Bool("visible"); };
  const auto recommended = WaitForControl("bntuijian", visible);
  ASSERT_TRUE(recommended.Bool("visible")) << recommended.line() << launcher_->output();
  EXPECT_EQ(recommended.String("text"), "44服[双线]");  // server 45 is not open yet
  EXPECT_EQ(automation.Control("UILogIn", "bnzuiji1").String("text"), "3服[电信]");
  EXPECT_EQ(automation.Control("UILogIn", "bnzuiji3").String("text"), "7服[电信]");
  EXPECT_EQ(automation.Control("UILogIn", "txnickname").String("text"), "当前账号: qrvtest");
  EXPECT_TRUE(automation.Control("UILogIn", "opnote").Bool("selected"));
  ASSERT_EQ(EntriesWithEvent(*sim_, "login_ok").size(), 1u);
  EXPECT_EQ(EntriesWithEvent(*sim_, "login_ok")[0].Field("account"), "qrvtest");

  // Log out, answering the exit question with "是".
  ASSERT_TRUE(automation.Click("UILogIn", "bnlogout").ok());
  ASSERT_NE(automation.WaitForWindow("UICheckDlg", 20000), 0);
  ASSERT_TRUE(automation.Click("UICheckDlg", "bnok").ok());
  const auto login_button = WaitForControl("login", visible);
  EXPECT_TRUE(login_button.Bool("visible")) << login_button.line();
  EXPECT_FALSE(automation.Control("UILogIn", "bnlogout").Bool("visible"));
  EXPECT_FALSE(automation.Control("UILogIn", "bntuijian").Bool("visible"));
  EXPECT_FALSE(automation.Control("UILogIn", "bnzuiji1").Bool("visible"));

  const auto exits = EntriesWithEvent(*sim_, "exit_ok");
  ASSERT_EQ(exits.size(), 1u);
  EXPECT_EQ(exits[0].Field("userid"), "qrvtest");
  const auto codes = StatCodes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), "200005"), codes.end());
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
