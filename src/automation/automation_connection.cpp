#include "automation/automation_connection.h"

#include <atomic>
#include <functional>
#include <string>

#include "automation/automation_commands.h"

namespace qrv::automation {
namespace {

std::atomic<int> g_live_connections{0};

// A request line longer than this is not a command anybody meant to send. It is refused as soon
// as that many bytes have come without a line end, so a client can never make the program hold
// more than this (and one read) for a connection.
constexpr std::size_t kMaxLineBytes = 1 << 20;
// How much one read asks for.
constexpr gsize kReadBytes = 64 * 1024;

class Connection {
 public:
  Connection(GSocketConnection* connection, GCancellable* cancellable)
      : connection_(G_SOCKET_CONNECTION(g_object_ref(connection))),
        cancellable_(G_CANCELLABLE(g_object_ref(cancellable))),
        input_(g_io_stream_get_input_stream(G_IO_STREAM(connection))) {
    ++g_live_connections;
  }

  ~Connection() {
    g_io_stream_close(G_IO_STREAM(connection_), nullptr, nullptr);
    g_object_unref(cancellable_);
    g_object_unref(connection_);
    --g_live_connections;
  }

  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Answers the next complete line already received, or reads on until one is complete. May
  // delete the connection (the client hung up, or sent a line that is too long).
  void ReadNextLine() {
    for (;;) {
      const auto end = pending_.find('\n');
      if (end == std::string::npos) break;
      std::string request = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      // A client may end its lines with "\n" or "\r\n".
      if (!request.empty() && request.back() == '\r') request.pop_back();
      if (request.size() > kMaxLineBytes) return RefuseLongLine();
      if (request.find_first_not_of(" \t") == std::string::npos) continue;  // blank lines are no requests
      return Reply(PrepareCommand(request));
    }
    if (pending_.size() > kMaxLineBytes) return RefuseLongLine();
    if (ended_) {
      // The last line may come without a line end before the client hangs up.
      if (pending_.find_first_not_of(" \t\r") == std::string::npos) {
        delete this;
        return;
      }
      std::string request = std::move(pending_);
      pending_.clear();
      if (request.back() == '\r') request.pop_back();
      return Reply(PrepareCommand(request));
    }
    g_input_stream_read_async(input_, chunk_, kReadBytes, G_PRIORITY_DEFAULT, cancellable_,
                              &Connection::OnRead, this);
  }

 private:
  static void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
    auto* self = static_cast<Connection*>(data);
    g_autoptr(GError) error = nullptr;
    const gssize count = g_input_stream_read_finish(G_INPUT_STREAM(source), result, &error);
    if (count < 0) {
      // A failed read, or the server going away.
      delete self;
      return;
    }
    if (count == 0) self->ended_ = true;  // the client hung up
    self->pending_.append(self->chunk_, static_cast<std::size_t>(count));
    self->ReadNextLine();
  }

  // The rest of the line is still on its way and nothing after it can be told apart from it:
  // the client gets its answer and the connection ends.
  void RefuseLongLine() {
    pending_.clear();
    ended_ = true;
    close_after_answer_ = true;
    Reply(PreparedCommand{R"({"ok":false,"error":"request line too long"})", nullptr});
  }

  void Reply(PreparedCommand prepared) {
    answer_ = std::move(prepared.answer);
    answer_ += '\n';
    action_ = std::move(prepared.action);
    GOutputStream* output = g_io_stream_get_output_stream(G_IO_STREAM(connection_));
    g_output_stream_write_all_async(output, answer_.data(), answer_.size(), G_PRIORITY_DEFAULT, cancellable_,
                                    &Connection::OnWritten, this);
  }

  static void OnWritten(GObject* source, GAsyncResult* result, gpointer data) {
    auto* self = static_cast<Connection*>(data);
    g_autoptr(GError) error = nullptr;
    if (!g_output_stream_write_all_finish(G_OUTPUT_STREAM(source), result, nullptr, &error) ||
        self->close_after_answer_) {
      delete self;
      return;
    }
    // The next read starts before the action, which may run a modal loop that only the next
    // request ends. From here on `self` may be deleted by that nested loop: it is not touched
    // after the action.
    std::function<void()> action = std::move(self->action_);
    self->action_ = nullptr;
    self->ReadNextLine();
    if (action) action();
  }

  GSocketConnection* connection_;
  GCancellable* cancellable_;
  GInputStream* input_;  // owned by the connection
  char chunk_[kReadBytes];
  std::string pending_;  // received bytes not yet answered
  bool ended_ = false;   // the client will send nothing more
  bool close_after_answer_ = false;
  std::string answer_;
  std::function<void()> action_;
};

}  // namespace

void ServeConnection(GSocketConnection* connection, GCancellable* cancellable) {
  auto* served = new Connection(connection, cancellable);
  served->ReadNextLine();
}

int LiveConnections() { return g_live_connections.load(); }

}  // namespace qrv::automation
