#include "net/follow_up_visit.h"

#include <glib.h>

#include <ctime>
#include <string_view>

#include "net/cookie_line.h"
#include "net/curl_handles.h"
#include "net/web_context.h"

namespace qrv {
namespace {

constexpr char kApplicationAgent[] = "zelto_qrv";
constexpr std::size_t kMaxSetCookies = 8;

struct VisitState {
  std::vector<std::string> set_cookies;
};

size_t DropBody(char*, size_t size, size_t count, void*) { return size * count; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && g_ascii_strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

size_t CollectSetCookie(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<VisitState*>(user);
  std::string_view line(data, size * count);
  // An interim response (100 Continue) starts a new header block; only the final one counts.
  if (line.starts_with("HTTP/")) state.set_cookies.clear();
  constexpr std::string_view kName = "Set-Cookie:";
  if (StartsWithNoCase(line, kName) && state.set_cookies.size() < kMaxSetCookies) {
    line.remove_prefix(kName.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    state.set_cookies.emplace_back(line);
  }
  return size * count;
}

}  // namespace

std::vector<std::string> VisitSiteAfterSuccess(WebContext& context) {
  const HostPort site = SplitHostPort(context.deploy().site, 80);
  CurlEasy handle = MakeCurlEasy();
  if (!handle || site.host.empty()) return {};
  CURL* curl = handle.get();

  const std::string stored_cookies = CookieHeaderValue(context.cookies().All(), site.host, "/",
                                                       static_cast<std::int64_t>(std::time(nullptr)));
  std::string cookie_header = "Cookie: Key=somevalue;domain=" + context.deploy().domain;
  if (!stored_cookies.empty()) cookie_header += "; " + stored_cookies;

  CurlSlist headers;
  for (const char* line :
       {"Accept: image/png,*/*;q=0.5", "Accept-Language: zh-cn,zh;q=0.5", "Accept-Encoding: gzip,deflate",
        "Accept-Charset: gb2312,utf-8;q=0.7,*;q=0.7", "Keep-Alive: 300", "Connection: keep-alive"}) {
    AppendHeader(headers, line);
  }
  AppendHeader(headers, cookie_header.c_str());

  // The visit goes the way the login went: over TLS when the site is an https host.
  const std::string url =
      (site.https ? "https://" : "http://") + site.host + ":" + std::to_string(site.port) + "/";
  const WebTimeouts& timeouts = context.timeouts();
  VisitState state;
  Curl()->easy_setopt(curl, CURLOPT_URL, url.c_str());
  Curl()->easy_setopt(curl, CURLOPT_PROTOCOLS_STR, site.https ? "https" : "http");
  ApplyTrust(curl, context.deploy());
  Curl()->easy_setopt(curl, CURLOPT_USERAGENT, kApplicationAgent);
  Curl()->easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  Curl()->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  Curl()->easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
  Curl()->easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.total.count()));
  // A private cookie jar: it starts empty, so libcurl adds no Cookie header of its own next to
  // the one above, and it parses the response's cookies with the right host and path defaults.
  Curl()->easy_setopt(curl, CURLOPT_COOKIEFILE, "");
  Curl()->easy_setopt(curl, CURLOPT_WRITEFUNCTION, &DropBody);
  Curl()->easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CollectSetCookie);
  Curl()->easy_setopt(curl, CURLOPT_HEADERDATA, &state);
  (void)Curl()->easy_perform(curl);

  // Whatever cookies arrived, even on a request that failed later, go into the shared store.
  curl_slist* received = nullptr;
  if (Curl()->easy_getinfo(curl, CURLINFO_COOKIELIST, &received) == CURLE_OK) {
    CurlSlist owned(received);
    for (const curl_slist* item = received; item != nullptr; item = item->next) {
      if (auto cookie = ParseCookieLine(item->data)) context.cookies().Add(*cookie);
    }
  }
  return std::move(state.set_cookies);
}

}  // namespace qrv
