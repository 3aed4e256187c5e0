#pragma once
// A request as the handlers see it (already decoded) and the response they hand back. Keeping
// these free of libsoup lets the page and interface code stay plain functions of their input.

#include <string>
#include <vector>

#include "sim/query.h"

namespace qrv::sim {

struct Request {
  std::string method;
  std::string path;  // percent-decoded, always starts with "/"
  TextPairs query;
  TextPairs cookies;
};

struct Response {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
  std::vector<std::string> set_cookies;  // values of Set-Cookie headers
  std::string location;                  // a Location header when not empty (redirects)
  // What the platform made of the request, for the log: an event name and its fields.
  std::string event;
  TextPairs details;
};

}  // namespace qrv::sim
