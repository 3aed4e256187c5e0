#include "sim/chat_server.h"

#include <gio/gio.h>
#include <sys/socket.h>

#include <array>

#include "sim/chat_session.h"

namespace qrv::sim {
namespace {

std::string HexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    hex.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
    hex.push_back(kDigits[static_cast<unsigned char>(c) & 15]);
  }
  return hex;
}

int PeerPort(GSocketConnection* connection) {
  g_autoptr(GSocketAddress) address = g_socket_connection_get_remote_address(connection, nullptr);
  if (address == nullptr || !G_IS_INET_SOCKET_ADDRESS(address)) return 0;
  return g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(address));
}

}  // namespace

struct ChatServer::Connection {
  Connection(ChatServer* owner, GSocketConnection* accepted, std::uint64_t id, const ChatData& data)
      : server(owner),
        connection(G_SOCKET_CONNECTION(g_object_ref(accepted))),
        cancellable(g_cancellable_new()),
        number(id),
        peer_port(PeerPort(accepted)),
        session(data) {}
  ~Connection() {
    g_object_unref(cancellable);
    g_object_unref(connection);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  ChatServer* server;  // null once the server has let the connection go
  GSocketConnection* connection;
  GCancellable* cancellable;
  std::uint64_t number;
  int peer_port;
  ChatSession session;
  ChatFrameSplitter splitter;
  std::array<char, 4096> chunk{};
  std::string queued;   // answers waiting for the write in flight
  std::string writing;  // the write in flight
};

namespace {

using Connection = ChatServer::Connection;

// Every operation in flight holds the connection.
gpointer Hold(const std::shared_ptr<Connection>& connection) {
  return new std::shared_ptr<Connection>(connection);
}

std::shared_ptr<Connection> Take(gpointer data) {
  std::unique_ptr<std::shared_ptr<Connection>> holder(static_cast<std::shared_ptr<Connection>*>(data));
  return *holder;
}

void OnRead(GObject* source, GAsyncResult* result, gpointer data);
void OnWritten(GObject* source, GAsyncResult* result, gpointer data);

void StartRead(const std::shared_ptr<Connection>& c) {
  GInputStream* input = g_io_stream_get_input_stream(G_IO_STREAM(c->connection));
  g_input_stream_read_async(input, c->chunk.data(), c->chunk.size(), G_PRIORITY_DEFAULT, c->cancellable,
                            OnRead, Hold(c));
}

void Flush(const std::shared_ptr<Connection>& c) {
  c->writing.swap(c->queued);
  GOutputStream* output = g_io_stream_get_output_stream(G_IO_STREAM(c->connection));
  g_output_stream_write_all_async(output, c->writing.data(), c->writing.size(), G_PRIORITY_DEFAULT,
                                  c->cancellable, OnWritten, Hold(c));
}

void Queue(const std::shared_ptr<Connection>& c, const std::string& bytes) {
  if (bytes.empty()) return;
  c->queued += bytes;
  if (c->writing.empty()) Flush(c);
}

// Lets a connection go: logs why, forgets it and shuts it down. Operations still in flight come
// back cancelled and drop their hold.
void EndConnection(const std::shared_ptr<Connection>& c, RequestLog& log, const std::string& reason) {
  log.WriteEvent("chat", "chat_closed",
                 {{"connection", static_cast<std::int64_t>(c->number)},
                  {"peer_port", static_cast<std::int64_t>(c->peer_port)},
                  {"reason", reason}});
  c->server = nullptr;
  g_cancellable_cancel(c->cancellable);
  g_socket_shutdown(g_socket_connection_get_socket(c->connection), TRUE, TRUE, nullptr);
}

void Drop(const std::shared_ptr<Connection>& c, const std::string& reason);

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  const auto c = Take(data);
  g_autoptr(GError) error = nullptr;
  const gssize got = g_input_stream_read_finish(G_INPUT_STREAM(source), result, &error);
  if (c->server == nullptr) return;
  if (got <= 0) {
    Drop(c, got == 0 ? std::string("closed by the client") : std::string(error->message));
    return;
  }
  c->splitter.Append(std::string_view(c->chunk.data(), static_cast<std::size_t>(got)));
  ChatFrame frame;
  while (c->splitter.Next(frame)) {
    std::string text;
    const std::string answer = c->session.Answer(frame, text);
    std::vector<LogField> fields = {{"connection", static_cast<std::int64_t>(c->number)},
                                    {"peer_port", static_cast<std::int64_t>(c->peer_port)},
                                    {"type", static_cast<std::int64_t>(frame.type)},
                                    {"length", static_cast<std::int64_t>(frame.body.size())},
                                    {"body_hex", HexOf(frame.body)}};
    if (frame.type == 9) fields.emplace_back("text", text);
    c->server->log().WriteEvent("chat", "chat_frame", fields);
    Queue(c, answer);
  }
  StartRead(c);
}

void OnWritten(GObject* source, GAsyncResult* result, gpointer data) {
  const auto c = Take(data);
  g_autoptr(GError) error = nullptr;
  const bool written = g_output_stream_write_all_finish(G_OUTPUT_STREAM(source), result, nullptr, &error);
  if (c->server == nullptr) return;
  if (!written) {
    Drop(c, error->message);
    return;
  }
  c->writing.clear();
  if (!c->queued.empty()) Flush(c);
}

void Drop(const std::shared_ptr<Connection>& c, const std::string& reason) {
  ChatServer* server = c->server;
  EndConnection(c, server->log(), reason);
  server->Forget(c->number);
}

}  // namespace

ChatServer::ChatServer(ChatData data, RequestLog& log) : data_(std::move(data)), log_(log) {}

ChatServer::~ChatServer() { Stop(); }

bool ChatServer::Listen(int port, std::string& error) {
  if (service_ != nullptr) return true;
  g_autoptr(GInetAddress) loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new(loopback, static_cast<guint16>(port));
  g_autoptr(GError) listen_error = nullptr;
  // Made by hand so that the receive buffer is set before listening: accepted connections inherit
  // it, and their window is small from the first byte.
  g_autoptr(GSocket) socket =
      g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, &listen_error);
  if (socket != nullptr && receive_buffer_ > 0)
    g_socket_set_option(socket, SOL_SOCKET, SO_RCVBUF, receive_buffer_, nullptr);
  if (socket == nullptr || !g_socket_bind(socket, address, TRUE, &listen_error) ||
      !g_socket_listen(socket, &listen_error)) {
    error = listen_error->message;
    return false;
  }
  GSocketService* service = g_socket_service_new();
  if (!g_socket_listener_add_socket(G_SOCKET_LISTENER(service), socket, nullptr, &listen_error)) {
    error = listen_error->message;
    g_object_unref(service);
    return false;
  }
  g_autoptr(GSocketAddress) effective = g_socket_get_local_address(socket, nullptr);
  port_ = effective != nullptr ? g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(effective)) : port;
  g_signal_connect(service, "incoming", G_CALLBACK(&ChatServer::OnIncoming), this);
  g_socket_service_start(service);
  service_ = service;
  return true;
}

void ChatServer::Stop() {
  if (service_ == nullptr) return;
  for (auto& [number, connection] : connections_) EndConnection(connection, log_, "server stopped");
  connections_.clear();
  g_socket_service_stop(service_);
  g_socket_listener_close(G_SOCKET_LISTENER(service_));
  g_signal_handlers_disconnect_by_data(service_, this);
  g_object_unref(service_);
  service_ = nullptr;
}

void ChatServer::Suspend() {
  if (service_ == nullptr) return;
  Stop();
  log_.WriteEvent("chat", "chat_stopped", {{"port", static_cast<std::int64_t>(port_)}});
}

bool ChatServer::Resume(std::string& error) {
  if (service_ != nullptr) return true;
  if (!Listen(port_, error)) return false;
  log_.WriteEvent("chat", "chat_listening", {{"port", static_cast<std::int64_t>(port_)}});
  return true;
}

void ChatServer::Forget(std::uint64_t number) { connections_.erase(number); }

int ChatServer::Push(std::uint64_t accept_agent, std::uint64_t text_agent, const std::string& text) {
  for (auto& [number, c] : connections_) {
    if (accept_agent != 0) Queue(c, ChatSession::Acceptance(accept_agent));
    if (text_agent != 0) Queue(c, c->session.TextFrom(text_agent, text));
  }
  log_.WriteEvent("chat", "chat_push",
                  {{"accept", static_cast<std::int64_t>(accept_agent)},
                   {"agent", static_cast<std::int64_t>(text_agent)},
                   {"text", text},
                   {"connections", static_cast<std::int64_t>(connections_.size())}});
  return static_cast<int>(connections_.size());
}

int ChatServer::OnIncoming(GSocketService*, GSocketConnection* connection, GObject*, void* self) {
  static_cast<ChatServer*>(self)->Accept(connection);
  return TRUE;
}

void ChatServer::Accept(GSocketConnection* accepted) {
  auto c = std::make_shared<Connection>(this, accepted, next_connection_++, data_);
  connections_.emplace(c->number, c);
  log_.WriteEvent("chat", "chat_open",
                  {{"connection", static_cast<std::int64_t>(c->number)},
                   {"peer_port", static_cast<std::int64_t>(c->peer_port)}});
  Queue(c, c->session.Opening());
  StartRead(c);
}

}  // namespace qrv::sim
