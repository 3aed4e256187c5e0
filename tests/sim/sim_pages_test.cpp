// The web pages the launcher opens in its browser views.

#include <gtest/gtest.h>

#include "sim/sim_test_support.h"

namespace qrv::sim::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(SimTest, GamePageShowsTheServerAndTheSessionsAccount) {
  HttpClient client;
  const std::string game = Url("/joinGame/code/qrv3/gamebarhide/1/");
  const HttpResult before = client.Get(game);
  EXPECT_EQ(before.status, 200);
  EXPECT_TRUE(Contains(before.body, "<meta charset=\"utf-8\">"));
  EXPECT_TRUE(Contains(before.body, "[3服]电信3区"));
  EXPECT_TRUE(Contains(before.body, "未登录"));
  EXPECT_TRUE(Contains(before.body, "target=\"_blank\""));

  ASSERT_EQ(client.Get(Url(LoginPath("玄岚侠客", "xiake888", "1765000000"))).body, "SUCCESS");
  const HttpResult after = client.Get(game);
  EXPECT_TRUE(Contains(after.body, "玄岚侠客"));
  EXPECT_FALSE(Contains(after.body, "未登录"));

  EXPECT_EQ(client.Get(Url("/joinGame/code/nosuch/gamebarhide/1/")).status, 404);
}

TEST_F(SimTest, EveryPageTheLauncherOpensIsServed) {
  HttpClient client;
  const HttpResult root = client.Get(Url("/"));
  EXPECT_EQ(root.status, 200);
  ASSERT_EQ(root.set_cookies.size(), 1u);
  EXPECT_EQ(root.set_cookies[0].rfind("qrv_site=1", 0), 0u);

  for (const char* path : {"/register/", "/forum-544-1.html", "/pay/g/qrv/", "/xwgg/list-1314.htm",
                           "/service/", "/joinGame/panel/qrv3/"}) {
    const HttpResult page = client.Get(Url(path));
    EXPECT_EQ(page.status, 200) << path;
    EXPECT_TRUE(Contains(page.body, "<html")) << path;
  }
  // The pay address of the main frame carries the server label and the profile's code; a name
  // without brackets leaves the server segment empty.
  const HttpResult pay = client.Get(Url("/pay/g/qrv/s/3/u/a7f3c2/"));
  EXPECT_EQ(pay.status, 200);
  EXPECT_TRUE(Contains(pay.body, "风之旅人"));
  EXPECT_EQ(client.Get(Url("/pay/g/qrv/s//u/a7f3c2/")).status, 200);

  const HttpResult feedback = client.Get(Url("/boxfeedback/type/argee/u/" + Escape("玄岚侠客") + "/"));
  EXPECT_EQ(feedback.status, 200);
  EXPECT_TRUE(Contains(feedback.body, "玄岚侠客"));
  // Whatever arrives in the path is shown as text, never as markup.
  const HttpResult hostile =
      client.Get(Url("/boxfeedback/type/argee/u/" + Escape("<script>x</script>") + "/"));
  EXPECT_FALSE(Contains(hostile.body, "<script>"));

  EXPECT_EQ(client.Get(Url("/no/such/page.html")).status, 404);
}

}  // namespace
}  // namespace qrv::sim::testing
