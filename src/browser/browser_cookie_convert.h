#pragma once
// Cookies between the launcher's store (libcurl's view: a domain plus an include-subdomains flag)
// and WebKit's cookie manager (libsoup's view: a leading dot marks a domain cookie).

#include <libsoup/soup.h>

#include <optional>
#include <string>

#include "net/cookie_store.h"

namespace qrv {

// The cookie with its domain in one spelling: ".example.com" for a domain cookie, "example.com"
// for a host-only one, whatever the store or the browser handed over.
Cookie NormalizedCookie(const Cookie& cookie);

// Identity of a cookie as both jars see it: who it is for and what it is called, not its value.
std::string CookieIdentity(const Cookie& cookie);

// Same identity and the same content: value, expiry and flags.
bool SameCookie(const Cookie& a, const Cookie& b);

// A new SoupCookie for WebKit. SameSite is left at libsoup's default (Lax), as a modern browser
// treats a cookie that names no policy.
SoupCookie* NewSoupCookie(const Cookie& cookie);

// The store's form of a browser cookie; nothing for one without a name or domain.
std::optional<Cookie> CookieFromSoup(SoupCookie* cookie);

// True when a cookie of this domain would be sent to `host` (no port): the same host for a
// host-only cookie, the domain or any of its subdomains for a domain cookie.
bool CookieDomainMatchesHost(const Cookie& cookie, const std::string& host);

}  // namespace qrv
