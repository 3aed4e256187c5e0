#include "sim/platform_server.h"

#include <libsoup/soup.h>

#include "sim/pages.h"

namespace qrv::sim {
namespace {

// Marks each accepted socket with the number of its connection; a new TCP connection is a new
// GSocket object, so the mark cannot carry over even when the kernel reuses the address.
GQuark ConnectionQuark() {
  static const GQuark quark = g_quark_from_static_string("qrv-sim-connection");
  return quark;
}

// The path and query as they were escaped on the wire. libsoup keeps them apart, except for an
// HTTP/1.0 request without a Host header, whose whole target it takes as the path; the query is
// split off here in that case.
void SplitTarget(GUri* uri, std::string& path, std::string& query) {
  path = g_uri_get_path(uri);
  if (const char* raw_query = g_uri_get_query(uri)) {
    query = raw_query;
    return;
  }
  const auto mark = path.find('?');
  if (mark != std::string::npos) {
    query = path.substr(mark + 1);
    path.resize(mark);
  }
}

const char* VersionText(SoupHTTPVersion version) { return version == SOUP_HTTP_1_0 ? "1.0" : "1.1"; }

int PeerPort(SoupServerMessage* message) {
  GSocketAddress* address = soup_server_message_get_remote_address(message);
  if (address == nullptr || !G_IS_INET_SOCKET_ADDRESS(address)) return 0;
  return g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(address));
}

int LocalPort(SoupServerMessage* message) {
  GSocketAddress* address = soup_server_message_get_local_address(message);
  if (address == nullptr || !G_IS_INET_SOCKET_ADDRESS(address)) return 0;
  return g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(address));
}

}  // namespace

PlatformServer::PlatformServer(PlatformData data, RequestLog& log) : data_(std::move(data)), log_(log) {}

PlatformServer::~PlatformServer() {
  if (server_ != nullptr) {
    soup_server_disconnect(server_);
    g_object_unref(server_);
  }
}

bool PlatformServer::Listen(int port, std::string& error) {
  server_ = soup_server_new("server-header", "qrv-sim/1.0 ", nullptr);
  soup_server_add_handler(server_, nullptr, &PlatformServer::OnRequest, this, nullptr);
  g_autoptr(GInetAddress) loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new(loopback, static_cast<guint16>(port));
  g_autoptr(GError) listen_error = nullptr;
  if (!soup_server_listen(server_, address, static_cast<SoupServerListenOptions>(0), &listen_error)) {
    error = listen_error->message;
    return false;
  }
  GSList* uris = soup_server_get_uris(server_);
  if (uris != nullptr) port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  if (port_ <= 0) {
    error = "the server did not report its port";
    return false;
  }
  return true;
}

bool PlatformServer::ListenTls(int port, const std::string& certificate_file, const std::string& key_file,
                               std::string& error) {
  g_autoptr(GError) tls_error = nullptr;
  g_autoptr(GTlsCertificate) certificate =
      g_tls_certificate_new_from_files(certificate_file.c_str(), key_file.c_str(), &tls_error);
  if (certificate == nullptr) {
    error = tls_error->message;
    return false;
  }
  g_object_set(server_, "tls-certificate", certificate, nullptr);
  g_autoptr(GInetAddress) loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new(loopback, static_cast<guint16>(port));
  if (!soup_server_listen(server_, address, SOUP_SERVER_LISTEN_HTTPS, &tls_error)) {
    error = tls_error->message;
    return false;
  }
  GSList* uris = soup_server_get_uris(server_);
  for (GSList* item = uris; item != nullptr; item = item->next) {
    auto* uri = static_cast<GUri*>(item->data);
    if (g_strcmp0(g_uri_get_scheme(uri), "https") == 0) tls_port_ = g_uri_get_port(uri);
  }
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  if (tls_port_ <= 0) {
    error = "the server did not report its TLS port";
    return false;
  }
  return true;
}

std::string PlatformServer::base_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

void PlatformServer::OnRequest(SoupServer*, SoupServerMessage* message, const char*, GHashTable*,
                               void* self) {
  static_cast<PlatformServer*>(self)->Serve(message);
}

std::uint64_t PlatformServer::ConnectionId(SoupServerMessage* message) {
  GSocket* socket = soup_server_message_get_socket(message);
  if (socket == nullptr) return 0;
  auto id = reinterpret_cast<std::uintptr_t>(g_object_get_qdata(G_OBJECT(socket), ConnectionQuark()));
  if (id == 0) {
    id = static_cast<std::uintptr_t>(next_connection_id_++);
    g_object_set_qdata(G_OBJECT(socket), ConnectionQuark(), reinterpret_cast<gpointer>(id));
  }
  return id;
}

void PlatformServer::Serve(SoupServerMessage* message) {
  std::string raw_path;
  std::string raw_query;
  SplitTarget(soup_server_message_get_uri(message), raw_path, raw_query);

  Request request;
  request.method = soup_server_message_get_method(message);
  request.path = PercentDecode(raw_path);
  if (request.path.empty() || request.path.front() != '/') request.path.insert(0, "/");
  request.query = DecodeQuery(raw_query);

  LogRecord record;
  record.method = request.method;
  record.target = raw_query.empty() ? raw_path : raw_path + "?" + raw_query;
  record.http_version = VersionText(soup_server_message_get_http_version(message));
  SoupMessageHeadersIter iter;
  soup_message_headers_iter_init(&iter, soup_server_message_get_request_headers(message));
  const char* name = nullptr;
  const char* value = nullptr;
  while (soup_message_headers_iter_next(&iter, &name, &value)) {
    record.headers.emplace_back(name, value);
    if (g_ascii_strcasecmp(name, "Cookie") == 0) {
      TextPairs cookies = ParseCookies(value);
      request.cookies.insert(request.cookies.end(), cookies.begin(), cookies.end());
    }
  }
  record.query = request.query;
  record.cookies = request.cookies;
  record.peer_port = PeerPort(message);
  record.tls = tls_port_ > 0 && LocalPort(message) == tls_port_;
  record.connection = ConnectionId(message);

  Response response = Handle(request);

  record.status = response.status;
  record.event = response.event;
  record.details = response.details;
  log_.Write(record);

  if (delay_ms_ == 0 || delayed_left_ == 0 || request.path.rfind("/__sim/", 0) == 0) {
    Respond(message, response);
    return;
  }
  if (delayed_left_ > 0) --delayed_left_;
  // A slow or hung platform: the request is logged on arrival and answered late, or never.
  soup_server_message_pause(message);
  if (delay_ms_ < 0) return;
  struct Late {
    PlatformServer* server;
    SoupServerMessage* message;
    Response response;
  };
  auto* late = new Late{this, SOUP_SERVER_MESSAGE(g_object_ref(message)), std::move(response)};
  g_timeout_add_full(
      G_PRIORITY_DEFAULT, static_cast<guint>(delay_ms_),
      [](gpointer data) -> gboolean {
        auto* pending = static_cast<Late*>(data);
        pending->server->Respond(pending->message, pending->response);
        soup_server_message_unpause(pending->message);
        return G_SOURCE_REMOVE;
      },
      late,
      [](gpointer data) {
        auto* pending = static_cast<Late*>(data);
        g_object_unref(pending->message);
        delete pending;
      });
}

void PlatformServer::Respond(SoupServerMessage* message, const Response& response) {
  soup_server_message_set_status(message, static_cast<guint>(response.status), nullptr);
  SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
  // libsoup keeps an HTTP/1.0 connection open only when the response says so; the launcher's
  // statistics client asks for keep-alive and reuses its connection, as its original did.
  if (soup_server_message_get_http_version(message) == SOUP_HTTP_1_0 &&
      soup_message_headers_header_contains(soup_server_message_get_request_headers(message), "Connection",
                                           "keep-alive")) {
    soup_message_headers_replace(headers, "Connection", "Keep-Alive");
  }
  if (!response.location.empty())
    soup_message_headers_replace(headers, "Location", response.location.c_str());
  for (const std::string& cookie : response.set_cookies)
    soup_message_headers_append(headers, "Set-Cookie", cookie.c_str());
  soup_server_message_set_response(message, response.content_type.c_str(), SOUP_MEMORY_COPY,
                                   response.body.data(), response.body.size());
}

Response PlatformServer::Handle(const Request& request) {
  const std::string& path = request.path;
  const std::string action = FindValue(request.query, "action").value_or("");
  if (path == "/clientlogingame.php") {
    if (FindValue(request.query, "heart")) return Heartbeat(request);
    if (action == "login") return Login(request);
  } else if (path == "/clientreglogin.php") {
    if (action == "getprofile") return Profile(request);
    if (action == "exit") return ExitNotice(request);
  } else if (path == "/clientgameserver.php") {
    if (action == "serverlist") return ServerList(request);
  } else if (path == "/news/list-1480-1.xml") {
    return NewsList();
  } else if (path == "/stat.htm") {
    return Statistics(request);
  } else if (path == "/__sim/drop-sessions") {
    return DropSessions();
  } else if (path == "/__sim/delay") {
    return SetDelay(request);
  } else if (path == "/__sim/game-download") {
    return SetGameDownload(request);
  } else if (path == "/__sim/redirect") {
    return Redirect(request);
  } else if (path == "/__sim/download.bin") {
    return DownloadFile();
  } else if (path == "/__sim/chat-push") {
    return ChatPush(request);
  } else {
    return ServePage(PageContext{data_, base_url(), SessionAccount(request), game_page_downloads_}, request);
  }
  Response response;
  response.body = "ILLEGAL_ACTION";
  response.event = "unknown_action";
  response.details = {{"action", action}};
  return response;
}

}  // namespace qrv::sim
