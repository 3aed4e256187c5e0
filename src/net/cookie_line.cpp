#include "net/cookie_line.h"

#include <algorithm>
#include <charconv>

namespace qrv {
namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

std::optional<bool> ParseFlag(std::string_view text) {
  auto equals = [text](std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(),
                      [](char a, char b) { return (a & ~0x20) == b; });
  };
  if (equals("TRUE")) return true;
  if (equals("FALSE")) return false;
  return std::nullopt;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// A domain cookie never applies to the subdomains of an address literal.
bool IsAddressLiteral(std::string_view host) {
  if (host.find(':') != std::string_view::npos) return true;
  return !host.empty() &&
         std::all_of(host.begin(), host.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

bool DomainMatches(const Cookie& cookie, std::string_view request_host) {
  std::string host = Lower(request_host);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  std::string domain = Lower(cookie.domain);
  if (!domain.empty() && domain.front() == '.') domain.erase(0, 1);
  if (domain.empty()) return false;
  if (host == domain) return true;
  if (!cookie.include_subdomains || IsAddressLiteral(host)) return false;
  return host.size() > domain.size() && host.ends_with(domain) &&
         host[host.size() - domain.size() - 1] == '.';
}

// Path matching of RFC 6265 5.1.4: the cookie's path is the request path or a directory above it.
bool PathMatches(std::string_view cookie_path, std::string_view request_path) {
  if (cookie_path == request_path) return true;
  if (!request_path.starts_with(cookie_path)) return false;
  return cookie_path.ends_with('/') || request_path[cookie_path.size()] == '/';
}

}  // namespace

std::optional<Cookie> ParseCookieLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  Cookie cookie;
  if (line.starts_with(kHttpOnlyPrefix)) {
    cookie.http_only = true;
    line.remove_prefix(kHttpOnlyPrefix.size());
  }
  if (line.empty() || line.front() == '#') return std::nullopt;

  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(
        line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (fields.size() == 6) fields.emplace_back();
  if (fields.size() != 7) return std::nullopt;
  if (std::any_of(fields.begin(), fields.end(), HasControlCharacter)) return std::nullopt;

  const auto subdomains = ParseFlag(fields[1]);
  const auto secure = ParseFlag(fields[3]);
  if (!subdomains || !secure) return std::nullopt;
  std::int64_t expires = 0;
  const std::string_view expiry = fields[4];
  const auto [end, error] = std::from_chars(expiry.data(), expiry.data() + expiry.size(), expires);
  if (error != std::errc() || end != expiry.data() + expiry.size() || expires < 0) return std::nullopt;

  const std::string_view name = fields[5];
  const std::string_view value = fields[6];
  if (fields[0].empty() || !fields[2].starts_with('/') || name.empty()) return std::nullopt;
  if (name.find_first_of("=; ") != std::string_view::npos || value.find(';') != std::string_view::npos) {
    return std::nullopt;
  }

  cookie.domain = fields[0];
  cookie.include_subdomains = *subdomains;
  cookie.path = fields[2];
  cookie.secure = *secure;
  cookie.expires = expires;
  cookie.name = name;
  cookie.value = value;
  return cookie;
}

std::string FormatCookieLine(const Cookie& cookie) {
  std::string line;
  if (cookie.http_only) line += kHttpOnlyPrefix;
  line += cookie.domain;
  line += cookie.include_subdomains ? "\tTRUE\t" : "\tFALSE\t";
  line += cookie.path;
  line += cookie.secure ? "\tTRUE\t" : "\tFALSE\t";
  line += std::to_string(cookie.expires);
  line += '\t';
  line += cookie.name;
  line += '\t';
  line += cookie.value;
  return line;
}

bool CookieMatches(const Cookie& cookie, std::string_view host, std::string_view path, std::int64_t now) {
  if (cookie.expires != 0 && cookie.expires <= now) return false;
  if (cookie.secure) return false;
  return DomainMatches(cookie, host) && PathMatches(cookie.path, path);
}

std::string CookieHeaderValue(const std::vector<Cookie>& cookies, std::string_view host,
                              std::string_view path, std::int64_t now) {
  std::vector<const Cookie*> matching;
  for (const Cookie& cookie : cookies) {
    if (CookieMatches(cookie, host, path, now)) matching.push_back(&cookie);
  }
  // Browsers list the cookies of deeper paths first; a server reading the first of two cookies
  // with one name then gets the more specific one.
  std::stable_sort(matching.begin(), matching.end(),
                   [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
  std::string value;
  for (const Cookie* cookie : matching) {
    if (!value.empty()) value += "; ";
    value += cookie->name;
    value += '=';
    value += cookie->value;
  }
  return value;
}

}  // namespace qrv
