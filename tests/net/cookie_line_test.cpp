#include "net/cookie_line.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

constexpr std::int64_t kNow = 1'700'000'000;

Cookie Make(std::string domain, bool subdomains, std::string path, std::string name) {
  Cookie cookie;
  cookie.domain = std::move(domain);
  cookie.include_subdomains = subdomains;
  cookie.path = std::move(path);
  cookie.name = std::move(name);
  cookie.value = "v";
  return cookie;
}

TEST(CookieLineTest, LineRoundTrips) {
  Cookie cookie = Make(".zelto.test", true, "/game", "uid");
  cookie.secure = true;
  cookie.http_only = true;
  cookie.expires = kNow;
  const std::string line = FormatCookieLine(cookie);
  EXPECT_EQ(line, "#HttpOnly_.zelto.test\tTRUE\t/game\tTRUE\t1700000000\tuid\tv");
  EXPECT_EQ(ParseCookieLine(line), cookie);
  EXPECT_EQ(ParseCookieLine("host\tfalse\t/\ttrue\t0\tname\r")->value, "");
}

TEST(CookieLineTest, HeaderCarriesTheCookiesThatMatchTheSite) {
  Cookie expired = Make("www.zelto.test", false, "/", "expired");
  expired.expires = kNow;
  Cookie lasting = Make("www.zelto.test", false, "/", "lasting");
  lasting.expires = kNow + 1;
  Cookie secure = Make("www.zelto.test", false, "/", "secure");
  secure.secure = true;
  const std::vector<Cookie> cookies{
      Make("www.zelto.test", false, "/", "host"),
      Make(".zelto.test", true, "/", "parent"),
      Make("zelto.test", false, "/", "parent_only"),
      Make("a.www.zelto.test", true, "/", "child"),
      Make("otherzelto.test", true, "/", "lookalike"),
      Make("WWW.Zelto.Test", false, "/", "case"),
      Make("www.zelto.test", false, "/game", "deeper"),
      expired,
      lasting,
      secure,
  };
  EXPECT_EQ(CookieHeaderValue(cookies, "www.zelto.test", "/", kNow), "host=v; parent=v; case=v; lasting=v");
  EXPECT_EQ(CookieHeaderValue(cookies, "www.zelto.test", "/game/x", kNow),
            "deeper=v; host=v; parent=v; case=v; lasting=v");
  EXPECT_EQ(CookieHeaderValue(cookies, "www.zelto.test", "/gamex", kNow),
            "host=v; parent=v; case=v; lasting=v");

  // A domain cookie does not reach the subdomains of an address.
  const std::vector<Cookie> by_address{Make("0.0.1", true, "/", "suffix"),
                                       Make("127.0.0.1", true, "/", "exact")};
  EXPECT_EQ(CookieHeaderValue(by_address, "127.0.0.1", "/", kNow), "exact=v");
  EXPECT_EQ(CookieHeaderValue({}, "127.0.0.1", "/", kNow), "");
}

}  // namespace
}  // namespace qrv
