#pragma once
// The text forms of a cookie: one line of a Netscape cookies.txt file (what libcurl's cookie
// engine reads and lists) and the value of a Cookie request header. Internal to the web client
// layer; every cookie that enters the store passes ParseCookieLine, so a damaged file or a
// malformed cookie from the browser view never reaches libcurl.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/cookie_store.h"

namespace qrv {

// "[#HttpOnly_]domain<TAB>TRUE|FALSE<TAB>path<TAB>TRUE|FALSE<TAB>expires<TAB>name<TAB>value".
// Six fields (no value) read as an empty value. Comments, blank lines, control characters, a
// name holding "=" or ";", a value holding ";", a path not starting with "/" or a negative expiry
// give nothing.
std::optional<Cookie> ParseCookieLine(std::string_view line);
std::string FormatCookieLine(const Cookie& cookie);

// True when the cookie would be sent to http://host<path> at `now` (seconds since 1970): not
// expired, not secure (plain HTTP), domain and path matching as browsers match them.
bool CookieMatches(const Cookie& cookie, std::string_view host, std::string_view path, std::int64_t now);

// "a=1; b=2" for the cookies that match, longer paths first, or "" when none does.
std::string CookieHeaderValue(const std::vector<Cookie>& cookies, std::string_view host,
                              std::string_view path, std::int64_t now);

}  // namespace qrv
