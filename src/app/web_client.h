#pragma once
// A blocking HTTP GET client bound to one host. It speaks HTTP/1.0 with keep-alive, sends the
// agent "Microsoft Internet Explorer", never looks at the status (an error page's body comes back
// like any other), and gives empty text on any failure. Time-outs are bounded (connect 10 s,
// whole request 30 s) so a silent host cannot freeze the window for minutes. A body of exactly
// "SUCCESS" is followed by a visit to the platform site's root to pick up its cookies.

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

  // "host" or "host:port". Once the connection is open, a new host changes only the stored text;
  // the open connection keeps its host until Close.
  void SetHost(std::string host);
  const std::string& host() const { return host_; }

  // GET of `path` (no leading slash) on the host; returns the body, or "" on failure.
  std::string Fetch(std::string_view path);

  void Close();
  bool IsOpen() const;

 private:
  struct Impl;
  WebContext& context_;
  std::string host_;
  Impl* impl_ = nullptr;
};

}  // namespace qrv
