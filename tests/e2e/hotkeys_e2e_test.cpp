// The real program under Xvfb against the simulator: a boss key that another X client already
// holds is typed into the boss-key window and refused there, in a line of its own, while the
// old key keeps hiding and showing the frame.

#include <fcntl.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "support/first_line.h"

namespace qrv::e2e {
namespace {

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
    held_ = test::ReadFirstLine(out) == "held";
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

class HotkeysE2eTest : public LauncherTest {};

TEST_F(HotkeysE2eTest, AKeyAnotherProgramHoldsIsRefusedInTheBossWindowAndTheOldKeyStillWorks) {
  KeyHolder holder("w");
  ASSERT_TRUE(holder.held());
  ASSERT_NO_FATAL_FAILURE(StartLoggedInFrame("autorun=0\nexit=1\n"));
  auto& automation = launcher_->automation();

  ASSERT_TRUE(automation.Click("UIMainFrame", "bnmore").ok());
  ASSERT_NE(automation.WaitForWindow("UIMore", 20000), 0);
  ASSERT_TRUE(automation.Click("UIMore", "bnboss").ok());
  ASSERT_NE(automation.WaitForWindow("UIBossSet", 20000), 0);
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIBossSet"); }));
  EXPECT_EQ(ControlText("UIBossSet", "lbbossstate"), "当前生效：ALT+Q");

  // The player clicks into the field and presses W: the field reads ALT+W, which the other
  // program holds.
  const Rect rect = WindowRect(automation, "UIBossSet");
  ASSERT_GT(rect[2], rect[0]);
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
  EXPECT_TRUE(WindowVisible("UIBossSet"));
  EXPECT_EQ(ControlText("UIBossSet", "lbbossstate"), "当前生效：ALT+Q");
  EXPECT_EQ(launcher_->ReadSettings().find("boss="), std::string::npos) << launcher_->ReadSettings();

  // The old key still hides the frame, and brings it back.
  ASSERT_TRUE(Xdotool("key alt+q"));
  ASSERT_TRUE(WaitFor([&] { return !WindowVisible("UIMainFrame"); }, 10000));
  EXPECT_FALSE(WindowVisible("UIBossSet"));
  ASSERT_TRUE(Xdotool("key alt+q"));
  ASSERT_TRUE(WaitFor([&] { return WindowVisible("UIMainFrame"); }, 10000));
}

}  // namespace
}  // namespace qrv::e2e
