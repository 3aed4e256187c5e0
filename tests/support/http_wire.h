#pragma once
// The HTTP text of the test server: reading the head of a request and writing an answer.

#include <string>
#include <string_view>

#include "support/http_test_server.h"

namespace qrv::test {

// `head` is the request up to, not including, the blank line that ends it.
HttpRequest ParseRequestHead(std::string_view head);
// HTTP/1.0 keeps the connection only when asked ("Connection: keep-alive"); HTTP/1.1 unless told
// "Connection: close".
bool WantsKeepAlive(const HttpRequest& request);
// Status line, headers and body (cut off where the response says) for a request of `version`.
std::string FormatResponse(const HttpResponse& response, std::string_view version, bool closing);

}  // namespace qrv::test
