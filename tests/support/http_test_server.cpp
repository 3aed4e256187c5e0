#include "support/http_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <list>

#include "support/http_wire.h"

namespace qrv::test {
namespace {

// A test server that cannot start makes every result meaningless: stop at once, loudly.
[[noreturn]] void Fail(const char* what) {
  std::perror(what);
  std::abort();
}

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int BoundPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) Fail("getsockname");
  return ntohs(address.sin_port);
}

bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

struct HttpTestServer::Connection {
  int fd = -1;
  int number = 0;
  std::string buffer;
  bool silent = false;
};

HttpTestServer::HttpTestServer() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) Fail("socket");
  const sockaddr_in address = Loopback(0);
  if (bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) Fail("bind");
  if (listen(listen_fd_, 64) != 0) Fail("listen");
  port_ = BoundPort(listen_fd_);
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe2");
  wake_read_fd_ = pipe_fds[0];
  wake_write_fd_ = pipe_fds[1];
  thread_ = std::thread([this] { Serve(); });
}

HttpTestServer::~HttpTestServer() {
  Stop();
  close(wake_read_fd_);
  close(wake_write_fd_);
}

std::string HttpTestServer::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string HttpTestServer::url(std::string_view path) const {
  return "http://" + host() + std::string(path);
}

void HttpTestServer::Enqueue(HttpResponse response) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(response));
}

void HttpTestServer::SetHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<HttpRequest> HttpTestServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t HttpTestServer::request_count() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

int HttpTestServer::connection_count() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool HttpTestServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void HttpTestServer::Stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    stopped_ = true;
  }
  const char wake = 1;
  (void)!write(wake_write_fd_, &wake, 1);
  thread_.join();
  close(listen_fd_);
  listen_fd_ = -1;
}

int HttpTestServer::ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail("socket");
  const sockaddr_in address = Loopback(0);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) Fail("bind");
  const int port = BoundPort(fd);
  close(fd);
  return port;
}

HttpResponse HttpTestServer::NextResponse(const HttpRequest& request) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    if (!queue_.empty()) {
      HttpResponse response = std::move(queue_.front());
      queue_.pop_front();
      return response;
    }
    handler = handler_;
  }
  return handler ? handler(request) : HttpResponse::Text("");
}

bool HttpTestServer::Process(Connection& connection) {
  for (;;) {
    if (connection.silent) {
      connection.buffer.clear();
      return true;
    }
    const std::size_t head_end = connection.buffer.find("\r\n\r\n");
    if (head_end == std::string::npos) return true;
    HttpRequest request = ParseRequestHead(std::string_view(connection.buffer).substr(0, head_end));
    request.connection = connection.number;
    // A request body (none of the launcher's requests has one) is skipped by its length.
    std::size_t body_length = 0;
    if (auto length = request.Header("Content-Length"))
      body_length = std::strtoul(length->c_str(), nullptr, 10);
    if (connection.buffer.size() < head_end + 4 + body_length) return true;
    connection.buffer.erase(0, head_end + 4 + body_length);

    const bool keep_alive = WantsKeepAlive(request);
    HttpResponse response = NextResponse(request);
    const std::string version = request.version.empty() ? "HTTP/1.0" : request.version;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(std::move(request));
    }
    arrived_.notify_all();
    if (response.silent) {
      connection.silent = true;
      continue;
    }

    const bool closing = !keep_alive || response.close_delimited || response.cut_off_after.has_value();
    // One write for the whole answer, so the client does not wait on a delayed acknowledgement.
    if (!SendAll(connection.fd, FormatResponse(response, version, closing))) return false;
    if (closing) return false;
  }
}

void HttpTestServer::Serve() {
  std::list<Connection> connections;
  for (;;) {
    std::vector<pollfd> polled{{wake_read_fd_, POLLIN, 0}, {listen_fd_, POLLIN, 0}};
    for (const Connection& connection : connections) polled.push_back({connection.fd, POLLIN, 0});
    if (poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      Fail("poll");
    }
    if (polled[0].revents != 0) break;  // Stop
    if (polled[1].revents & POLLIN) {
      const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard lock(mutex_);
        connections.push_back({fd, ++connections_, {}, false});
      }
    }
    std::size_t index = 2;
    for (auto it = connections.begin(); it != connections.end(); ++index) {
      // Connections accepted during this round were not polled yet.
      if (index >= polled.size() || polled[index].revents == 0) {
        ++it;
        continue;
      }
      char chunk[4096];
      const ssize_t received = recv(it->fd, chunk, sizeof chunk, 0);
      bool keep = received > 0;
      if (keep) {
        it->buffer.append(chunk, static_cast<std::size_t>(received));
        keep = Process(*it);
      } else if (received < 0 && errno == EINTR) {
        keep = true;
      }
      if (keep) {
        ++it;
      } else {
        close(it->fd);
        it = connections.erase(it);
      }
    }
  }
  for (const Connection& connection : connections) close(connection.fd);
}

}  // namespace qrv::test
