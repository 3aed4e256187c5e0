#include "automation/automation_connection.h"

#include <atomic>
#include <functional>
#include <string>

#include "automation/automation_commands.h"

namespace qrv::automation {
namespace {

std::atomic<int> g_live_connections{0};

// A request line longer than this is not a command anybody meant to send.
constexpr gsize kMaxLineBytes = 1 << 20;

class Connection {
 public:
  Connection(GSocketConnection* connection, GCancellable* cancellable)
      : connection_(G_SOCKET_CONNECTION(g_object_ref(connection))),
        cancellable_(G_CANCELLABLE(g_object_ref(cancellable))),
        input_(g_data_input_stream_new(g_io_stream_get_input_stream(G_IO_STREAM(connection)))) {
    // A client may end its lines with "\n" or "\r\n"; the "\r" is trimmed below.
    g_data_input_stream_set_newline_type(input_, G_DATA_STREAM_NEWLINE_TYPE_LF);
    ++g_live_connections;
  }

  ~Connection() {
    g_io_stream_close(G_IO_STREAM(connection_), nullptr, nullptr);
    g_object_unref(input_);
    g_object_unref(cancellable_);
    g_object_unref(connection_);
    --g_live_connections;
  }

  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void ReadNextLine() {
    g_data_input_stream_read_line_async(input_, G_PRIORITY_DEFAULT, cancellable_, &Connection::OnLine, this);
  }

 private:
  static void OnLine(GObject* source, GAsyncResult* result, gpointer data) {
    auto* self = static_cast<Connection*>(data);
    gsize length = 0;
    g_autoptr(GError) error = nullptr;
    g_autofree char* line =
        g_data_input_stream_read_line_finish(G_DATA_INPUT_STREAM(source), result, &length, &error);
    if (line == nullptr) {
      // End of input (the client hung up), a failed read, or the server going away.
      delete self;
      return;
    }
    std::string request(line, length);
    if (!request.empty() && request.back() == '\r') request.pop_back();
    if (request.find_first_not_of(" \t") == std::string::npos) {
      self->ReadNextLine();  // blank lines between requests are no requests
      return;
    }
    if (request.size() > kMaxLineBytes) {
      self->Reply(PreparedCommand{R"({"ok":false,"error":"request line too long"})", nullptr});
      return;
    }
    self->Reply(PrepareCommand(request));
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
    if (!g_output_stream_write_all_finish(G_OUTPUT_STREAM(source), result, nullptr, &error)) {
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
  GDataInputStream* input_;
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
