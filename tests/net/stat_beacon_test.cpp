#include "net/stat_beacon.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "net/web_context.h"
#include "net/web_test_env.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

TEST(StatBeaconTest, EventCodeFollowsTheApplicationName) {
  EXPECT_EQ(StatBeacon::PathFor("200020"), "stat.htm?app=qrvclient200020&from=74&pid=1");
  EXPECT_EQ(StatBeacon::PathFor("200000"), "stat.htm?app=qrvclient200000&from=74&pid=1");
}

TEST(StatBeaconTest, EventsGoOutInOrderWithoutWaitingAndShareOneConnectionUntilClosed) {
  test::HttpTestServer stat_host;
  WebContext context(test::LoopbackDeploy(stat_host.host()), "");
  test::UseShortTimeouts(context);
  StatBeacon beacon(context);
  beacon.Bind(stat_host.host());
  beacon.Send("200020");
  beacon.Send("200015");
  ASSERT_TRUE(beacon.WaitSent(std::chrono::seconds(30)));

  auto requests = stat_host.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].request_line, "GET /stat.htm?app=qrvclient200020&from=74&pid=1 HTTP/1.0");
  EXPECT_EQ(requests[1].target, "/stat.htm?app=qrvclient200015&from=74&pid=1");
  EXPECT_EQ(stat_host.connection_count(), 1);

  beacon.Close();
  beacon.Send("200012");
  ASSERT_TRUE(beacon.WaitSent(std::chrono::seconds(30)));
  EXPECT_EQ(stat_host.connection_count(), 2);
}

TEST(StatBeaconTest, AHostThatNeverAnswersDelaysNothingButItsOwnEvents) {
  // Accepts connections and never answers, as a hung server or a captive portal does.
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 16), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string host = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

  WebContext context(test::LoopbackDeploy(host), "");
  // Time-outs far beyond the test's own: only giving the request up can end it.
  context.set_timeouts(WebTimeouts{std::chrono::minutes(10), std::chrono::minutes(10)});
  {
    StatBeacon beacon(context);
    beacon.Bind(host);
    beacon.Send("200020");
    beacon.Send("200007");
    EXPECT_FALSE(beacon.WaitSent(std::chrono::milliseconds(300)));
  }  // the beacon goes: its lane stops and gives its hung request up
  close(listener);
}

}  // namespace
}  // namespace qrv
