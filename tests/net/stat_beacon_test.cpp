#include "net/stat_beacon.h"

#include <gtest/gtest.h>

#include "net/web_context.h"
#include "net/web_test_env.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

TEST(StatBeaconTest, EventCodeFollowsTheApplicationName) {
  EXPECT_EQ(StatBeacon::PathFor("200020"), "stat.htm?app=qrvclient200020&from=74&pid=1");
  EXPECT_EQ(StatBeacon::PathFor("200000"), "stat.htm?app=qrvclient200000&from=74&pid=1");
}

TEST(StatBeaconTest, EventsShareOneConnectionUntilClosed) {
  test::HttpTestServer stat_host;
  WebContext context(test::LoopbackDeploy(stat_host.host()), "");
  test::UseShortTimeouts(context);
  StatBeacon beacon(context);
  beacon.Bind(stat_host.host());
  beacon.Send("200020");
  beacon.Send("200015");

  auto requests = stat_host.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].request_line, "GET /stat.htm?app=qrvclient200020&from=74&pid=1 HTTP/1.0");
  EXPECT_EQ(requests[1].target, "/stat.htm?app=qrvclient200015&from=74&pid=1");
  EXPECT_EQ(stat_host.connection_count(), 1);

  beacon.Close();
  beacon.Send("200012");
  EXPECT_EQ(stat_host.connection_count(), 2);
}

}  // namespace
}  // namespace qrv
