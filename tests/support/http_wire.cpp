#include "support/http_wire.h"

#include <algorithm>
#include <cctype>

namespace qrv::test {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return false;
  for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
    if (EqualsNoCase(text.substr(at, word.size()), word)) return true;
  }
  return false;
}

const char* ReasonFor(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

}  // namespace

// Parses the head of a request (up to, not including, the blank line).
HttpRequest ParseRequestHead(std::string_view head) {
  HttpRequest request;
  bool first = true;
  while (!head.empty()) {
    std::size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    head = end == std::string_view::npos ? std::string_view() : head.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      request.request_line = line;
      const std::size_t space1 = line.find(' ');
      const std::size_t space2 = line.rfind(' ');
      request.method = line.substr(0, space1);
      if (space1 != std::string_view::npos && space2 > space1) {
        request.target = line.substr(space1 + 1, space2 - space1 - 1);
        request.version = line.substr(space2 + 1);
      }
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    request.headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
  }
  return request;
}

bool WantsKeepAlive(const HttpRequest& request) {
  const std::string connection = request.Header("Connection").value_or("");
  if (request.version == "HTTP/1.0") return ContainsNoCase(connection, "keep-alive");
  return !ContainsNoCase(connection, "close");
}

std::string FormatResponse(const HttpResponse& response, std::string_view version, bool closing) {
  std::string text = std::string(version) + " " + std::to_string(response.status) + " " +
                     (response.reason.empty() ? ReasonFor(response.status) : response.reason) + "\r\n";
  if (!response.close_delimited) text += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  text += closing ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
  for (const auto& [name, value] : response.headers) text += name + ": " + value + "\r\n";
  text += "\r\n";
  std::string_view body = response.body;
  if (response.cut_off_after) body = body.substr(0, *response.cut_off_after);
  text.append(body);
  return text;
}

std::optional<std::string> HttpRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (EqualsNoCase(key, name)) return value;
  }
  return std::nullopt;
}

std::size_t HttpRequest::HeaderCount(std::string_view name) const {
  return static_cast<std::size_t>(std::count_if(headers.begin(), headers.end(), [name](const auto& header) {
    return EqualsNoCase(header.first, name);
  }));
}

HttpResponse HttpResponse::Text(std::string body, int status) {
  HttpResponse response;
  response.status = status;
  response.body = std::move(body);
  return response;
}

HttpResponse HttpResponse::Silent() {
  HttpResponse response;
  response.silent = true;
  return response;
}

HttpResponse& HttpResponse::WithHeader(std::string name, std::string value) {
  headers.emplace_back(std::move(name), std::move(value));
  return *this;
}

}  // namespace qrv::test
