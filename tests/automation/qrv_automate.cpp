// qrv_automate: sends automation requests to a running program and prints each answer line.
//
//   qrv_automate [--timeout MS] SOCKET 'JSON' ['JSON' ...]
//   qrv_automate [--timeout MS] SOCKET < requests    (one JSON request per line)
//
// Exit status: 0 when every answer was ok, 1 when one was not, 2 when the program could not be
// reached or did not answer.

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "automation/automation_client.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: qrv_automate [--timeout MS] SOCKET 'JSON' ['JSON' ...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int timeout_ms = 5000;
  if (args.size() >= 2 && args[0] == "--timeout") {
    char* end = nullptr;
    const long value = std::strtol(args[1].c_str(), &end, 10);
    if (end == args[1].c_str() || *end != '\0' || value <= 0 || value > 3600000) return Usage();
    timeout_ms = static_cast<int>(value);
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();
  qrv::testing::AutomationClient client(args[0], timeout_ms);
  std::vector<std::string> requests(args.begin() + 1, args.end());
  if (requests.empty()) {
    for (std::string line; std::getline(std::cin, line);) {
      if (!line.empty()) requests.push_back(line);
    }
  }
  int status = 0;
  for (const std::string& request : requests) {
    const qrv::testing::AutomationAnswer answer = client.Send(request);
    if (answer.object() == nullptr) {
      std::fprintf(stderr, "qrv_automate: %s\n", answer.error().c_str());
      return 2;
    }
    std::printf("%s\n", answer.line().c_str());
    std::fflush(stdout);
    if (!answer.ok()) status = 1;
  }
  return status;
}
