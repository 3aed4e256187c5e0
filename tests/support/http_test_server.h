#pragma once
// A small HTTP/1.x server on loopback for tests that make real requests.
//
//   qrv::test::HttpTestServer server;                 // 127.0.0.1, a free port, its own thread
//   server.Enqueue(HttpResponse::Text("SUCCESS"));    // canned answers, served in order
//   server.SetHandler([](const HttpRequest& r) {...}); // then this, for the rest
//   client.SetHost(server.host());                    // "127.0.0.1:<port>"
//   ... make requests ...
//   server.Requests()[0].request_line                 // "GET /x HTTP/1.0", headers in order
//   server.connection_count()                         // TCP connections accepted
//
// Without a queued answer or a handler it answers 200 with an empty body. It keeps a connection
// open when the request asks (HTTP/1.0 "Connection: keep-alive", or HTTP/1.1 without
// "Connection: close") and then answers with Content-Length and "Connection: keep-alive"; it
// otherwise closes after the answer. Answers use the request's HTTP version.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace qrv::test {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string request_line;  // "GET /stat.htm?app=x HTTP/1.0"
  std::string method;        // "GET"
  std::string target;        // "/stat.htm?app=x", as sent (not decoded)
  std::string version;       // "HTTP/1.0"
  HeaderList headers;        // as received, in order, values without leading blanks
  int connection = 0;        // 1-based number of the accepted connection it came on

  // The first value of the header `name` (any case), if present.
  std::optional<std::string> Header(std::string_view name) const;
  // How often the header `name` (any case) occurs.
  std::size_t HeaderCount(std::string_view name) const;
};

struct HttpResponse {
  int status = 200;
  std::string reason;  // empty: the usual phrase for the status
  HeaderList headers;  // sent after Content-Length and Connection, e.g. {"Set-Cookie", "a=1"}
  std::string body;    // raw bytes; zero bytes are sent as they are

  // Accept and read the request but never answer; the connection stays open until the client
  // gives up or the server stops. Stands in for a host that has gone silent.
  bool silent = false;
  // Send the headers with the full Content-Length but only this many body bytes, then close.
  std::optional<std::size_t> cut_off_after;
  // Send no Content-Length and close after the body, as an HTTP/1.0 server without keep-alive.
  bool close_delimited = false;

  static HttpResponse Text(std::string body, int status = 200);
  static HttpResponse Silent();
  HttpResponse& WithHeader(std::string name, std::string value);
};

class HttpTestServer {
 public:
  using Handler = std::function<HttpResponse(const HttpRequest&)>;

  // Listens on 127.0.0.1 at a port the system picks. Aborts the test program when it cannot.
  HttpTestServer();
  ~HttpTestServer();  // stops
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int port() const { return port_; }
  std::string host() const;                            // "127.0.0.1:<port>"
  std::string url(std::string_view path = "/") const;  // "http://127.0.0.1:<port>/..."

  // Answers for the coming requests, in order, before the handler is asked.
  void Enqueue(HttpResponse response);
  // Answers every request no queued answer is left for. Runs on the server's thread.
  void SetHandler(Handler handler);

  std::vector<HttpRequest> Requests() const;
  std::size_t request_count() const;
  int connection_count() const;
  // Waits until at least `count` requests have arrived; false when `timeout` passes first.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

  // Closes every connection and stops listening; the port then refuses connections.
  void Stop();

  // A loopback port nothing listens on (bound, then closed): connections to it are refused.
  static int ClosedPort();

 private:
  struct Connection;
  void Serve();
  HttpResponse NextResponse(const HttpRequest& request);
  // Handles the complete requests in the connection's buffer; false when it is to be closed.
  bool Process(Connection& connection);

  int listen_fd_ = -1;
  int wake_read_fd_ = -1;
  int wake_write_fd_ = -1;
  int port_ = 0;
  std::thread thread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::deque<HttpResponse> queue_;
  Handler handler_;
  std::vector<HttpRequest> requests_;
  int connections_ = 0;
  bool stopped_ = false;
};

}  // namespace qrv::test
