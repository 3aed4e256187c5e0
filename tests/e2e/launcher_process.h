#pragma once
// Runs the real launcher for end-to-end tests: a portable program folder in a temporary place
// (the program, its skin archive, the portable marker, a deploy.ini pointing at the simulator), a
// home folder of its own for the desktop shortcut and the autostart entry, and the automation
// socket to drive it.
// The display is the one the test runs under (the test command runs every test under Xvfb).

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>

#include "automation/automation_client.h"

namespace qrv::e2e {

class LauncherProcess {
 public:
  // `folder` is made if needed and holds "prog/" (the program folder) and "home/".
  explicit LauncherProcess(std::string folder);
  ~LauncherProcess();  // kills a program still running
  LauncherProcess(const LauncherProcess&) = delete;
  LauncherProcess& operator=(const LauncherProcess&) = delete;

  // Copies the program, its companion, the skin and the emoticons in and points the program at `deploy_ini`.
  bool Install(const std::string& deploy_ini, std::string& error);
  // Writes "prog/data/systemset.ini" with exactly these lines.
  void WriteSettings(const std::string& contents);
  std::string ReadSettings() const;

  // An environment variable for the program, set before Start.
  void SetEnv(const std::string& name, const std::string& value) { env_[name] = value; }

  bool Start(std::string& error);
  // Waits for the program to end by itself; its exit code, or -1000 when it did not end in time.
  int WaitForExit(int timeout_ms);
  // Ends it with SIGTERM (or SIGKILL after a while) and returns how it ended.
  int Stop();
  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  qrv::testing::AutomationClient& automation() { return *automation_; }

  std::string program_folder() const { return folder_ + "/prog"; }
  std::string home() const { return folder_ + "/home"; }
  std::string desktop_shortcut() const { return home() + "/Desktop/玄岚城登陆器.desktop"; }
  std::string autostart_entry() const { return home() + "/.config/autostart/KRAVO.desktop"; }
  std::string output() const;  // what the program wrote to stdout and stderr

 private:
  std::string folder_;
  pid_t pid_ = -1;
  std::map<std::string, std::string> env_;
  std::unique_ptr<qrv::testing::AutomationClient> automation_;
};

bool FileExists(const std::string& path);

}  // namespace qrv::e2e
