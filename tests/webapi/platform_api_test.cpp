// The requests against loopback servers standing in for the platform's three hosts: which host
// each request goes to, the exact path, what the login keeps, and how responses become records.

#include "webapi/platform_api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "net/web_context.h"
#include "net/web_test_env.h"
#include "webapi/platform_requests.h"
#include "platform/debug_sink.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

using test::HttpResponse;
using test::HttpTestServer;

constexpr std::int64_t kStart = 1700000000;

class PlatformApiTest : public ::testing::Test {
 protected:
  PlatformApiTest() {
    test::KeepLoopbackOffProxies();
    test::UseShortTimeouts(context_);
  }

  static DeployConfig Hosts(const HttpTestServer& site, const HttpTestServer& interface,
                            const HttpTestServer& game) {
    DeployConfig deploy = test::LoopbackDeploy(site.host());
    deploy.interface = interface.host();
    deploy.game = game.host();
    return deploy;
  }

  // Each call of the clock is one second later than the one before, starting at kStart.
  PlatformApi MakeApi() {
    return PlatformApi(
        context_, [this] { return kStart + clock_calls_++; },
        [this] {
          ++adapter_reads_;
          return adapter_;
        });
  }

  static std::string Target(const HttpTestServer& server, std::size_t index) {
    const auto requests = server.Requests();
    return index < requests.size() ? requests[index].request_line : std::string("(no request)");
  }

  HttpTestServer site_;
  HttpTestServer interface_;
  HttpTestServer game_;
  WebContext context_{Hosts(site_, interface_, game_), ""};
  std::int64_t clock_calls_ = 0;
  int adapter_reads_ = 0;
  std::string adapter_ = "eth0";
};

TEST_F(PlatformApiTest, FullLoginSendsTheSignedRequestToTheSiteAndKeepsItsValues) {
  site_.Enqueue(HttpResponse::Text("<p>SUCCESS</p>"));
  PlatformApi api = MakeApi();
  DebugCapture debug;

  const std::string response = api.Login("player1", "secret");

  EXPECT_EQ(response, "<p>SUCCESS</p>");
  EXPECT_EQ(Target(site_, 0),
            "GET /clientlogingame.php?action=login&&partner=qrv&account=player1&time=1700000000"
            "&sign=6013872949C5250531F69FA1E3926C56&%20addr%20=%7B%22%22%7D&mac=eth0 HTTP/1.0");
  EXPECT_EQ(interface_.request_count() + game_.request_count(), 0u);
  EXPECT_EQ(api.login_values().adapter_text, "eth0");
  EXPECT_EQ(api.login_values().login_time, "1700000000");
  EXPECT_EQ(api.login_values().user_id, "player1");
  const std::vector<std::string> expected_lines{"*****发送登录请求*****\r\n",
                                                "********获取登录结果***************\r\n"};
  EXPECT_EQ(debug.Lines(), expected_lines);
}

TEST_F(PlatformApiTest, LoginResponseIsNotConverted) {
  // Bytes that are not UTF-8 reach the status word search as they came.
  site_.Enqueue(HttpResponse::Text("\xff ILLEGAL_PASSWORD"));
  PlatformApi api = MakeApi();
  EXPECT_EQ(api.Login("player1", "wrong"), "\xff ILLEGAL_PASSWORD");
}

TEST_F(PlatformApiTest, ShortLoginReusesTheAdapterTextOfTheFullLogin) {
  PlatformApi api = MakeApi();
  api.Login("player1", "secret");
  adapter_ = "wlan9";  // a change after the full login must not show in the short one
  api.ShortLogin("player2", "secret");

  EXPECT_EQ(adapter_reads_, 1);
  EXPECT_EQ(Target(site_, 1), "GET /" + LoginPath("player2", "secret", "1700000001", "eth0") + " HTTP/1.0");
  EXPECT_EQ(api.login_values().adapter_text, "eth0");
  EXPECT_EQ(api.login_values().login_time, "1700000001");
  EXPECT_EQ(api.login_values().user_id, "player2");
}

TEST_F(PlatformApiTest, AccountWithUrlCharactersCannotAddParameters) {
  PlatformApi api = MakeApi();
  api.Login("a&sign=0#x 玩家", "secret");
  const std::string line = Target(site_, 0);
  EXPECT_NE(line.find("&account=a%26sign%3D0%23x%20%E7%8E%A9%E5%AE%B6&time="), std::string::npos) << line;
  // Only the request's own signature parameter is there.
  const std::size_t sign = line.find("&sign=");
  ASSERT_NE(sign, std::string::npos) << line;
  EXPECT_EQ(line.find("&sign=", sign + 1), std::string::npos) << line;
}

TEST_F(PlatformApiTest, ProfileComesFromTheInterfaceHostConvertedFromUtf8) {
  interface_.Enqueue(HttpResponse::Text(
      "<data id='5566' code='c1' vip='2' uid='9' uid_type='qq' nick='\xff风' credits='3' balance='4' "
      "played='101|102' /><data id='other' />"));
  PlatformApi api = MakeApi();

  const PlayerProfile profile = api.FetchProfile("player1", "secret");

  EXPECT_EQ(Target(interface_, 0), "GET /" + ProfilePath("player1", "secret", "1700000000") + " HTTP/1.0");
  // The stray byte was replaced on arrival rather than carried into the program's text.
  EXPECT_EQ(profile, (PlayerProfile{"5566", "c1", "2", "9", "qq", "\xEF\xBF\xBD风", "3", "4", "101|102"}));
  // The profile request does not count as a login.
  EXPECT_EQ(api.login_values().login_time, "");
}

TEST_F(PlatformApiTest, ServerListAndNewsComeFromTheirHosts) {
  interface_.Enqueue(
      HttpResponse::Text("<list><data id='1' name='玄岚城[1服]' code='s1' type='2' state='1' "
                         "open_date='2013-05-01' /></list>"));
  game_.Enqueue(HttpResponse::Text("<data title='新服' add_date='05-01' url='http://g/1.htm' />"));
  PlatformApi api = MakeApi();
  DebugCapture debug;

  const std::vector<ServerEntry> servers = api.FetchServerList();
  const std::vector<NewsItem> news = api.FetchNewsList();

  EXPECT_EQ(Target(interface_, 0),
            "GET /clientgameserver.php?action=serverlist&partner=qrvclient&code=qrv HTTP/1.0");
  EXPECT_EQ(Target(game_, 0), "GET /news/list-1480-1.xml HTTP/1.0");
  ASSERT_EQ(servers.size(), 1u);
  EXPECT_EQ(servers[0], (ServerEntry{"1", "玄岚城[1服]", "s1", "2", "1", "2013-05-01"}));
  ASSERT_EQ(news.size(), 1u);
  EXPECT_EQ(news[0], (NewsItem{"新服", "05-01", "http://g/1.htm"}));
  EXPECT_TRUE(debug.Contains("获取服务器列表"));
  EXPECT_TRUE(debug.Contains("解析服务器列表成功"));
  EXPECT_EQ(site_.request_count(), 0u);
}

TEST_F(PlatformApiTest, HeartbeatReturnsTheSitesAnswer) {
  site_.Enqueue(HttpResponse::Text("online 5566"));
  PlatformApi api = MakeApi();
  EXPECT_EQ(api.Heartbeat(), "online 5566");
  EXPECT_EQ(Target(site_, 0), "GET /clientlogingame.php?heart=1 HTTP/1.0");
}

TEST_F(PlatformApiTest, ExitNoticeRepeatsTheLastLoginWithAFreshTime) {
  PlatformApi api = MakeApi();
  api.Login("player1", "secret");  // time 1700000000
  api.SendExitNotice();            // time 1700000001
  EXPECT_EQ(Target(interface_, 0),
            "GET /clientreglogin.php?action=exit&partner=qrv&%20userid=player1&addr=&mac=eth0"
            "&login_date=1700000000&time=1700000001&sign=" +
                Sign("exitplayer11700000001eth0Hx3PqL8vRw2KdT6mZy9B") + " HTTP/1.0");
}

TEST_F(PlatformApiTest, EveryRequestUsesItsOwnConnection) {
  PlatformApi api = MakeApi();
  api.Heartbeat();
  api.Heartbeat();
  api.Login("player1", "secret");
  EXPECT_EQ(site_.request_count(), 3u);
  EXPECT_EQ(site_.connection_count(), 3);
}

TEST(PlatformApiUnreachableTest, FailuresGiveEmptyResultsAndAFailedLogin) {
  test::KeepLoopbackOffProxies();
  const std::string closed = "127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort());
  DeployConfig deploy = test::LoopbackDeploy(closed);
  deploy.interface = closed;
  deploy.game = closed;
  WebContext context(deploy, "");
  test::UseShortTimeouts(context);
  PlatformApi api(
      context, [] { return kStart; }, [] { return std::string(); });

  const std::string response = api.Login("player1", "secret");
  EXPECT_EQ(ClassifyLoginResponse(response).outcome(), LoginOutcome::kFailed);
  EXPECT_EQ(api.FetchProfile("player1", "secret"), PlayerProfile{});
  EXPECT_TRUE(api.FetchServerList().empty());
  EXPECT_TRUE(api.FetchNewsList().empty());
  EXPECT_EQ(api.Heartbeat(), "");
  api.SendExitNotice();
  EXPECT_EQ(api.login_values().adapter_text, "");
  EXPECT_EQ(api.login_values().user_id, "player1");
}

}  // namespace
}  // namespace qrv
