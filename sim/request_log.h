#pragma once
// The request log: one JSON object per line for every request the simulator answers, flushed
// line by line so a test can read it while the simulator runs. The line is written before the
// response goes out, so a client that has its response can already find the line.
//
// Fields: time (ISO 8601, UTC), method, path (the request target as received, query included),
// http_version, query (decoded key -> value, keys as sent, e.g. " addr "), headers ([name, value]
// pairs in arrival order), cookies (name -> value), peer_port, tls (whether the request came over
// TLS), connection (a number per TCP
// connection, so reuse of a connection shows), status, and for requests the platform acts on an
// "event" ("login_ok", "stat", ...) with its own fields. The chat server's lines (WriteEvent) carry
// "protocol":"chat", an event and fields of their own instead of the HTTP ones.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "sim/query.h"

typedef struct _JsonBuilder JsonBuilder;

namespace qrv::sim {

// A field of a line that is not an HTTP request: a number or a text.
using LogField = std::pair<std::string, std::variant<std::int64_t, std::string>>;

struct LogRecord {
  std::string method;
  std::string target;
  std::string http_version;
  TextPairs query;
  TextPairs headers;
  TextPairs cookies;
  int peer_port = 0;
  bool tls = false;  // the request came over the TLS listener
  std::uint64_t connection = 0;
  int status = 0;
  std::string event;
  TextPairs details;  // extra text fields of the event, e.g. account, code
};

class RequestLog {
 public:
  RequestLog() = default;
  ~RequestLog();
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  // Opens `path` for appending, so a restarted simulator keeps the earlier lines.
  bool Open(const std::string& path, std::string& error);
  void Write(const LogRecord& record);
  // A line of another protocol (the chat server's): time, protocol, event, then `fields` in order.
  void WriteEvent(const std::string& protocol, const std::string& event, const std::vector<LogField>& fields);
  void Close();

 private:
  void WriteLine(JsonBuilder* builder);

  std::FILE* file_ = nullptr;
};

}  // namespace qrv::sim
