#include "browser/browser_cookie_convert.h"

#include <glib.h>

namespace qrv {
namespace {

std::string BareDomain(const std::string& domain) {
  std::size_t start = 0;
  while (start < domain.size() && domain[start] == '.') ++start;
  // Host names compare without regard to case.
  g_autofree gchar* lower = g_ascii_strdown(domain.c_str() + start, -1);
  return lower;
}

}  // namespace

Cookie NormalizedCookie(const Cookie& cookie) {
  Cookie normal = cookie;
  const std::string bare = BareDomain(cookie.domain);
  normal.domain = cookie.include_subdomains ? "." + bare : bare;
  if (normal.path.empty()) normal.path = "/";
  return normal;
}

std::string CookieIdentity(const Cookie& cookie) {
  const Cookie normal = NormalizedCookie(cookie);
  // Tabs cannot occur in any of the three parts (the store refuses them), so they separate.
  return normal.domain + '\t' + normal.path + '\t' + normal.name;
}

bool SameCookie(const Cookie& a, const Cookie& b) { return NormalizedCookie(a) == NormalizedCookie(b); }

SoupCookie* NewSoupCookie(const Cookie& cookie) {
  const Cookie normal = NormalizedCookie(cookie);
  SoupCookie* soup = soup_cookie_new(normal.name.c_str(), normal.value.c_str(), normal.domain.c_str(),
                                     normal.path.c_str(), -1);
  if (normal.expires > 0) {
    g_autoptr(GDateTime) expires = g_date_time_new_from_unix_utc(normal.expires);
    if (expires != nullptr) soup_cookie_set_expires(soup, expires);
  }
  soup_cookie_set_secure(soup, normal.secure);
  soup_cookie_set_http_only(soup, normal.http_only);
  return soup;
}

std::optional<Cookie> CookieFromSoup(SoupCookie* soup) {
  const char* name = soup_cookie_get_name(soup);
  const char* domain = soup_cookie_get_domain(soup);
  if (name == nullptr || *name == '\0' || domain == nullptr || *domain == '\0') return std::nullopt;
  Cookie cookie;
  cookie.name = name;
  const char* value = soup_cookie_get_value(soup);
  cookie.value = value != nullptr ? value : "";
  cookie.include_subdomains = domain[0] == '.';
  cookie.domain = domain;
  const char* path = soup_cookie_get_path(soup);
  cookie.path = path != nullptr && *path != '\0' ? path : "/";
  if (GDateTime* expires = soup_cookie_get_expires(soup)) cookie.expires = g_date_time_to_unix(expires);
  cookie.secure = soup_cookie_get_secure(soup);
  cookie.http_only = soup_cookie_get_http_only(soup);
  return NormalizedCookie(cookie);
}

bool CookieDomainMatchesHost(const Cookie& cookie, const std::string& host) {
  const std::string bare = BareDomain(cookie.domain);
  const std::string target = BareDomain(host);
  if (bare.empty() || target.empty()) return false;
  if (target == bare) return true;
  if (!cookie.include_subdomains || target.size() <= bare.size()) return false;
  return target.compare(target.size() - bare.size(), bare.size(), bare) == 0 &&
         target[target.size() - bare.size() - 1] == '.';
}

}  // namespace qrv
