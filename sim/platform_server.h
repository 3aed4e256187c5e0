#pragma once
// The simulated platform: one libsoup server on 127.0.0.1 that stands in for every host of the
// platform at once (site, interface, game site, statistics, pay, forum, service), telling the
// requests apart by path. It keeps logins in memory (session cookie -> account), checks every
// signature on its own, and logs each request as a JSON line before answering it.

#include <glib.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "sim/http_types.h"
#include "sim/platform_data.h"
#include "sim/request_log.h"

typedef struct _SoupServer SoupServer;
typedef struct _SoupServerMessage SoupServerMessage;

namespace qrv::sim {

class PlatformServer {
 public:
  PlatformServer(PlatformData data, RequestLog& log);
  ~PlatformServer();
  PlatformServer(const PlatformServer&) = delete;
  PlatformServer& operator=(const PlatformServer&) = delete;

  // Listens on 127.0.0.1:`port` (0: any free port). On failure returns false with the reason.
  bool Listen(int port, std::string& error);
  int port() const { return port_; }
  // Listens for HTTPS on 127.0.0.1:`port` (0: any free port) beside the plain listener, with the
  // certificate and key of the given PEM files. On failure returns false with the reason.
  bool ListenTls(int port, const std::string& certificate_file, const std::string& key_file,
                 std::string& error);
  int tls_port() const { return tls_port_; }
  // "http://127.0.0.1:<port>"
  std::string base_url() const;

  // Answers one decoded request, telling the platform's hosts apart by path.
  Response Handle(const Request& request);

  // What /__sim/chat-push does: (acceptance agent, text agent, text) -> connections reached.
  using ChatPusher = std::function<int(std::uint64_t, std::uint64_t, const std::string&)>;
  void SetChatPusher(ChatPusher pusher) { chat_pusher_ = std::move(pusher); }

 private:
  static void OnRequest(SoupServer* server, SoupServerMessage* message, const char* path, GHashTable* query,
                        void* self);
  void Serve(SoupServerMessage* message);
  std::uint64_t ConnectionId(SoupServerMessage* message);

  const Account* SessionAccount(const Request& request) const;
  Response Login(const Request& request);
  Response Heartbeat(const Request& request) const;
  Response Profile(const Request& request) const;
  Response ServerList(const Request& request) const;
  Response NewsList() const;
  Response ExitNotice(const Request& request);
  Response Statistics(const Request& request) const;
  Response DropSessions();
  Response SetDelay(const Request& request);
  Response SetGameDownload(const Request& request);
  static Response DownloadFile();
  static Response Redirect(const Request& request);
  Response ChatPush(const Request& request);
  // Sends `response` for `message` now.
  void Respond(SoupServerMessage* message, const Response& response);

  PlatformData data_;
  RequestLog& log_;
  SoupServer* server_ = nullptr;
  int port_ = 0;
  int tls_port_ = 0;
  std::uint64_t next_connection_id_ = 1;
  std::map<std::string, std::string> sessions_;  // session cookie value -> account
  // How long the platform takes to answer (milliseconds; 0 at once, -1 never), set by tests
  // through /__sim/delay?ms=N. The simulator's own controls always answer at once.
  int delay_ms_ = 0;
  bool game_page_downloads_ = false;
  long delayed_left_ = -1;  // requests the delay still holds for; -1 for every one
  ChatPusher chat_pusher_;
};

}  // namespace qrv::sim
