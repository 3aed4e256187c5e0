#include "browser/page_server.h"

#include <cstdio>
#include <cstdlib>

namespace qrv::test {

PageServer::PageServer() : server_(soup_server_new(nullptr, nullptr)) {
  soup_server_add_handler(server_, nullptr, &PageServer::Handle, this, nullptr);
  g_autoptr(GError) error = nullptr;
  if (!soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
    std::fprintf(stderr, "page server: %s\n", error->message);
    std::abort();
  }
  GSList* uris = soup_server_get_uris(server_);
  port_ = uris != nullptr ? g_uri_get_port(static_cast<GUri*>(uris->data)) : 0;
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
}

PageServer::~PageServer() {
  soup_server_disconnect(server_);
  g_object_unref(server_);
}

std::string PageServer::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string PageServer::Url(const std::string& path, const std::string& host_name) const {
  return "http://" + host_name + ":" + std::to_string(port_) + path;
}

void PageServer::SetPage(const std::string& path, Page page) { pages_[path] = std::move(page); }

std::vector<PageRequest> PageServer::RequestsFor(const std::string& path) const {
  std::vector<PageRequest> matching;
  for (const PageRequest& request : requests_) {
    if (request.path == path) matching.push_back(request);
  }
  return matching;
}

void PageServer::Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                        gpointer self) {
  auto* server = static_cast<PageServer*>(self);
  SoupMessageHeaders* headers = soup_server_message_get_request_headers(message);
  const char* host = soup_message_headers_get_one(headers, "Host");
  const char* cookie = soup_message_headers_get_one(headers, "Cookie");
  server->requests_.push_back(
      PageRequest{path, host != nullptr ? host : "", cookie != nullptr ? cookie : ""});

  auto page = server->pages_.find(path);
  const std::string body =
      page != server->pages_.end() ? page->second.html : "<!DOCTYPE html><html><body>empty</body></html>";
  SoupMessageHeaders* out = soup_server_message_get_response_headers(message);
  // Every visit must reach the server, so the tests see each request's cookies.
  soup_message_headers_append(out, "Cache-Control", "no-store");
  if (page != server->pages_.end()) {
    for (const std::string& set_cookie : page->second.set_cookies) {
      soup_message_headers_append(out, "Set-Cookie", set_cookie.c_str());
    }
  }
  soup_server_message_set_status(message, 200, nullptr);
  soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY, body.data(),
                                   body.size());
}

}  // namespace qrv::test
