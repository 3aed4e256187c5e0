// The Debian package as a player runs it: scripts/package-test.sh unpacks it into a temporary root
// whose program folder is read-only (QRV_PACKAGE_ROOT) and runs this test under Xvfb. The launcher
// starts from the package's command as an ordinary user (QRV_RUN_AS_UID, when the test runs as
// root) with XDG folders of its own, against the simulator: automatic login with a remembered
// account, the game page, a setting saved in the settings window and an alarm set. Everything it
// wrote must lie in the player's XDG folders, and nothing under the unpacked root may change.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "automation/automation_client.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"
#include "support/file_text.h"

namespace qrv::package {
namespace {

namespace fs = std::filesystem;
using e2e::CommandOutput;
using e2e::WaitFor;

std::string Scrambled(const std::string& text) {
  std::string out;
  for (const char c : text) out.push_back(static_cast<char>(static_cast<unsigned char>(c) + 32));
  return out;
}

// Every entry below `root` with its type, size, mode and modification time, one a line.
std::string Listing(const std::string& root) {
  return CommandOutput("cd '" + root + "' && find . -printf '%p %y %s %m %T@\\n' | sort");
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class InstalledPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QRV_PACKAGE_ROOT");
    ASSERT_NE(root, nullptr) << "scripts/package-test.sh sets QRV_PACKAGE_ROOT to the unpacked package";
    root_ = root;
    if (const char* uid = std::getenv("QRV_RUN_AS_UID")) uid_ = static_cast<uid_t>(std::stoul(uid));
    ASSERT_TRUE(getuid() != 0 || uid_ != 0) << "the launcher must run as an ordinary user";
    ASSERT_TRUE(fs::exists(root_ + "/usr/bin/zelto-qrv"));

    // Everything the player's session gives the launcher: home, XDG folders, a working folder.
    run_ = dir_.path() + "/run";
    home_ = run_ + "/home";
    for (const std::string& folder :
         {home_ + "/.config/zelto-qrv", home_ + "/Desktop", home_ + "/runtime", run_ + "/work"})
      fs::create_directories(folder);
    // The player already pointed the launcher at another platform (the simulator) with a file of
    // their own, and a remembered account logs in by itself.
    sim::SimOptions options;
    options.work_dir = dir_.path() + "/sim";
    fs::create_directories(options.work_dir);
    options.deploy_path = config() + "/deploy.ini";
    std::string error;
    sim_ = sim::SimProcess::Start(options, error);
    ASSERT_NE(sim_, nullptr) << error;
    std::ofstream(config() + "/systemset.ini")
        << "[Runset]\nautologin=1\nautorun=1\n[Update]\nnote=1\nversion=" << Scrambled("qrvtest")
        << "\ncheckcode=" << Scrambled("abc123456") << "\n";
    // The test's own folders may be walked through by the player; the player's are the player's.
    for (const std::string& folder : {dir_.path(), run_}) fs::permissions(folder, fs::perms(0755));
    if (uid_ != 0) {
      const std::string owner = std::to_string(uid_) + ":" + std::to_string(uid_);
      ASSERT_EQ(std::system(("chown -R " + owner + " '" + home_ + "' '" + run_ + "/work'").c_str()), 0);
    }
    fs::permissions(home_ + "/runtime", fs::perms(0700));
    root_listing_ = Listing(root_);
    ASSERT_FALSE(root_listing_.empty());
  }

  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (sim_) {
      EXPECT_EQ(sim_->Stop(), 0);
    }
  }

  std::string config() const { return home_ + "/.config/zelto-qrv"; }
  std::string data() const { return home_ + "/.local/share/zelto-qrv"; }
  std::string cache() const { return home_ + "/.cache/zelto-qrv"; }

  // Starts "zelto-qrv" from the package as the player would from the menu entry.
  void Start() {
    const std::string socket = home_ + "/runtime/automation.sock";
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      const int out = open((dir_.path() + "/output.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
      }
      if (uid_ != 0 && (setgroups(0, nullptr) != 0 || setgid(uid_) != 0 || setuid(uid_) != 0)) _exit(125);
      if (chdir((run_ + "/work").c_str()) != 0) _exit(126);
      setenv("HOME", home_.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
      setenv("XDG_DATA_HOME", (home_ + "/.local/share").c_str(), 1);
      setenv("XDG_CACHE_HOME", (home_ + "/.cache").c_str(), 1);
      setenv("XDG_RUNTIME_DIR", (home_ + "/runtime").c_str(), 1);
      setenv("PATH", (root_ + "/usr/bin:/usr/bin:/bin").c_str(), 1);
      setenv("QRV_AUTOMATION", socket.c_str(), 1);
      setenv("no_proxy", "127.0.0.1,localhost", 1);
      // No session bus and no accessibility bus: nothing is started on the player's behalf.
      setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + run_ + "/no-bus").c_str(), 1);
      setenv("NO_AT_BRIDGE", "1", 1);
      unsetenv("XAUTHORITY");
      unsetenv("XDG_DESKTOP_DIR");
      const std::string command = root_ + "/usr/bin/zelto-qrv";
      execl(command.c_str(), "zelto-qrv", static_cast<char*>(nullptr));
      _exit(127);
    }
    automation_ = std::make_unique<qrv::testing::AutomationClient>(socket, 20000);
  }

  std::string Output() const { return test::ReadFile(dir_.path() + "/output.txt"); }

  // Whether some window of class `cls` is visible.
  bool WindowVisible(const std::string& cls) { return e2e::VisibleWindowRect(*automation_, cls)[2] > 0; }

  sim::testing::TempDir dir_;
  std::string root_, run_, home_, root_listing_;
  uid_t uid_ = 0;
  std::unique_ptr<sim::SimProcess> sim_;
  pid_t pid_ = -1;
  std::unique_ptr<qrv::testing::AutomationClient> automation_;
};

TEST_F(InstalledPackageTest, PlaysFromTheReadOnlyProgramFolderAndWritesOnlyThePlayersFolders) {
  ASSERT_EQ(CommandOutput("'" + root_ + "/usr/bin/zelto-qrv' --version").rfind("zelto-qrv ", 0), 0u);
  Start();
  auto& automation = *automation_;
  ASSERT_NE(automation.WaitForWindow("UILogIn", 30000), 0) << Output();

  // The windows carry the program's icon and the class the desktop entry names.
  std::string window = CommandOutput("xdotool search --onlyvisible --classname '^zelto-qrv$' | head -n 1");
  while (!window.empty() && (window.back() == '\n' || window.back() == ' ')) window.pop_back();
  ASSERT_FALSE(window.empty()) << "no window of class zelto-qrv";
  // The icons follow the first frame, when the loop is first idle.
  std::string props;
  EXPECT_TRUE(WaitFor([&] {
    props = CommandOutput("xprop -id " + window + " WM_CLASS _NET_WM_ICON | head -c 300");
    return props.find("_NET_WM_ICON(CARDINAL) = ") != std::string::npos;
  })) << props;
  EXPECT_NE(props.find("WM_CLASS(STRING) = \"zelto-qrv\", \"zelto-qrv\""), std::string::npos) << props;

  // The remembered account logs in by itself; the recommended server opens the game page.
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UILogIn", "bntuijian").Bool("visible"); }))
      << Output();
  ASSERT_TRUE(automation.Click("UILogIn", "bntuijian").ok());
  ASSERT_NE(automation.WaitForWindow("UIMainFrame", 30000), 0) << Output();
  EXPECT_TRUE(WaitFor([&] {
    for (const auto& line : sim_->LogLines())
      if (line.find("/joinGame/code/qrv44/") != std::string::npos) return true;
    return false;
  })) << Output();
  // The page's web process runs in the engine's sandbox, which for an ordinary user includes a
  // user namespace of its own.
  std::string web_process;
  ASSERT_TRUE(WaitFor([&] {
    web_process = CommandOutput("pgrep -u " + std::to_string(uid_ != 0 ? uid_ : getuid()) +
                                " -x WebKitWebProces | head -n 1");
    while (!web_process.empty() && web_process.back() == '\n') web_process.pop_back();
    return !web_process.empty();
  })) << Output();
  const auto user_namespace = [](const std::string& pid) {
    std::error_code error;
    return fs::read_symlink("/proc/" + pid + "/ns/user", error).string();
  };
  ASSERT_NE(user_namespace(std::to_string(pid_)), "");
  EXPECT_NE(user_namespace(web_process), user_namespace(std::to_string(pid_)));
  // The web engine keeps its data and its cache in the player's folders.
  EXPECT_TRUE(WaitFor([&] { return fs::exists(cache() + "/webkit") && fs::exists(data() + "/webkit"); }));

  // A setting saved in the settings window: start with the session, cleared.
  const std::string autostart = home_ + "/.config/autostart/KRAVO.desktop";
  EXPECT_NE(test::ReadFile(autostart).find("Exec=zelto-qrv\n"), std::string::npos)
      << test::ReadFile(autostart);
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnmore").ok());
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIMore"); }));
  ASSERT_TRUE(automation.Click("UIMore", "bnset").ok());
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIClockList"); }));
  ASSERT_TRUE(automation.Click("UIClockList", "opautorun").ok());
  ASSERT_TRUE(automation.Click("UIClockList", "bnok").ok());
  ASSERT_TRUE(WaitFor([&] { return !WindowVisible("UIClockList"); }));
  EXPECT_NE(test::ReadFile(config() + "/systemset.ini").find("autorun=0"), std::string::npos);
  EXPECT_FALSE(fs::exists(autostart));

  // An alarm set for the first of January next year.
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string date = std::to_string(local.tm_year + 1901) + "-1-1";
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnclock").ok());
  // The alarm list shows (the settings window, of the same class, stays hidden).
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIClockList"); }));
  ASSERT_TRUE(automation.Click("UIClockList", "bnset").ok());
  ASSERT_NE(automation.WaitForWindow("UIClockManagerDlg", 20000), 0);
  ASSERT_TRUE(automation.SetText("UIClockManagerDlg", "bndate", date).ok());
  ASSERT_TRUE(automation.SetText("UIClockManagerDlg", "editinput", "installed reminder").ok());
  ASSERT_TRUE(automation.Click("UIClockManagerDlg", "bnok").ok());
  EXPECT_TRUE(WaitFor([&] {
    return test::ReadFile(data() + "/clocklist.ini").find("installed reminder") != std::string::npos;
  })) << test::ReadFile(data() + "/clocklist.ini");

  automation_.reset();
  kill(pid_, SIGTERM);
  int status = 0;
  ASSERT_TRUE(WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 20000));
  pid_ = -1;

  // The folders the launcher made are the player's alone; the first start made the shortcut.
  EXPECT_EQ(ModeOf(data()), 0700u);
  EXPECT_EQ(ModeOf(cache()), 0700u);
  EXPECT_NE(test::ReadFile(home_ + "/Desktop/玄岚城登陆器.desktop").find("Exec=zelto-qrv\n"),
            std::string::npos);
  // Nothing in the read-only root changed, nothing was left in the working folder, and every
  // file the player owns now lies in the XDG folders (or is the desktop shortcut).
  EXPECT_EQ(Listing(root_), root_listing_);
  EXPECT_TRUE(fs::is_empty(run_ + "/work"));
  const std::vector<std::string> allowed = {home_ + "/.config/", home_ + "/.local/share/", home_ + "/.cache/",
                                            home_ + "/runtime/", home_ + "/Desktop/"};
  for (const auto& entry : fs::recursive_directory_iterator(home_)) {
    const std::string path = entry.path().string() + (entry.is_directory() ? "/" : "");
    bool inside = false;
    for (const std::string& folder : allowed)
      inside = inside || path.rfind(folder, 0) == 0 || folder.rfind(path, 0) == 0;
    EXPECT_TRUE(inside) << path << " lies outside the XDG folders";
    if (entry.is_regular_file()) std::printf("written: %s\n", path.c_str());
  }
  if (uid_ != 0) {
    // The player may write only their own folders and the shared temporary ones: nothing of the
    // player's may have been left in those.
    const std::string strays =
        CommandOutput("find /tmp /var/tmp /dev/shm -xdev -user " + std::to_string(uid_) + " -not -path '" +
                      dir_.path() + "/*' 2>/dev/null");
    EXPECT_EQ(strays, "") << "files written outside the XDG folders";
  }
}

}  // namespace
}  // namespace qrv::package
