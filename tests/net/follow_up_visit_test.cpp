#include "net/follow_up_visit.h"

#include <gtest/gtest.h>

#include "net/web_client.h"
#include "net/web_context.h"
#include "net/web_test_env.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

using namespace std::string_literals;
using test::HttpResponse;
using test::HttpTestServer;

// The login goes to `platform_`; the visit after "SUCCESS" goes to the site host, `site_`.
class FollowUpVisitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::KeepLoopbackOffProxies();
    test::UseShortTimeouts(context_);
  }

  std::string Login(const std::string& body) {
    platform_.Enqueue(HttpResponse::Text(body));
    WebClient client(context_);
    client.SetHost(platform_.host());
    return client.Fetch("clientlogingame.php?action=login");
  }

  HttpTestServer platform_;
  HttpTestServer site_;
  WebContext context_{test::LoopbackDeploy(site_.host()), ""};
};

TEST_F(FollowUpVisitTest, BareSuccessVisitsTheSiteRootLikeABrowser) {
  context_.cookies().Add({"127.0.0.1", false, "/", false, 0, "sid", "abc", false});
  context_.cookies().Add({"127.0.0.1", false, "/deep", false, 0, "elsewhere", "1", false});
  site_.Enqueue(HttpResponse::Text("<html>home</html>")
                    .WithHeader("Set-Cookie", "visited=1; Max-Age=600")
                    .WithHeader("Set-Cookie", "lang=zh"));
  int changes = 0;
  context_.cookies().SetChangeListener([&] { ++changes; });

  EXPECT_EQ(Login("SUCCESS"), "SUCCESS");

  const auto visits = site_.Requests();
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].request_line, "GET / HTTP/1.1");
  const test::HeaderList expected{
      {"Host", site_.host()},
      {"User-Agent", "zelto_qrv"},
      {"Accept", "image/png,*/*;q=0.5"},
      {"Accept-Language", "zh-cn,zh;q=0.5"},
      {"Accept-Encoding", "gzip,deflate"},
      {"Accept-Charset", "gb2312,utf-8;q=0.7,*;q=0.7"},
      {"Keep-Alive", "300"},
      {"Connection", "keep-alive"},
      {"Cookie", "Key=somevalue;domain=zelto.test; sid=abc"},
  };
  EXPECT_EQ(visits[0].headers, expected);

  // The site's cookies land in the shared store, and its listener hears of them.
  std::vector<std::string> names;
  for (const Cookie& cookie : context_.cookies().All()) names.push_back(cookie.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"elsewhere", "lang", "sid", "visited"}));
  EXPECT_EQ(changes, 1);
}

TEST_F(FollowUpVisitTest, OnlyABodyOfExactlySuccessVisits) {
  for (const std::string body : {"SUCCESS\n", "SUCCESS ", " SUCCESS", "xSUCCESS", "success", "SUCCES"}) {
    EXPECT_EQ(Login(body), body);
  }
  EXPECT_EQ(site_.request_count(), 0u);

  // What follows a zero byte is not part of the text, so this body reads as exactly "SUCCESS".
  EXPECT_EQ(Login("SUCCESS\0trailing"s), "SUCCESS");
  EXPECT_EQ(site_.request_count(), 1u);
}

TEST_F(FollowUpVisitTest, AFailedVisitChangesNothingForTheLogin) {
  site_.Enqueue(HttpResponse::Silent());
  EXPECT_EQ(Login("SUCCESS"), "SUCCESS");

  WebContext unreachable(test::LoopbackDeploy("127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort())),
                         "");
  test::UseShortTimeouts(unreachable);
  platform_.Enqueue(HttpResponse::Text("SUCCESS"));
  WebClient client(unreachable);
  client.SetHost(platform_.host());
  EXPECT_EQ(client.Fetch("login"), "SUCCESS");
}

TEST_F(FollowUpVisitTest, CollectsEightSetCookieValuesAndStaysOnTheSite) {
  HttpResponse response = HttpResponse::Text("", 302).WithHeader("Location", platform_.url("/elsewhere"));
  for (int i = 1; i <= 9; ++i)
    response.WithHeader("Set-Cookie", "c" + std::to_string(i) + "=" + std::to_string(i));
  site_.Enqueue(response);

  const std::vector<std::string> values = VisitSiteAfterSuccess(context_);
  ASSERT_EQ(values.size(), 8u);
  EXPECT_EQ(values.front(), "c1=1");
  EXPECT_EQ(values.back(), "c8=8");
  EXPECT_EQ(context_.cookies().All().size(), 9u);
  // The stored cookies went with the request; a redirect must not carry them to another host.
  EXPECT_EQ(platform_.request_count(), 0u);
}

}  // namespace
}  // namespace qrv
