#include "e2e/launcher_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace qrv::e2e {
namespace fs = std::filesystem;

bool FileExists(const std::string& path) { return fs::exists(path); }

LauncherProcess::LauncherProcess(std::string folder) : folder_(std::move(folder)) {
  // The folder holds the automation socket, which the program makes only in a folder closed to
  // other users.
  fs::create_directories(folder_);
  fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
  fs::create_directories(program_folder() + "/data");
  fs::create_directories(program_folder() + "/skin");
  fs::create_directories(home() + "/Desktop");
  // The program never meets the session bus of the machine the tests run on: a test would depend
  // on what runs there, and without one, GTK's accessibility bridge starts a bus through
  // dbus-launch, forking while the program's start-up threads allocate, which the sanitizers'
  // allocator does not survive (the child hangs, and the program waits for it). Tests that need
  // a bus give the program their private one.
  env_["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + folder_ + "/no-bus";
}

LauncherProcess::~LauncherProcess() {
  if (running()) Stop();
}

bool LauncherProcess::Install(const std::string& deploy_ini, std::string& error) {
  std::error_code ec;
  fs::copy_file(QRV_PROGRAM, program_folder() + "/zelto_qrv", fs::copy_options::overwrite_existing, ec);
  // The screen-capture companion lies beside the program, which starts it from there.
  if (!ec)
    fs::copy_file(QRV_SCREENCAP, program_folder() + "/ScreenCap", fs::copy_options::overwrite_existing, ec);
  // The web engine is a module beside the program, loaded when the first page is shown.
  if (!ec)
    fs::copy_file(QRV_WEBKIT_MODULE, program_folder() + "/libqrv_webkit.so",
                  fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::copy_file(QRV_SKIN_ARCHIVE, program_folder() + "/skin/box.bk", fs::copy_options::overwrite_existing,
                  ec);
  // A portable folder, as the build leaves it: what the program writes stays in prog/data/.
  if (!ec)
    fs::copy_file(QRV_PORTABLE_MARKER, program_folder() + "/portable.txt",
                  fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::copy_file(deploy_ini, program_folder() + "/data/deploy.ini", fs::copy_options::overwrite_existing,
                  ec);
  // The chat's emoticons lie in the program folder, as the build leaves them.
  if (!ec)
    fs::copy(QRV_EMOTIONS_DIR, program_folder() + "/emotions",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) error = ec.message();
  return !ec;
}

void LauncherProcess::WriteSettings(const std::string& contents) {
  std::ofstream(program_folder() + "/data/systemset.ini", std::ios::trunc) << contents;
}

std::string LauncherProcess::ReadSettings() const {
  std::ifstream in(program_folder() + "/data/systemset.ini");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string LauncherProcess::output() const {
  std::ifstream in(folder_ + "/output.txt");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool LauncherProcess::Start(std::string& error) {
  const std::string socket = folder_ + "/automation.sock";
  const std::string program = program_folder() + "/zelto_qrv";
  const std::string log = folder_ + "/output.txt";
  // The first key that xdotool's XTEST keyboard sends on a display switches the core keyboard to
  // that device: the X server announces a new keymap, and the program's hotkey library answers
  // by releasing its key grabs and taking them again. A hotkey pressed by a test at that moment
  // falls between the two and is lost. A lone Shift, sent before the program starts, makes the
  // switch happen here, where nobody listens for keys.
  const auto display = env_.find("DISPLAY");
  const std::string on_display = display != env_.end() ? "DISPLAY='" + display->second + "' " : "";
  if (std::system((on_display + "xdotool key shift >/dev/null 2>&1").c_str()) != 0) {
    error = "xdotool cannot send a key on the display";
    return false;
  }
  pid_ = fork();
  if (pid_ < 0) {
    error = "fork failed";
    return false;
  }
  if (pid_ == 0) {
    if (chdir(program_folder().c_str()) != 0) _exit(126);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    setenv("HOME", home().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home() + "/.config").c_str(), 1);
    unsetenv("XDG_DESKTOP_DIR");
    setenv("QRV_AUTOMATION", socket.c_str(), 1);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    // The program is ended by signals in these tests; GTK's one-time allocations are no leaks.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    for (const auto& [name, value] : env_) setenv(name.c_str(), value.c_str(), 1);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  automation_ = std::make_unique<qrv::testing::AutomationClient>(socket, 20000);
  return true;
}

int LauncherProcess::WaitForExit(int timeout_ms) {
  if (!running()) return -1000;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      return 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1000;
}

int LauncherProcess::Stop() {
  if (!running()) return -1000;
  automation_.reset();
  kill(pid_, SIGTERM);
  int code = WaitForExit(10000);
  if (code == -1000 && running()) {
    kill(pid_, SIGKILL);
    code = WaitForExit(10000);
  }
  return code;
}

}  // namespace qrv::e2e
