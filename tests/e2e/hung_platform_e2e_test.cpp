// The real program under Xvfb against a platform host that accepts connections and never answers
// (a hung server, a captive portal): the login window shows at once, every window goes on
// answering while the login hangs, and the close button ends the program at once.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "support/hung_host.h"

namespace qrv::e2e {
namespace {

using Clock = std::chrono::steady_clock;

TEST(HungPlatformE2eTest, WindowsKeepAnsweringAndCloseEndsTheProgramAtOnce) {
  sim::testing::TempDir dir;
  test::HungHost hung;
  ASSERT_FALSE(hung.host().empty());
  const std::string deploy = dir.path() + "/deploy.ini";
  std::ofstream(deploy) << "[hosts]\nsite=" << hung.host() << "\ninterface=" << hung.host()
                        << "\ngame=" << hung.host() << "\nstat=" << hung.host() << "\naccount=" << hung.host()
                        << "\nforum=" << hung.host() << "\npay=" << hung.host() << "\ndomain=127.0.0.1\n"
                        << "service=http://" << hung.host()
                        << "/service/\n[chat]\nhost=127.0.0.1\nport=" << hung.port() << "\n";
  LauncherProcess launcher(dir.path() + "/launcher");
  std::string error;
  ASSERT_TRUE(launcher.Install(deploy, error)) << error;
  // A first start: the start-up events, the news and the automatic login all go to the hung host.
  launcher.WriteSettings(RememberedAccount("first=1\nautorun=0\n"));
  ASSERT_TRUE(launcher.Start(error)) << error;
  auto& automation = launcher.automation();

  // The window comes as it comes against a platform that answers (before, the two start-up events
  // and the news held it for a minute); the bound is generous, the point is that nothing waits.
  ASSERT_NE(automation.WaitForWindow("UILogIn", 15000), 0) << launcher.output();
  EXPECT_TRUE(WaitFor([&] { return hung.accepted() >= 2; }, 15000)) << "the requests did go out";
  // The automatic login is under way (its request hangs), and the window answers within half a
  // second, again and again.
  EXPECT_TRUE(
      WaitFor([&] { return automation.Control("UILogIn", "login").String("text") == "登录中…"; }, 15000))
      << automation.Control("UILogIn", "login").line();
  for (int i = 0; i < 5; ++i) {
    const auto asked = Clock::now();
    const auto answer = automation.Control("UILogIn", "bnclose");
    EXPECT_TRUE(answer.ok()) << answer.error();
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(500));
  }
  ExpectSkinShown(automation, "UILogIn", "e2e-login-hung.png");

  // The close button ends the program at once: nobody is logged in, so there is no exit notice
  // to wait for, and the hung requests are given up.
  const auto closing = Clock::now();
  ASSERT_TRUE(automation.Click("UILogIn", "bnclose").ok());
  const int code = launcher.WaitForExit(10000);
  EXPECT_EQ(code, 255);  // -1
  EXPECT_LT(Clock::now() - closing, std::chrono::seconds(2));
}

}  // namespace
}  // namespace qrv::e2e
