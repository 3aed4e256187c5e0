// Cookies between the store's form and libsoup's, and the host matching of the copy-back filter.

#include "browser/browser_cookie_convert.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

struct SoupCookieDeleter {
  void operator()(SoupCookie* cookie) const { soup_cookie_free(cookie); }
};
using SoupCookiePtr = std::unique_ptr<SoupCookie, SoupCookieDeleter>;

TEST(BrowserCookieConvert, CarriesEveryFieldBothWays) {
  const Cookie cookies[] = {
      {".zelto.com", true, "/", false, 0, "session", "abc", true},              // domain, session, HttpOnly
      {"127.0.0.1", false, "/game/", true, 2000000000, "token", "x=y", false},  // host-only, expiry, secure
      {"www.zelto.com", false, "/", false, 1700000000, "empty", "", false},
  };
  for (const Cookie& cookie : cookies) {
    SCOPED_TRACE(cookie.name);
    SoupCookiePtr soup(NewSoupCookie(cookie));
    ASSERT_NE(soup, nullptr);
    const auto back = CookieFromSoup(soup.get());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, cookie);
    EXPECT_TRUE(SameCookie(*back, cookie));
  }
}

TEST(BrowserCookieConvert, SpellsTheDomainOneWayWhateverTheSourceWrote) {
  // Libcurl lists a domain cookie with a leading dot; a store caller may leave it off.
  const Cookie without_dot{"Zelto.com", true, "/", false, 0, "a", "1", false};
  const Cookie with_dot{".zelto.com", true, "/", false, 0, "a", "1", false};
  EXPECT_EQ(NormalizedCookie(without_dot).domain, ".zelto.com");
  EXPECT_EQ(CookieIdentity(without_dot), CookieIdentity(with_dot));
  EXPECT_TRUE(SameCookie(without_dot, with_dot));
  // A host-only cookie never carries the dot: libsoup would take it for a domain cookie.
  const Cookie host_only{".www.zelto.com", false, "", false, 0, "a", "1", false};
  EXPECT_EQ(NormalizedCookie(host_only).domain, "www.zelto.com");
  EXPECT_EQ(NormalizedCookie(host_only).path, "/");
  SoupCookiePtr soup(NewSoupCookie(host_only));
  EXPECT_STREQ(soup_cookie_get_domain(soup.get()), "www.zelto.com");

  // Same name and place, other value: one identity, not the same cookie.
  Cookie changed = with_dot;
  changed.value = "2";
  EXPECT_EQ(CookieIdentity(changed), CookieIdentity(with_dot));
  EXPECT_FALSE(SameCookie(changed, with_dot));
  changed = with_dot;
  changed.path = "/other";
  EXPECT_NE(CookieIdentity(changed), CookieIdentity(with_dot));
}

TEST(BrowserCookieConvert, MatchesHostsAsABrowserSendsCookies) {
  const Cookie domain{".zelto.com", true, "/", false, 0, "a", "1", false};
  const Cookie host{"www.zelto.com", false, "/", false, 0, "a", "1", false};
  EXPECT_TRUE(CookieDomainMatchesHost(domain, "zelto.com"));
  EXPECT_TRUE(CookieDomainMatchesHost(domain, "www.zelto.com"));
  EXPECT_TRUE(CookieDomainMatchesHost(domain, "A.B.ZELTO.COM"));
  EXPECT_FALSE(CookieDomainMatchesHost(domain, "evilzelto.com"));
  EXPECT_FALSE(CookieDomainMatchesHost(domain, "zelto.com.evil.net"));
  EXPECT_TRUE(CookieDomainMatchesHost(host, "www.zelto.com"));
  EXPECT_FALSE(CookieDomainMatchesHost(host, "a.www.zelto.com"));
  EXPECT_FALSE(CookieDomainMatchesHost(host, "zelto.com"));
  EXPECT_FALSE(CookieDomainMatchesHost(host, ""));
}

TEST(BrowserCookieConvert, RefusesABrowserCookieWithoutNameOrDomain) {
  SoupCookiePtr nameless(soup_cookie_new("", "v", "zelto.com", "/", -1));
  EXPECT_FALSE(CookieFromSoup(nameless.get()).has_value());
}

}  // namespace
}  // namespace qrv
