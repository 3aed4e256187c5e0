#include "e2e/weston_session.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "e2e/screen.h"
#include "support/file_text.h"

namespace qrv::e2e {
namespace {

// A plain background and no panel: what is not one of the program's windows is one colour.
constexpr char kConfig[] = R"([core]
idle-time=0

[shell]
background-color=0xff203040
panel-position=none
locking=false
animation=none
startup-animation=none
)";

}  // namespace

WestonSession::WestonSession(std::string folder, int width, int height) : folder_(std::move(folder)) {
  std::filesystem::create_directories(runtime_dir());
  chmod(runtime_dir().c_str(), 0700);
  // Xwayland listens beside every other X server; Xvfb makes the folder, a bare machine may not.
  std::error_code ignored;
  if (!std::filesystem::exists("/tmp/.X11-unix")) {
    std::filesystem::create_directories("/tmp/.X11-unix", ignored);
    chmod("/tmp/.X11-unix", 01777);
  }
  std::ofstream(folder_ + "/weston.ini") << kConfig;
  socket_ = "qrv-weston-" + std::to_string(getpid());
  const std::string log_path = folder_ + "/weston.log";
  pid_ = fork();
  if (pid_ == 0) {
    setenv("XDG_RUNTIME_DIR", runtime_dir().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    const std::string config = "--config=" + folder_ + "/weston.ini";
    const std::string socket = "--socket=" + socket_;
    const std::string log = "--log=" + log_path;
    const std::string width_arg = "--width=" + std::to_string(width);
    const std::string height_arg = "--height=" + std::to_string(height);
    execlp("weston", "weston", "--backend=headless-backend.so", "--use-pixman", "--xwayland", "--debug",
           socket.c_str(), config.c_str(), log.c_str(), width_arg.c_str(), height_arg.c_str(), nullptr);
    _exit(127);
  }
  if (pid_ < 0) {
    error_ = "fork failed";
    return;
  }
  // Weston announces the X display once Xwayland's sockets listen ("xserver listening on display
  // :1"); Xwayland itself starts with the first X client.
  const std::regex announced("xserver listening on display (:[0-9]+)");
  const bool up = WaitFor(
      [&] {
        std::smatch match;
        const std::string text = test::ReadFile(log_path);
        if (!std::regex_search(text, match, announced)) return waitpid(pid_, nullptr, WNOHANG) != 0;
        x_display_ = match[1];
        return true;
      },
      30000);
  if (!up || x_display_.empty()) error_ = "weston did not announce an X display:\n" + log();
}

WestonSession::~WestonSession() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::string WestonSession::log() const { return test::ReadFile(folder_ + "/weston.log"); }

bool WestonSession::Screenshot(const std::string& png) const {
  // weston-screenshooter writes wayland-screenshot-<time>.png into the folder it runs in.
  const std::string shots = folder_ + "/shots";
  std::filesystem::remove_all(shots);
  std::filesystem::create_directories(shots);
  const std::string command = "cd '" + shots + "' && XDG_RUNTIME_DIR='" + runtime_dir() +
                              "' WAYLAND_DISPLAY='" + socket_ + "' weston-screenshooter >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  for (const auto& entry : std::filesystem::directory_iterator(shots)) {
    if (entry.path().extension() != ".png") continue;
    std::filesystem::create_directories(std::filesystem::path(png).parent_path());
    std::filesystem::copy_file(entry.path(), png, std::filesystem::copy_options::overwrite_existing);
    return true;
  }
  return false;
}

}  // namespace qrv::e2e
