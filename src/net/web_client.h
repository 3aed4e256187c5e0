#pragma once
// A blocking HTTP GET client bound to one host. It speaks HTTP/1.0 with keep-alive, sends the
// agent "Microsoft Internet Explorer", goes direct (no proxy), never looks at the status (an error
// page's body comes back like any other), and gives empty text on any failure. Time-outs are
// bounded (connect 10 s, whole request 30 s, see WebTimeouts) so a silent host cannot freeze the
// window for minutes. A body of exactly "SUCCESS" is followed by a visit to the platform site's
// root to pick up its cookies. Cookies come from and go to the context's shared store.

#include <string>
#include <string_view>

namespace qrv {

class WebContext;

class WebClient {
 public:
  explicit WebClient(WebContext& context);
  ~WebClient();
  WebClient(const WebClient&) = delete;
  WebClient& operator=(const WebClient&) = delete;

  // "host" or "host:port" (port 80 when absent), or either after "https://" (port 443 when
  // absent): then the client speaks TLS, checks the certificate, and follows redirects to https only. Once
  // the connection is open, a new host changes only the stored text; the open connection keeps its host until
  // Close.
  void SetHost(std::string host);
  const std::string& host() const { return host_; }

  // GET of http(s)://<host>/<path> (`path` without a leading slash). Bytes that may not stand in a
  // request target (spaces, quotes, braces, "#", control and non-ASCII bytes) are sent
  // percent-encoded; redirects are followed. Returns the body as text: every 1024-byte chunk of
  // it up to the chunk's first zero byte. Returns "" when the client cannot open (no or a
  // malformed host: it stays closed and the next fetch tries again), when the host cannot be
  // reached, times out, or the body is cut off part-way: a partial body is never returned.
  std::string Fetch(std::string_view path);

  // Releases the handle and its kept-alive connection; the next fetch opens afresh.
  void Close();
  bool IsOpen() const;

 private:
  struct Impl;
  bool Open();

  WebContext& context_;
  std::string host_;
  Impl* impl_ = nullptr;
};

}  // namespace qrv
