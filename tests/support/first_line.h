#pragma once
// Reads what a helper process announces on a pipe once it is ready: its first line (a bus
// address, a display number, a word).

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace qrv::test {

// The first line written to `fd`, without its '\n', read until it is whole, the writer has closed
// its end or `timeout` has passed; "" when no whole line came. Closes `fd`.
inline std::string ReadFirstLine(int fd, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  std::string text;
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
    pollfd readable{fd, POLLIN, 0};
    if (poll(&readable, 1, 200) <= 0) continue;
    char buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  const auto end = text.find('\n');
  return end == std::string::npos ? std::string() : text.substr(0, end);
}

}  // namespace qrv::test
