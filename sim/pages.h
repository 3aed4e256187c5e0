#pragma once
// The web pages the launcher opens in its browser views: the game page, the platform's site root,
// and the register, pay, forum, feedback, news and customer-service pages. They are small but
// real HTML (UTF-8), with links (some opening a new window) so browser tests have something to
// click, and they show which account the session cookie belongs to.

#include <string>

#include "sim/http_types.h"
#include "sim/platform_data.h"

namespace qrv::sim {

struct PageContext {
  const PlatformData& data;
  std::string base;          // "http://127.0.0.1:<port>"
  const Account* viewer;     // the account of the request's session cookie, or null
  bool game_page_downloads;  // game pages start a download by themselves (/__sim/game-download)
};

// Answers a page request by its path; an unknown path gives a 404 page.
Response ServePage(const PageContext& context, const Request& request);

// Escapes text for HTML element content and attribute values.
std::string HtmlEscape(const std::string& text);

// The news url with "{base}" replaced by the simulator's own address.
std::string ExpandUrl(const std::string& url, const std::string& base);

}  // namespace qrv::sim
