#pragma once
// A libsoup web server on 127.0.0.1 for the browser view tests. It runs on the thread's default
// main context, the one WebKit and the tests iterate, and records every request it answers.

#include <libsoup/soup.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qrv::test {

struct PageRequest {
  std::string path;
  std::string host;    // the Host header: "127.0.0.1:<port>" or "localhost:<port>"
  std::string cookie;  // the Cookie header, empty when none came
};

struct Page {
  Page() = default;
  explicit Page(std::string page_html, std::vector<std::string> cookies = {})
      : html(std::move(page_html)), set_cookies(std::move(cookies)) {}
  std::string html;
  std::vector<std::string> set_cookies;  // each sent as a Set-Cookie header
};

class PageServer {
 public:
  PageServer();  // listens at once; fails the test program when it cannot
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  int port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string host() const;
  // "http://<host name>:<port><path>"
  std::string Url(const std::string& path, const std::string& host_name = "127.0.0.1") const;

  // Answers `path` with the page; any other path gets a small empty page.
  void SetPage(const std::string& path, Page page);
  const std::vector<PageRequest>& requests() const { return requests_; }
  std::vector<PageRequest> RequestsFor(const std::string& path) const;

 private:
  static void Handle(SoupServer* server, SoupServerMessage* message, const char* path, GHashTable* query,
                     gpointer self);

  SoupServer* server_ = nullptr;
  int port_ = 0;
  std::map<std::string, Page> pages_;
  std::vector<PageRequest> requests_;
};

}  // namespace qrv::test
