#pragma once
// The simulated customer-service chat server: a TCP server on 127.0.0.1 speaking the chat
// protocol (chat_session.h) on GLib's main context. Every frame it receives is logged as one
// JSON line in the request log, before it is answered; connections opening and closing, and the
// server stopping and listening again, are logged too.
//
// Suspend closes every connection and stops listening (connections are then refused); Resume
// listens again on the same port, so a test can take the server away under a launcher and watch
// it reconnect. Both are logged ("chat_stopped", "chat_listening").

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "sim/chat_data.h"
#include "sim/request_log.h"

typedef struct _GSocketService GSocketService;
typedef struct _GSocketConnection GSocketConnection;
typedef struct _GObject GObject;

namespace qrv::sim {

class ChatServer {
 public:
  ChatServer(ChatData data, RequestLog& log);
  ~ChatServer();
  ChatServer(const ChatServer&) = delete;
  ChatServer& operator=(const ChatServer&) = delete;

  // Listens on 127.0.0.1:`port` (0: any free port). On failure returns false with the reason.
  bool Listen(int port, std::string& error);
  // The receive buffer of every later connection (SO_RCVBUF, bytes; 0: the system's). A small one
  // lets a test fill it with little data, as a server that stopped reading would.
  void SetReceiveBuffer(int bytes) { receive_buffer_ = bytes; }
  // Sends frames nobody asked for on every open connection, for tests: an acceptance of a chat
  // with `accept_agent` (when not 0), then `text` from `text_agent` (when not 0). Logged as
  // "chat_push"; returns the number of connections.
  int Push(std::uint64_t accept_agent, std::uint64_t text_agent, const std::string& text);
  // Closes every connection and stops listening.
  void Stop();
  // Stop and Listen on the same port again, each logged.
  void Suspend();
  bool Resume(std::string& error);
  bool listening() const { return service_ != nullptr; }
  int port() const { return port_; }
  RequestLog& log() { return log_; }
  // Lets go of a connection that ended.
  void Forget(std::uint64_t number);

  struct Connection;

 private:
  static int OnIncoming(GSocketService* service, GSocketConnection* connection, GObject* source, void* self);
  void Accept(GSocketConnection* connection);

  ChatData data_;
  RequestLog& log_;
  GSocketService* service_ = nullptr;
  int port_ = 0;
  int receive_buffer_ = 0;
  std::uint64_t next_connection_ = 1;
  std::map<std::uint64_t, std::shared_ptr<Connection>> connections_;
};

}  // namespace qrv::sim
