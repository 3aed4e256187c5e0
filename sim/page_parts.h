#pragma once
// Pieces every simulated web page shares: the HTML frame, the line that names the logged-in
// account, the site's link bar and path helpers. Internal to the page code.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "sim/pages.h"

namespace qrv::sim {

inline constexpr std::string_view kGameName = "玄岚城";

// The non-empty segments of a decoded path: "/pay/g/qrv/" gives {"pay", "g", "qrv"}.
std::vector<std::string> Segments(const std::string& path);
// Segment `index`, or "" when the path is shorter.
std::string SegmentAt(const std::vector<std::string>& segments, std::size_t index);
bool StartsWith(const std::vector<std::string>& segments, std::initializer_list<std::string_view> prefix);

// A whole UTF-8 page; `page` names it in the request log.
Response Html(int status, const std::string& title, const std::string& body, const std::string& page);
// "账号：<account>（<nick>）" for the session's account, or "未登录".
std::string ViewerLine(const PageContext& context);
std::string SiteLinks();
std::string LineName(const std::string& type);
std::string StateName(const std::string& state);

// Pages of the game itself: the game page, the tool panel framed inside it, and the pay page.
Response GamePage(const PageContext& context, const std::string& code);
Response GamePanel(const std::string& code);
// The game page's report of its local storage ("/joinGame/storage/?found=...&kept=..."): logged
// as the event "game_storage" with what the page found and what it keeps now.
Response GameStorageReport(const Request& request);
Response PayPage(const PageContext& context, const std::vector<std::string>& segments);

}  // namespace qrv::sim
