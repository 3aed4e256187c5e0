#include "chat/chat_socket.h"

#include <gio/gio.h>
#include <netinet/in.h>
#include <netinet/tcp.h>

#include <algorithm>
#include <array>
#include <atomic>

namespace qrv::chat {
namespace {

std::atomic<int> g_live_states{0};

// One read takes what fits a receive buffer; the frame reader joins the pieces.
constexpr std::size_t kReadChunk = 4096;
// Output the server has not taken yet. Past this the server has stopped reading, and the
// connection is given up instead of growing without bound.
constexpr std::size_t kMaxPendingOutput = 1 << 20;
// Seconds a connection attempt may take. Cleared once connected: the server may say nothing for
// as long as it likes, as long as its machine still acknowledges what the launcher sends.
constexpr guint kConnectTimeoutSeconds = 10;
// Unanswered keepalive probes after which an idle connection counts as gone.
constexpr int kKeepaliveProbes = 4;

}  // namespace

struct ChatSocket::State {
  State(ChatSocketEvents* owner, unsigned silence)
      : events(owner), cancellable(g_cancellable_new()), silence_seconds(silence) {
    ++g_live_states;
  }
  ~State() {
    DropWriteSource();
    if (connection != nullptr) g_object_unref(connection);
    g_object_unref(cancellable);
    --g_live_states;
  }
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  GSocket* socket() const { return g_socket_connection_get_socket(connection); }

  void DropWriteSource() {
    if (write_source == nullptr) return;
    GSource* source = write_source;
    write_source = nullptr;
    g_source_destroy(source);
    g_source_unref(source);
  }

  // Ends the connection after a failed write: the pending read then sees the end of the stream
  // and reports it.
  void Break() {
    broken = true;
    pending_output.clear();
    DropWriteSource();
    if (connection != nullptr) g_socket_shutdown(socket(), TRUE, TRUE, nullptr);
  }

  ChatSocketEvents* events;  // null once the ChatSocket is gone
  GCancellable* cancellable;
  unsigned silence_seconds;
  GSocketConnection* connection = nullptr;
  bool broken = false;
  std::array<char, kReadChunk> read_buffer{};
  std::string pending_output;
  GSource* write_source = nullptr;
};

namespace {

using State = ChatSocket::State;

// A strong reference to the state travels with every operation in flight.
gpointer Hold(const std::shared_ptr<State>& state) { return new std::shared_ptr<State>(state); }

std::shared_ptr<State> Take(gpointer data) {
  std::unique_ptr<std::shared_ptr<State>> holder(static_cast<std::shared_ptr<State>*>(data));
  return *holder;
}

void ReleaseHolder(gpointer data) { delete static_cast<std::shared_ptr<State>*>(data); }

void OnRead(GObject* source, GAsyncResult* result, gpointer data);

// A peer that vanished without closing never tells: the kernel is asked to find out. Unacked
// data (a text, the heartbeat, or output the peer's full receive window holds back) ends the
// connection after `silence` seconds; an idle connection is probed from half that time on.
void WatchForSilence(GSocket* socket, unsigned silence) {
  const int seconds = static_cast<int>(std::max(1u, silence));
  g_socket_set_keepalive(socket, TRUE);
  g_socket_set_option(socket, IPPROTO_TCP, TCP_KEEPIDLE, std::max(1, seconds / 2), nullptr);
  g_socket_set_option(socket, IPPROTO_TCP, TCP_KEEPINTVL, std::max(1, seconds / 8), nullptr);
  g_socket_set_option(socket, IPPROTO_TCP, TCP_KEEPCNT, kKeepaliveProbes, nullptr);
  g_socket_set_option(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, seconds * 1000, nullptr);
}

void StartRead(const std::shared_ptr<State>& state) {
  GInputStream* input = g_io_stream_get_input_stream(G_IO_STREAM(state->connection));
  g_input_stream_read_async(input, state->read_buffer.data(), state->read_buffer.size(), G_PRIORITY_DEFAULT,
                            state->cancellable, OnRead, Hold(state));
}

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  const auto state = Take(data);
  g_autoptr(GError) error = nullptr;
  const gssize got = g_input_stream_read_finish(G_INPUT_STREAM(source), result, &error);
  if (state->events == nullptr) return;
  if (got <= 0) {
    state->broken = true;
    state->events->OnSocketEnded(got == 0 ? std::string("closed by the server")
                                          : std::string(error->message));
    return;
  }
  state->events->OnSocketReceived(std::string_view(state->read_buffer.data(), static_cast<std::size_t>(got)));
  // The owner may have let the socket go while handling the bytes. After a failed write the
  // next read ends at once (the socket was shut down) and reports the end.
  if (state->events != nullptr) StartRead(state);
}

void OnConnected(GObject* source, GAsyncResult* result, gpointer data) {
  const auto state = Take(data);
  g_autoptr(GError) error = nullptr;
  GSocketConnection* connection =
      g_socket_client_connect_to_host_finish(G_SOCKET_CLIENT(source), result, &error);
  if (state->events == nullptr) {
    if (connection != nullptr) g_object_unref(connection);
    return;
  }
  if (connection == nullptr) {
    state->broken = true;
    state->events->OnSocketEnded(error->message);
    return;
  }
  state->connection = connection;
  GSocket* socket = state->socket();
  g_socket_set_timeout(socket, 0);
  // Frames are small and spaced out; waiting to join them with later ones only delays them.
  g_socket_set_option(socket, IPPROTO_TCP, TCP_NODELAY, 1, nullptr);
  WatchForSilence(socket, state->silence_seconds);
  StartRead(state);
  state->events->OnSocketConnected();
}

gboolean OnWritable(GObject* stream, gpointer data) {
  // A copy: dropping the source below frees the holder that `data` points to.
  const std::shared_ptr<State> state = *static_cast<std::shared_ptr<State>*>(data);
  if (state->events == nullptr || state->broken) return G_SOURCE_REMOVE;
  g_autoptr(GError) error = nullptr;
  const gssize written = g_pollable_output_stream_write_nonblocking(
      G_POLLABLE_OUTPUT_STREAM(stream), state->pending_output.data(), state->pending_output.size(), nullptr,
      &error);
  if (written < 0) {
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK)) return G_SOURCE_CONTINUE;
    state->Break();
    return G_SOURCE_REMOVE;
  }
  state->pending_output.erase(0, static_cast<std::size_t>(written));
  if (!state->pending_output.empty()) return G_SOURCE_CONTINUE;
  g_source_unref(state->write_source);
  state->write_source = nullptr;
  return G_SOURCE_REMOVE;
}

void WatchWritable(const std::shared_ptr<State>& state) {
  GOutputStream* output = g_io_stream_get_output_stream(G_IO_STREAM(state->connection));
  GSource* source =
      g_pollable_output_stream_create_source(G_POLLABLE_OUTPUT_STREAM(output), state->cancellable);
  g_source_set_callback(source, G_SOURCE_FUNC(OnWritable), Hold(state), ReleaseHolder);
  g_source_attach(source, g_main_context_get_thread_default());
  state->write_source = source;
}

}  // namespace

ChatSocket::ChatSocket(ChatSocketEvents& events, const std::string& host, int port, unsigned silence_seconds)
    : state_(std::make_shared<State>(&events, silence_seconds)) {
  g_autoptr(GSocketClient) client = g_socket_client_new();
  g_socket_client_set_enable_proxy(client, FALSE);
  g_socket_client_set_timeout(client, kConnectTimeoutSeconds);
  g_socket_client_connect_to_host_async(client, host.c_str(), static_cast<guint16>(port), state_->cancellable,
                                        OnConnected, Hold(state_));
}

ChatSocket::~ChatSocket() {
  state_->events = nullptr;
  g_cancellable_cancel(state_->cancellable);
  state_->DropWriteSource();
  // The server sees the connection end now, not when the cancelled read comes back.
  if (state_->connection != nullptr) g_socket_shutdown(state_->socket(), TRUE, TRUE, nullptr);
}

bool ChatSocket::connected() const { return state_->connection != nullptr && !state_->broken; }

bool ChatSocket::was_connected() const { return state_->connection != nullptr; }

bool ChatSocket::Write(std::string_view bytes) {
  State& state = *state_;
  if (!connected()) return false;
  if (bytes.empty()) return true;
  if (state.pending_output.size() + bytes.size() > kMaxPendingOutput) {
    state.Break();
    return false;
  }
  if (!state.pending_output.empty()) {
    state.pending_output.append(bytes);
    return true;
  }
  GOutputStream* output = g_io_stream_get_output_stream(G_IO_STREAM(state.connection));
  g_autoptr(GError) error = nullptr;
  gssize written = g_pollable_output_stream_write_nonblocking(G_POLLABLE_OUTPUT_STREAM(output), bytes.data(),
                                                              bytes.size(), nullptr, &error);
  if (written < 0) {
    if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK)) {
      state.Break();
      return false;
    }
    written = 0;
  }
  if (static_cast<std::size_t>(written) < bytes.size()) {
    state.pending_output.assign(bytes.substr(static_cast<std::size_t>(written)));
    WatchWritable(state_);
  }
  return true;
}

int ChatSocket::LiveStates() { return g_live_states.load(); }

}  // namespace qrv::chat
