#include "automation/automation_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace qrv::testing {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

JsonNode* Member(JsonObject* object, const char* name, GType type) {
  if (object == nullptr || !json_object_has_member(object, name)) return nullptr;
  JsonNode* node = json_object_get_member(object, name);
  return JSON_NODE_HOLDS_VALUE(node) && json_node_get_value_type(node) == type ? node : nullptr;
}

}  // namespace

// --- Answers -------------------------------------------------------------------------------

AutomationAnswer AutomationAnswer::FromLine(std::string line) {
  AutomationAnswer answer;
  answer.line_ = std::move(line);
  g_autoptr(JsonParser) parser = json_parser_new();
  g_autoptr(GError) error = nullptr;
  if (!json_parser_load_from_data(parser, answer.line_.data(), static_cast<gssize>(answer.line_.size()),
                                  &error) ||
      !JSON_NODE_HOLDS_OBJECT(json_parser_get_root(parser))) {
    answer.error_ = "the answer is not a JSON object: " + answer.line_;
    return answer;
  }
  answer.root_ = std::shared_ptr<JsonNode>(json_node_copy(json_parser_get_root(parser)), json_node_unref);
  answer.ok_ = answer.Bool("ok");
  answer.error_ = answer.String("error");
  return answer;
}

AutomationAnswer AutomationAnswer::TransportFailure(std::string message) {
  AutomationAnswer answer;
  answer.error_ = std::move(message);
  return answer;
}

JsonObject* AutomationAnswer::object() const { return root_ ? json_node_get_object(root_.get()) : nullptr; }

std::string AutomationAnswer::String(const char* member, const std::string& fallback) const {
  JsonNode* node = Member(object(), member, G_TYPE_STRING);
  return node != nullptr ? json_node_get_string(node) : fallback;
}

std::int64_t AutomationAnswer::Int(const char* member, std::int64_t fallback) const {
  JsonNode* node = Member(object(), member, G_TYPE_INT64);
  return node != nullptr ? json_node_get_int(node) : fallback;
}

bool AutomationAnswer::Bool(const char* member, bool fallback) const {
  JsonNode* node = Member(object(), member, G_TYPE_BOOLEAN);
  return node != nullptr ? json_node_get_boolean(node) != FALSE : fallback;
}

// --- Requests ------------------------------------------------------------------------------

AutomationRequest::AutomationRequest(const std::string& cmd) : object_(json_object_new()) {
  json_object_set_string_member(object_, "cmd", cmd.c_str());
}

AutomationRequest::~AutomationRequest() { json_object_unref(object_); }

AutomationRequest& AutomationRequest::Set(const char* name, const std::string& value) {
  json_object_set_string_member(object_, name, value.c_str());
  return *this;
}

AutomationRequest& AutomationRequest::Set(const char* name, std::int64_t value) {
  json_object_set_int_member(object_, name, value);
  return *this;
}

AutomationRequest& AutomationRequest::Set(const char* name, bool value) {
  json_object_set_boolean_member(object_, name, value);
  return *this;
}

std::string AutomationRequest::Line() const {
  g_autoptr(JsonNode) root = json_node_new(JSON_NODE_OBJECT);
  json_node_set_object(root, object_);
  g_autoptr(JsonGenerator) generator = json_generator_new();
  json_generator_set_root(generator, root);
  g_autofree char* text = json_generator_to_data(generator, nullptr);
  return text;
}

// --- The connection ------------------------------------------------------------------------

AutomationClient::AutomationClient(std::string socket_path, int timeout_ms)
    : socket_path_(std::move(socket_path)), timeout_ms_(timeout_ms) {}

AutomationClient::~AutomationClient() { Disconnect(); }

void AutomationClient::Disconnect() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  pending_.clear();
}

bool AutomationClient::Connect(std::string* error) {
  if (fd_ >= 0) return true;
  sockaddr_un address{};
  if (socket_path_.size() >= sizeof address.sun_path) {
    *error = "socket path too long";
    return false;
  }
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, socket_path_.c_str(), socket_path_.size() + 1);
  // The program may still be starting: until the deadline, a missing or refusing socket is
  // tried again.
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms_);
  for (;;) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      *error = std::string("socket: ") + std::strerror(errno);
      return false;
    }
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      fd_ = fd;
      return true;
    }
    const int failure = errno;
    close(fd);
    if (MillisecondsLeft(deadline) == 0) {
      *error = "cannot connect to " + socket_path_ + ": " + std::strerror(failure);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

AutomationAnswer AutomationClient::Send(const std::string& json) {
  std::string error;
  if (!Connect(&error)) return AutomationAnswer::TransportFailure(error);
  const std::string line = json + "\n";
  for (std::size_t sent = 0; sent < line.size();) {
    const ssize_t n = send(fd_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Disconnect();
      return AutomationAnswer::TransportFailure(std::string("cannot send the request: ") +
                                                std::strerror(errno));
    }
    sent += static_cast<std::size_t>(n);
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms_);
  for (;;) {
    const auto newline = pending_.find('\n');
    if (newline != std::string::npos) {
      std::string answer = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return AutomationAnswer::FromLine(std::move(answer));
    }
    pollfd readable{fd_, POLLIN, 0};
    const int ready = poll(&readable, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      // A late answer would be taken for the next request's: this connection is done.
      Disconnect();
      return AutomationAnswer::TransportFailure("no answer within " + std::to_string(timeout_ms_) + " ms");
    }
    char buffer[4096];
    const ssize_t n = ready < 0 ? -1 : recv(fd_, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Disconnect();
      return AutomationAnswer::TransportFailure("the connection closed before the answer");
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

AutomationAnswer AutomationClient::Windows() { return Send(AutomationRequest("windows")); }

AutomationAnswer AutomationClient::Control(const std::string& cls, const std::string& name) {
  return Send(AutomationRequest("control").Set("class", cls).Set("name", name));
}

AutomationAnswer AutomationClient::Click(const std::string& cls, const std::string& name) {
  return Send(AutomationRequest("click").Set("class", cls).Set("name", name));
}

AutomationAnswer AutomationClient::SetText(const std::string& cls, const std::string& name,
                                           const std::string& text) {
  return Send(AutomationRequest("settext").Set("class", cls).Set("name", name).Set("text", text));
}

AutomationAnswer AutomationClient::Select(const std::string& cls, const std::string& name, bool selected) {
  return Send(AutomationRequest("select").Set("class", cls).Set("name", name).Set("selected", selected));
}

AutomationAnswer AutomationClient::Key(const std::string& cls, unsigned vk) {
  return Send(AutomationRequest("key").Set("class", cls).Set("vk", static_cast<std::int64_t>(vk)));
}

std::int64_t AutomationClient::WaitForWindow(const std::string& cls, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    const AutomationAnswer answer = Windows();
    JsonObject* object = answer.object();
    JsonNode* windows = object != nullptr && json_object_has_member(object, "windows")
                            ? json_object_get_member(object, "windows")
                            : nullptr;
    if (answer.ok() && windows != nullptr && JSON_NODE_HOLDS_ARRAY(windows)) {
      JsonArray* list = json_node_get_array(windows);
      for (guint i = 0; i < json_array_get_length(list); ++i) {
        JsonObject* window = json_array_get_object_element(list, i);
        if (window == nullptr) continue;
        if (g_strcmp0(json_object_get_string_member_with_default(window, "class", ""), cls.c_str()) == 0 &&
            json_object_get_boolean_member_with_default(window, "visible", FALSE)) {
          return json_object_get_int_member_with_default(window, "hwnd", 0);
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (MillisecondsLeft(deadline) > 0);
  return 0;
}

}  // namespace qrv::testing
