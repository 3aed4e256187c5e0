#include "platform/process.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace qrv {
namespace {

std::atomic<int> g_exit_hooks{0};

std::function<void()>& LastSteps() {
  static std::function<void()> steps;
  return steps;
}

}  // namespace

void SetLastStepsBeforeExit(std::function<void()> steps) { LastSteps() = std::move(steps); }

[[noreturn]] void ExitProcess(int code) {
  if (LastSteps()) LastSteps()();
  if (g_exit_hooks.load() > 0) throw ProcessExit{code};
  std::fflush(nullptr);
  std::_Exit(code & 0xff);
}

ScopedExitHook::ScopedExitHook() { ++g_exit_hooks; }
ScopedExitHook::~ScopedExitHook() { --g_exit_hooks; }

pid_t SpawnCompanion(const std::string& folder, const std::string& relative_path) {
  // A bare command name with no folder ("zelto-qrv" of the installed layout) is looked up on the
  // PATH. Any other name needs a full program folder: without one the path would name a program
  // of whatever folder the launcher was started from, and nothing is started rather than that.
  const bool on_path =
      folder.empty() && !relative_path.empty() && relative_path.find('/') == std::string::npos;
  if (!on_path && (relative_path.empty() || folder.empty() || folder.front() != '/')) return 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The companion runs in the program's folder, where its own files are, as it would when started
  // from there by hand.
  if (!on_path) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  const std::string path = folder + relative_path;
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = on_path ? posix_spawnp(&pid, path.c_str(), &actions, nullptr, argv, environ)
                         : posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return 0;
  // Nobody waits for a companion; this thread collects its exit status so that no zombie is left
  // behind for every screen capture. It ends with the companion (or with the process).
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return pid;
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
