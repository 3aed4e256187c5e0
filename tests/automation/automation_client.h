#pragma once
// A small client of the automation interface for tests and scripts: connects to the program's
// socket (waiting for it to appear, within a timeout), sends one JSON request line at a time and
// reads the answer line.

#include <json-glib/json-glib.h>

#include <cstdint>
#include <memory>
#include <string>

namespace qrv::testing {

// One answer: the line as received and its parsed object. A transport failure (no socket, no
// answer in time, a line that is not JSON) is an answer that is not ok, with the reason as error.
class AutomationAnswer {
 public:
  static AutomationAnswer FromLine(std::string line);
  static AutomationAnswer TransportFailure(std::string message);

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  const std::string& line() const { return line_; }
  // The answer object, or null after a transport failure.
  JsonObject* object() const;
  // Members of the answer object; absent or mistyped members give the fallback.
  std::string String(const char* member, const std::string& fallback = "") const;
  std::int64_t Int(const char* member, std::int64_t fallback = 0) const;
  bool Bool(const char* member, bool fallback = false) const;

 private:
  std::string line_;
  std::string error_;
  bool ok_ = false;
  std::shared_ptr<JsonNode> root_;
};

// A request object built member by member, with JSON escaping done properly.
class AutomationRequest {
 public:
  explicit AutomationRequest(const std::string& cmd);
  ~AutomationRequest();
  AutomationRequest(const AutomationRequest&) = delete;
  AutomationRequest& operator=(const AutomationRequest&) = delete;

  AutomationRequest& Set(const char* name, const std::string& value);
  AutomationRequest& Set(const char* name, const char* value) { return Set(name, std::string(value)); }
  AutomationRequest& Set(const char* name, std::int64_t value);
  AutomationRequest& Set(const char* name, int value) { return Set(name, static_cast<std::int64_t>(value)); }
  AutomationRequest& Set(const char* name, bool value);
  std::string Line() const;

 private:
  JsonObject* object_;
};

class AutomationClient {
 public:
  explicit AutomationClient(std::string socket_path, int timeout_ms = 5000);
  ~AutomationClient();
  AutomationClient(const AutomationClient&) = delete;
  AutomationClient& operator=(const AutomationClient&) = delete;

  // Sends one request (a JSON object on one line) and reads its answer.
  AutomationAnswer Send(const std::string& json);
  AutomationAnswer Send(const AutomationRequest& request) { return Send(request.Line()); }

  // Requests for the window of class `cls`.
  AutomationAnswer Windows();
  AutomationAnswer Control(const std::string& cls, const std::string& name);
  AutomationAnswer Click(const std::string& cls, const std::string& name);
  AutomationAnswer SetText(const std::string& cls, const std::string& name, const std::string& text);
  AutomationAnswer Select(const std::string& cls, const std::string& name, bool selected = true);
  AutomationAnswer Key(const std::string& cls, unsigned vk);
  // Waits until a visible window of class `cls` exists; returns its handle, or 0 at the timeout.
  std::int64_t WaitForWindow(const std::string& cls, int timeout_ms);

 private:
  bool Connect(std::string* error);
  void Disconnect();

  std::string socket_path_;
  int timeout_ms_;
  int fd_ = -1;
  std::string pending_;  // bytes read past the last answer line
};

}  // namespace qrv::testing
