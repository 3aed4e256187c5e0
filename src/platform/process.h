#pragma once
// Process-level services: ending the process, starting companion programs, the program's own
// path, and the name of the first network interface.

#include <sys/types.h>

#include <functional>
#include <string>

namespace qrv {

// Ends the process at once with `code`, as the exits chosen from a notification handler do, once
// the last steps set with SetLastStepsBeforeExit have run (letting the exit notice and the last
// statistics events go out, each waited for a bounded time). Tests install a hook that records
// the code and unwinds instead (see ScopedExitHook).
[[noreturn]] void ExitProcess(int code);
void SetLastStepsBeforeExit(std::function<void()> steps);

// Thrown by ExitProcess while an exit hook is installed, so a test can observe the exit.
struct ProcessExit {
  int code;
};

class ScopedExitHook {
 public:
  ScopedExitHook();
  ~ScopedExitHook();
  ScopedExitHook(const ScopedExitHook&) = delete;
  ScopedExitHook& operator=(const ScopedExitHook&) = delete;
};

// Starts the companion program `relative_path` (for example "./update") of the program folder
// `folder` (a full path ending in "/"), in that folder, without waiting for it; its exit is
// collected so it leaves no zombie behind. A name without a "/" and no folder ("zelto-qrv") is a
// command looked up on the PATH; any other name with an empty or relative folder starts nothing.
// Returns its process id, or 0 when it could not be started.
pid_t SpawnCompanion(const std::string& folder, const std::string& relative_path);

// Full path of the running program, at most `max_chars` bytes (the size of start-up's buffer).
std::string ProgramPath(std::size_t max_chars = 1023);

// Name of the first network interface that is up and not a loopback ("eth0", "wlp2s0"); empty
// when there is none.
std::string FirstInterfaceName();

}  // namespace qrv
