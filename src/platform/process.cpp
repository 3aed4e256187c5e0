#include "platform/process.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace qrv {
namespace {

std::atomic<int> g_exit_hooks{0};

}  // namespace

[[noreturn]] void ExitProcess(int code) {
  if (g_exit_hooks.load() > 0) throw ProcessExit{code};
  std::fflush(nullptr);
  std::_Exit(code & 0xff);
}

ScopedExitHook::ScopedExitHook() { ++g_exit_hooks; }
ScopedExitHook::~ScopedExitHook() { --g_exit_hooks; }

bool SpawnRelative(const std::string& relative_path) {
  if (relative_path.empty()) return false;
  pid_t pid = 0;
  char* argv[] = {const_cast<char*>(relative_path.c_str()), nullptr};
  const int rc = posix_spawn(&pid, relative_path.c_str(), nullptr, nullptr, argv, environ);
  return rc == 0;
}

std::string ProgramPath(std::size_t max_chars) {
  std::string buffer(max_chars, '\0');
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

std::string FirstInterfaceName() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  std::string name;
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_name == nullptr) continue;
    if ((it->ifa_flags & IFF_LOOPBACK) != 0 || (it->ifa_flags & IFF_UP) == 0) continue;
    name = it->ifa_name;
    break;
  }
  freeifaddrs(list);
  return name;
}

}  // namespace qrv
