// The real program under Xvfb against the simulator: a boss key that another X client already
// holds is typed into the boss-key window and refused there, in a line of its own, while the
// old key keeps hiding and showing the frame.

#include <fcntl.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <json-glib/json-glib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "e2e/e2e_fixture.h"

namespace qrv::e2e {
namespace {

bool WaitFor(const std::function<bool()>& done, int timeout_ms = 30000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

bool Xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

// Another program holding Alt plus a key: the test's key holder, running until the object goes.
class KeyHolder {
 public:
  explicit KeyHolder(const char* keysym) {
    const gchar* argv[] = {QRV_KEY_HOLDER, keysym, nullptr};
    GPid pid = 0;
    int out = -1;
    if (!g_spawn_async_with_pipes(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD,
                                  nullptr, nullptr, &pid, &in_, &out, nullptr, nullptr))
      return;
    pid_ = pid;
    // The launcher started later must not inherit the pipe, or the holder would never see it close.
    fcntl(in_, F_SETFD, FD_CLOEXEC);
    // It says "held" once the X server has granted the grab.
    std::string line;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
      pollfd readable{out, POLLIN, 0};
      if (poll(&readable, 1, 200) <= 0) continue;
      char buffer[32];
      const ssize_t n = read(out, buffer, sizeof buffer);
      if (n <= 0) break;
      line.append(buffer, static_cast<std::size_t>(n));
    }
    close(out);
    held_ = line == "held\n";
  }
  ~KeyHolder() {
    if (in_ >= 0) close(in_);  // it lets go and ends
    if (pid_ > 0) {
      kill(pid_, SIGTERM);  // ends it as well should the pipe still be open elsewhere
      waitpid(pid_, nullptr, 0);
    }
  }
  KeyHolder(const KeyHolder&) = delete;
  KeyHolder& operator=(const KeyHolder&) = delete;
  bool held() const { return held_; }

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  bool held_ = false;
};

class HotkeysE2eTest : public LauncherTest {
 protected:
  std::string ControlText(const std::string& cls, const std::string& name) {
    return launcher_->automation().Control(cls, name).String("text");
  }
  bool Visible(const std::string& cls) {
    const auto answer = launcher_->automation().Windows();
    JsonObject* root = answer.object();
    if (root == nullptr || !json_object_has_member(root, "windows")) return false;
    JsonArray* windows = json_object_get_array_member(root, "windows");
    for (guint i = 0; i < json_array_get_length(windows); ++i) {
      JsonObject* window = json_array_get_object_element(windows, i);
      if (cls == json_object_get_string_member(window, "class"))
        return json_object_get_boolean_member(window, "visible");
    }
    return false;
  }
  // The first window of class `cls`: its screen rectangle.
  bool Rect(const std::string& cls, int rect[4]) {
    const auto answer = launcher_->automation().Windows();
    JsonObject* root = answer.object();
    if (root == nullptr || !json_object_has_member(root, "windows")) return false;
    JsonArray* windows = json_object_get_array_member(root, "windows");
    for (guint i = 0; i < json_array_get_length(windows); ++i) {
      JsonObject* window = json_array_get_object_element(windows, i);
      if (cls != json_object_get_string_member(window, "class")) continue;
      JsonArray* r = json_object_get_array_member(window, "rect");
      for (guint k = 0; k < 4; ++k) rect[k] = static_cast<int>(json_array_get_int_element(r, k));
      return true;
    }
    return false;
  }
};

TEST_F(HotkeysE2eTest, AKeyAnotherProgramHoldsIsRefusedInTheBossWindowAndTheOldKeyStillWorks) {
  KeyHolder holder("w");
  ASSERT_TRUE(holder.held());
  launcher_->WriteSettings(
      "[ShellLink]\nhas=2\n[Runset]\nautologin=1\nautorun=0\nexit=1\n[Update]\nnote=1\nversion=" +
      Scrambled("qrvtest") + "\ncheckcode=" + Scrambled("abc123456") + "\n");
  std::string error;
  ASSERT_TRUE(launcher_->Start(error)) << error;
  auto& automation = launcher_->automation();
  ASSERT_NE(automation.WaitForWindow("UILogIn", 30000), 0) << launcher_->output();
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UILogIn", "bntuijian").Bool("visible"); }));
  ASSERT_TRUE(automation.Click("UILogIn", "bntuijian").ok());
  ASSERT_NE(automation.WaitForWindow("UIMainFrame", 30000), 0) << launcher_->output();

  ASSERT_TRUE(automation.Click("UIMainFrame", "bnmore").ok());
  ASSERT_NE(automation.WaitForWindow("UIMore", 20000), 0);
  ASSERT_TRUE(automation.Click("UIMore", "bnboss").ok());
  ASSERT_NE(automation.WaitForWindow("UIBossSet", 20000), 0);
  ASSERT_TRUE(WaitFor([&] { return Visible("UIBossSet"); }));
  EXPECT_EQ(ControlText("UIBossSet", "lbbossstate"), "当前生效：ALT+Q");

  // The player clicks into the field and presses W: the field reads ALT+W, which the other
  // program holds.
  int rect[4] = {};
  ASSERT_TRUE(Rect("UIBossSet", rect));
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(rect[0] + (125 + 300) / 2) + " " +
                      std::to_string(rect[1] + (98 + 113) / 2) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UIBossSet", "edbosskey").Bool("focused"); }, 10000));
  ASSERT_TRUE(Xdotool("key w"));
  ASSERT_TRUE(WaitFor([&] { return ControlText("UIBossSet", "edbosskey") == "ALT+W"; }, 10000))
      << ControlText("UIBossSet", "edbosskey");
  ASSERT_TRUE(automation.Click("UIBossSet", "bnok").ok());
  ASSERT_TRUE(
      WaitFor([&] { return ControlText("UIBossSet", "lbhotkeyerror") == "该快捷键已被其他程序占用"; }, 10000))
      << ControlText("UIBossSet", "lbhotkeyerror");
  EXPECT_TRUE(Visible("UIBossSet"));
  EXPECT_EQ(ControlText("UIBossSet", "lbbossstate"), "当前生效：ALT+Q");
  EXPECT_EQ(launcher_->ReadSettings().find("boss="), std::string::npos) << launcher_->ReadSettings();

  // The old key still hides the frame, and brings it back.
  ASSERT_TRUE(Xdotool("key alt+q"));
  ASSERT_TRUE(WaitFor([&] { return !Visible("UIMainFrame"); }, 10000));
  EXPECT_FALSE(Visible("UIBossSet"));
  ASSERT_TRUE(Xdotool("key alt+q"));
  ASSERT_TRUE(WaitFor([&] { return Visible("UIMainFrame"); }, 10000));
}

}  // namespace
}  // namespace qrv::e2e
