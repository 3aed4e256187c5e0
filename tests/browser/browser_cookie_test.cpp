// Cookies between the web clients' store and the pages: what the platform set on a web request
// is sent by the game page, and what the page receives from the platform reaches the store.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <optional>

#include "net/cookie_line.h"
#include "browser/browser_fixture.h"
#include "browser/browser_web_view.h"

namespace qrv::test {
namespace {

class BrowserCookieTest : public BrowserTest {
 protected:
  static std::optional<Cookie> StoreCookie(const std::string& name) {
    for (const Cookie& cookie : web().cookies().All()) {
      if (cookie.name == name) return cookie;
    }
    return std::nullopt;
  }
};

TEST_F(BrowserCookieTest, ACookieSetOnAWebRequestIsSentByThePagesFirstRequest) {
  server().SetPage("/game-1", Page{"<!DOCTYPE html><p>game</p>"});
  server().SetPage("/game-2", Page{"<!DOCTYPE html><p>game</p>"});
  server().SetPage("/game-3", Page{"<!DOCTYPE html><p>game</p>"});
  // As the login request's answer leaves it: added by libcurl, then announced.
  web().cookies().Add(Cookie{"127.0.0.1", false, "/", false, 0, "session", "s1", true});
  web().cookies().NotifyChanged();

  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/game-1")));
  ASSERT_EQ(server().RequestsFor("/game-1").size(), 1u);
  EXPECT_NE(server().RequestsFor("/game-1")[0].cookie.find("session=s1"), std::string::npos);

  // A renewed login replaces the value; the view's next page carries the new one.
  web().cookies().Add(Cookie{"127.0.0.1", false, "/", false, 0, "session", "s2", true});
  web().cookies().NotifyChanged();
  ASSERT_TRUE(LoadPage(view, server().Url("/game-2")));
  EXPECT_NE(server().RequestsFor("/game-2")[0].cookie.find("session=s2"), std::string::npos);

  // A change nobody announced is sent before the next page all the same.
  web().cookies().Add(Cookie{"127.0.0.1", false, "/", false, 0, "quiet", "q1", false});
  ASSERT_TRUE(LoadPage(view, server().Url("/game-3")));
  const std::string sent = server().RequestsFor("/game-3")[0].cookie;
  EXPECT_NE(sent.find("quiet=q1"), std::string::npos);
  EXPECT_NE(sent.find("session=s2"), std::string::npos);

  // A cookie that leaves the store leaves the browser too.
  web().cookies().Clear();
  web().cookies().NotifyChanged();
  server().SetPage("/game-4", Page{"<!DOCTYPE html><p>game</p>"});
  ASSERT_TRUE(LoadPage(view, server().Url("/game-4")));
  EXPECT_EQ(server().RequestsFor("/game-4")[0].cookie, "");
}

TEST_F(BrowserCookieTest, CookiesOfThePlatformsPagesReachTheStoreAndOthersStayInTheBrowser) {
  server().SetPage("/foreign", Page{"<!DOCTYPE html><p>foreign</p>", {"foreign=f1; Path=/"}});
  server().SetPage("/renew", Page{"<!DOCTYPE html><p>renew</p>", {"renewed=r1; Path=/; Max-Age=3600"}});
  server().SetPage("/logout", Page{"<!DOCTYPE html><p>bye</p>", {"renewed=; Path=/; Max-Age=0"}});
  CMyHtmlView& view = MakeView();
  // "localhost" is not one of the platform's hosts.
  ASSERT_TRUE(LoadPage(view, server().Url("/foreign", "localhost")));
  ASSERT_TRUE(LoadPage(view, server().Url("/renew")));
  ASSERT_TRUE(WaitUntil([] { return StoreCookie("renewed").has_value(); }));
  EXPECT_EQ(StoreCookie("renewed")->value, "r1");
  EXPECT_EQ(StoreCookie("renewed")->domain, "127.0.0.1");
  EXPECT_GT(StoreCookie("renewed")->expires, 0);
  // Both came in before the renewed cookie was copied, and only the platform's was.
  EXPECT_FALSE(StoreCookie("foreign").has_value());

  // The platform ends the cookie through the page; the store lets it go as well.
  ASSERT_TRUE(LoadPage(view, server().Url("/logout")));
  // The web clients no longer send it.
  ASSERT_TRUE(WaitUntil([] {
    return CookieHeaderValue(web().cookies().All(), "127.0.0.1", "/", std::time(nullptr)).find("renewed") ==
           std::string::npos;
  }));
}

}  // namespace
}  // namespace qrv::test
