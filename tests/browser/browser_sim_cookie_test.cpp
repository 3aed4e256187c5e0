// The session the platform opens on the launcher's login request is the one the game page sees:
// the cookie the simulator sets on a WebClient request travels with the browser view's request.

#include <filesystem>

#include "net/web_client.h"
#include "browser/browser_fixture.h"
#include "sim/sim_test_support.h"

namespace qrv::test {
namespace {

using BrowserSimTest = BrowserTest;

TEST_F(BrowserSimTest, CookieSetOnAWebClientRequestIsSentByTheGamePage) {
  sim::testing::TempDir dir;
  sim::SimOptions options;
  options.work_dir = dir.path();
  std::string error;
  auto sim = sim::SimProcess::Start(options, error);
  ASSERT_NE(sim, nullptr) << error;

  // The launcher's login, through the shared cookie store. Its follow-up visit goes to the
  // fixture's page server, which runs on this thread and cannot answer while the request blocks:
  // a short time-out keeps that visit from holding the test up.
  const WebTimeouts saved = web().timeouts();
  web().set_timeouts({std::chrono::milliseconds(500), std::chrono::milliseconds(500)});
  WebClient client(web());
  client.SetHost(sim->host());
  // The helper gives the path with its leading "/"; the web client takes it without.
  ASSERT_EQ(client.Fetch(sim::testing::LoginPath("qrvtest", "abc123456", "1796637600").substr(1)), "SUCCESS");
  client.Close();
  web().set_timeouts(saved);
  const auto logins = sim::testing::EntriesWithEvent(*sim, "login_ok");
  ASSERT_EQ(logins.size(), 1u);
  const std::string session = logins[0].Field("session");
  ASSERT_FALSE(session.empty());

  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, sim->base_url() + "/joinGame/code/qrv3/gamebarhide/1/"));

  bool sent_with_session = false;
  for (const auto& entry : sim::testing::LogEntries(*sim)) {
    if (entry.Field("path") != "/joinGame/code/qrv3/gamebarhide/1/") continue;
    const auto cookie = entry.cookies.find("PHPSESSID");
    sent_with_session = cookie != entry.cookies.end() && cookie->second == session;
  }
  EXPECT_TRUE(sent_with_session);
  // The page knows the player: the platform found the session.
  EXPECT_NE(RunScript(view, "document.body.innerText").find("qrvtest"), std::string::npos);
  EXPECT_EQ(sim->Stop(), 0);
}

}  // namespace
}  // namespace qrv::test
