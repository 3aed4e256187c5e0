#include "net/cookie_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <fstream>

#include "net/web_client.h"
#include "net/web_context.h"
#include "net/web_test_env.h"
#include "support/http_test_server.h"

namespace qrv {
namespace {

using test::HttpResponse;
using test::HttpTestServer;

std::int64_t InAnHour() { return static_cast<std::int64_t>(std::time(nullptr)) + 3600; }

std::vector<Cookie> Sorted(std::vector<Cookie> cookies) {
  std::sort(cookies.begin(), cookies.end(), [](const Cookie& a, const Cookie& b) { return a.name < b.name; });
  return cookies;
}

std::vector<std::string> Names(const std::vector<Cookie>& cookies) {
  std::vector<std::string> names;
  for (const Cookie& cookie : Sorted(cookies)) names.push_back(cookie.name);
  return names;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

class CookieStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { test::KeepLoopbackOffProxies(); }

  test::TempDir temp_;
  HttpTestServer server_;
};

TEST_F(CookieStoreTest, CookieSetForOneClientIsSentByTheNext) {
  WebContext context(test::LoopbackDeploy(server_.host()), "");
  int changes = 0;
  context.cookies().SetChangeListener([&] { ++changes; });
  server_.Enqueue(HttpResponse::Text("logged in").WithHeader("Set-Cookie", "sid=abc123; Path=/"));
  server_.Enqueue(HttpResponse::Text("alive"));
  server_.Enqueue(HttpResponse::Text("alive"));
  {
    WebClient login(context);
    login.SetHost(server_.host());
    EXPECT_EQ(login.Fetch("clientlogingame.php?action=login"), "logged in");
  }
  EXPECT_EQ(changes, 1);
  {
    WebClient heartbeat(context);
    heartbeat.SetHost(server_.host());
    EXPECT_EQ(heartbeat.Fetch("clientlogingame.php?heart=1"), "alive");
    EXPECT_EQ(heartbeat.Fetch("clientlogingame.php?heart=1"), "alive");
  }
  EXPECT_EQ(changes, 1) << "a request that set nothing is not a change";

  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[0].Header("Cookie"));
  EXPECT_EQ(requests[1].Header("Cookie"), "sid=abc123");
  EXPECT_EQ(requests[2].Header("Cookie"), "sid=abc123");
  const auto cookies = context.cookies().All();
  ASSERT_EQ(cookies.size(), 1u);
  EXPECT_EQ(cookies[0].domain, "127.0.0.1");
  EXPECT_EQ(cookies[0].value, "abc123");
}

TEST_F(CookieStoreTest, LastingCookiesSurviveARestartAndSessionCookiesDoNot) {
  const std::string file = temp_.File("data/cookies.txt");
  // An old file that others could read: the store's file replaces it as the player's own.
  ASSERT_EQ(mkdir(temp_.File("data").c_str(), 0700), 0);
  std::ofstream(file) << "";
  ASSERT_EQ(chmod(file.c_str(), 0664), 0);
  server_.Enqueue(HttpResponse::Text("ok")
                      .WithHeader("Set-Cookie", "remember=yes; Max-Age=86400; Path=/; HttpOnly")
                      .WithHeader("Set-Cookie", "session=s1; Path=/"));
  {
    WebContext context(test::LoopbackDeploy(server_.host()), file);
    WebClient client(context);
    client.SetHost(server_.host());
    client.Fetch("login");
    // Written as soon as the request brought the cookie, not only at exit.
    CookieStore reader(file);
    EXPECT_EQ(Names(reader.All()), std::vector<std::string>{"remember"});
  }
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  CookieStore reloaded(file);
  const auto cookies = reloaded.All();
  ASSERT_EQ(cookies.size(), 1u);
  EXPECT_EQ(cookies[0].name, "remember");
  EXPECT_EQ(cookies[0].value, "yes");
  EXPECT_TRUE(cookies[0].http_only);
  EXPECT_GT(cookies[0].expires, 0);
}

TEST_F(CookieStoreTest, DamagedFileKeepsOnlyItsSoundLines) {
  using namespace std::string_literals;
  const std::string file = temp_.File("cookies.txt");
  const std::string future = std::to_string(InAnHour());
  // A host-only cookie on 127.0.0.1 lasting an hour, with the given last fields.
  auto line = [future](const std::string& rest) {
    return "127.0.0.1\tFALSE\t/\tFALSE\t" + future + "\t" + rest + "\n";
  };
  std::string content = "# Netscape HTTP Cookie File\n";
  content += line("good\t1");
  content += "\x01\x02\xff garbage\n";
  content += "127.0.0.1\tFALSE\t/\tFALSE\tfivefields\n";
  content += line("nul\tx\0y"s);
  content += "127.0.0.1\tFALSE\t/\tFALSE\tsoon\twhen\t1\n";
  content += "127.0.0.1\tMAYBE\t/\tFALSE\t" + future + "\tflag\t1\n";
  content += line("a=b\t1");
  content += line("injected\t1; admin=1");
  content += "127.0.0.1\tFALSE\t/\tFALSE\t1\texpired\t1\n";
  content += "#HttpOnly_.zelto.test\tTRUE\t/\tFALSE\t" + future + "\talso_good\t2";  // no final newline
  WriteFile(file, content);
  {
    CookieStore store(file);
    EXPECT_EQ(Names(store.All()), (std::vector<std::string>{"also_good", "good"}));
    store.Save();
  }
  CookieStore reloaded(file);
  const auto cookies = Sorted(reloaded.All());
  ASSERT_EQ(cookies.size(), 2u);
  EXPECT_EQ(cookies[0].domain, ".zelto.test");
  EXPECT_TRUE(cookies[0].include_subdomains);
  EXPECT_TRUE(cookies[0].http_only);

  WriteFile(file, "\0\0\0\x89PNG\r\n\x1a\n\t\t\t\t\t\t\t\n"s);
  CookieStore binary(file);
  EXPECT_TRUE(binary.All().empty());
}

TEST_F(CookieStoreTest, AddListClearForTheBrowserMirror) {
  CookieStore store("");
  const Cookie domain_cookie{".zelto.test", true, "/", false, InAnHour(), "uid", "42", true};
  const Cookie host_cookie{"www.zelto.test", false, "/game", true, 0, "tab", "3", false};
  store.Add(domain_cookie);
  store.Add(host_cookie);
  store.Add({"www.zelto.test", false, "/", false, 0, "bad;name", "1", false});
  store.Add({"www.zelto.test", false, "/", false, 0, "evil", "1\r\nX: y", false});
  store.Add({"", false, "/", false, 0, "nodomain", "1", false});
  EXPECT_EQ(Sorted(store.All()), (std::vector<Cookie>{host_cookie, domain_cookie}));

  // The same domain, path and name replaces the value.
  Cookie changed = host_cookie;
  changed.value = "4";
  store.Add(changed);
  EXPECT_EQ(Sorted(store.All()), (std::vector<Cookie>{changed, domain_cookie}));

  int changes = 0;
  store.SetChangeListener([&] { ++changes; });
  store.NotifyChanged();
  store.NotifyChanged();
  EXPECT_EQ(changes, 1);
  store.Clear();
  EXPECT_TRUE(store.All().empty());
  store.NotifyChanged();
  EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace qrv
