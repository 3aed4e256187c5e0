#include "net/curl_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <thread>

#include "net/web_client.h"
#include "net/web_context.h"
#include "net/web_test_env.h"
#include "platform/first_frame.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

using test::HttpResponse;
using test::HttpTestServer;

TEST(CurlLibraryTest, ALibraryThatIsMissingOrNotLibcurlIsRefusedWithItsReason) {
  std::string error;
  EXPECT_FALSE(CurlLibrary::Open("libqrv-no-such-curl.so.4", &error).loaded());
  EXPECT_NE(error.find("libqrv-no-such-curl.so.4"), std::string::npos) << error;

  error.clear();
  EXPECT_FALSE(CurlLibrary::Open("libc.so.6", &error).loaded());
  EXPECT_EQ(error, "libc.so.6: curl_global_init is missing");

  error.clear();
  EXPECT_TRUE(CurlLibrary::Open(kCurlLibraryFile, &error).loaded()) << error;
}

// The program's start-up, in a process of its own (libcurl is opened once per process): the web
// context is made and a request given to another thread before the first window has painted. The
// request waits for the first frame, then libcurl is opened on that thread and the request is
// answered; the cookie the answer sets lands in the store the UI thread made.
bool RequestBeforeTheFirstFrameIsAnswered() {
  test::KeepLoopbackOffProxies();
  HttpTestServer server;
  HttpResponse answer = HttpResponse::Text("answered");
  answer.headers.emplace_back("Set-Cookie", "session=1; Path=/");
  server.Enqueue(answer);
  WebContext context(test::LoopbackDeploy(server.host()), "");
  test::UseShortTimeouts(context);

  FirstFrame::Expect();  // this thread paints
  std::promise<std::string> body;
  std::thread lane([&] {
    WebClient client(context);
    client.SetHost(server.host());
    body.set_value(client.Fetch("news/list-1480-1.xml"));
  });
  FirstFrame::Painted();
  const std::string text = body.get_future().get();
  lane.join();
  const bool cookie_stored = context.cookies().All().size() == 1;
  return text == "answered" && cookie_stored && server.Requests().size() == 1;
}

TEST(CurlLibraryDeathTest, ARequestMadeBeforeTheFirstFrameIsAnsweredAfterIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(RequestBeforeTheFirstFrameIsAnswered() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qrv
