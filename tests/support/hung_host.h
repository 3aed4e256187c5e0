#pragma once
// A host that accepts connections and never answers, as a hung server or a captive portal does:
// it listens on 127.0.0.1, takes every connection and holds it open, silent, until it goes.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace qrv::test {

class HungHost {
 public:
  HungHost() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 64) != 0) {
      return;
    }
    socklen_t length = sizeof address;
    if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0) port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptAll(); });
  }
  ~HungHost() {
    stopping_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    for (int fd : held_) close(fd);
    if (listener_ >= 0) close(listener_);
  }
  HungHost(const HungHost&) = delete;
  HungHost& operator=(const HungHost&) = delete;

  // "127.0.0.1:<port>", or "" when the host could not listen.
  std::string host() const { return port_ > 0 ? "127.0.0.1:" + std::to_string(port_) : std::string(); }
  int port() const { return port_; }
  int accepted() const { return accepted_.load(); }

 private:
  void AcceptAll() {
    while (!stopping_) {
      pollfd waiting{listener_, POLLIN, 0};
      if (poll(&waiting, 1, 50) <= 0) continue;
      const int fd = accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      held_.push_back(fd);  // read by nobody, answered never
      ++accepted_;
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::vector<int> held_;  // touched by the acceptor only, until it has ended
  std::thread acceptor_;
};

}  // namespace qrv::test
