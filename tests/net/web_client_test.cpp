#include "net/web_client.h"

#include <gtest/gtest.h>

#include "net/web_context.h"
#include "net/web_test_env.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

using test::HttpResponse;
using test::HttpTestServer;

class WebClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::KeepLoopbackOffProxies();
    test::UseShortTimeouts(context_);
  }

  HttpTestServer server_;
  WebContext context_{test::LoopbackDeploy(server_.host()), ""};
};

TEST_F(WebClientTest, SpeaksHttp10KeepAliveAndReusesOneConnection) {
  server_.Enqueue(HttpResponse::Text("first"));
  server_.Enqueue(HttpResponse::Text("second"));
  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_FALSE(client.IsOpen());

  EXPECT_EQ(client.Fetch("news/list-1480-1.xml"), "first");
  EXPECT_TRUE(client.IsOpen());
  EXPECT_EQ(client.Fetch("clientlogingame.php?heart=1"), "second");

  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].request_line, "GET /news/list-1480-1.xml HTTP/1.0");
  EXPECT_EQ(requests[1].request_line, "GET /clientlogingame.php?heart=1 HTTP/1.0");
  // Exactly these headers, in this order: no Accept, no cookie while the store is empty.
  const test::HeaderList expected{
      {"Host", server_.host()}, {"User-Agent", "Microsoft Internet Explorer"}, {"Connection", "keep-alive"}};
  EXPECT_EQ(requests[0].headers, expected);
  EXPECT_EQ(server_.connection_count(), 1);
  EXPECT_EQ(requests[1].connection, 1);

  client.Close();
  EXPECT_FALSE(client.IsOpen());
  EXPECT_EQ(client.Fetch("again"), "");
  EXPECT_EQ(server_.connection_count(), 2);
}

TEST_F(WebClientTest, ErrorPagesComeBackLikeAnyBody) {
  server_.Enqueue(HttpResponse::Text("<h1>Server error</h1>", 500));
  server_.Enqueue(HttpResponse::Text("missing", 404));
  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("a"), "<h1>Server error</h1>");
  EXPECT_EQ(client.Fetch("b"), "missing");
}

TEST_F(WebClientTest, ZeroByteEndsTheTextOfItsChunkOnly) {
  using namespace std::string_literals;
  const std::string chunk1 = std::string(10, 'a') + '\0' + std::string(1013, 'b');
  const std::string chunk2 = std::string(500, 'c') + '\0' + std::string(523, 'd');
  const std::string chunk3 = '\0' + std::string(1023, 'x');
  const std::string tail = "tail\0junk"s;
  ASSERT_EQ(chunk1.size() + chunk2.size() + chunk3.size(), 3u * 1024);
  server_.Enqueue(HttpResponse::Text(chunk1 + chunk2 + chunk3 + tail));

  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("list"), std::string(10, 'a') + std::string(500, 'c') + "tail");
}

TEST_F(WebClientTest, FailuresGiveEmptyText) {
  WebClient refused(context_);
  refused.SetHost("127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort()));
  EXPECT_EQ(refused.Fetch("x"), "");

  // A body cut off part-way is not passed on as if it were whole.
  HttpResponse cut = HttpResponse::Text("<data id='1' name='[1]'/><data id='2'/>");
  cut.cut_off_after = 12;
  server_.Enqueue(cut);
  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("list"), "");
}

TEST_F(WebClientTest, SilentHostTimesOutAndTheNextFetchConnectsAfresh) {
  server_.Enqueue(HttpResponse::Silent());
  server_.Enqueue(HttpResponse::Text("back"));
  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("slow"), "");
  EXPECT_EQ(client.Fetch("again"), "back");
  EXPECT_EQ(server_.connection_count(), 2);
}

TEST_F(WebClientTest, BodyEndedByClosingIsWhole) {
  HttpResponse old_style = HttpResponse::Text("no length given");
  old_style.close_delimited = true;
  server_.Enqueue(old_style);
  server_.Enqueue(HttpResponse::Text("next"));
  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("a"), "no length given");
  EXPECT_EQ(client.Fetch("b"), "next");
  EXPECT_EQ(server_.connection_count(), 2);
}

TEST_F(WebClientTest, ClientWithoutAUsableHostStaysClosedAndTriesAgain) {
  WebClient client(context_);
  EXPECT_EQ(client.Fetch("x"), "");
  EXPECT_FALSE(client.IsOpen());
  client.SetHost("bad host name");
  EXPECT_EQ(client.Fetch("x"), "");
  EXPECT_FALSE(client.IsOpen());
  EXPECT_EQ(server_.request_count(), 0u);

  server_.Enqueue(HttpResponse::Text("ok"));
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("x"), "ok");
  EXPECT_TRUE(client.IsOpen());
}

TEST_F(WebClientTest, NewHostOfAnOpenClientWaitsForClose) {
  HttpTestServer other;
  WebClient client(context_);
  client.SetHost(server_.host());
  client.Fetch("one");
  client.SetHost(other.host());
  EXPECT_EQ(client.host(), other.host());
  client.Fetch("two");
  ASSERT_EQ(server_.request_count(), 2u);
  EXPECT_EQ(server_.Requests()[1].Header("Host"), server_.host());
  EXPECT_EQ(other.request_count(), 0u);

  client.Close();
  client.Fetch("three");
  EXPECT_EQ(server_.request_count(), 2u);
  ASSERT_EQ(other.request_count(), 1u);
  EXPECT_EQ(other.Requests()[0].target, "/three");
}

TEST_F(WebClientTest, UnsafeBytesOfThePathAreEscaped) {
  WebClient client(context_);
  client.SetHost(server_.host());
  client.Fetch(
      "clientlogingame.php?action=login&&partner=qrv&account=ab&time=1& addr ={\"\"}&mac=m#1&sign=%41");
  ASSERT_EQ(server_.request_count(), 1u);
  EXPECT_EQ(
      server_.Requests()[0].target,
      "/clientlogingame.php?action=login&&partner=qrv&account=ab&time=1&%20addr%20=%7B%22%22%7D&mac=m%231"
      "&sign=%41");
}

TEST_F(WebClientTest, RedirectsAreFollowed) {
  server_.Enqueue(HttpResponse::Text("moved", 302).WithHeader("Location", "/new/place"));
  server_.Enqueue(HttpResponse::Text("arrived"));
  WebClient client(context_);
  client.SetHost(server_.host());
  EXPECT_EQ(client.Fetch("old"), "arrived");
  ASSERT_EQ(server_.request_count(), 2u);
  EXPECT_EQ(server_.Requests()[1].target, "/new/place");
}

}  // namespace
}  // namespace qrv
