// The screen-capture companion, started by the real program's scissors under Xvfb: the overlay
// freezes the screen, a rectangle dragged with the mouse becomes a PNG of exactly that size and
// those pixels in the Pictures folder, the clipboard offers the same picture until another
// program takes it, a desktop notification names the file, and a second capture asked for while
// the overlay is open opens nothing. A plain click then takes the whole window under it; Esc and
// a right click cancel.

#include <dirent.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "support/fake_notifications.h"

namespace qrv::e2e {
namespace {

// The live processes running the program folder's companion (a zombie has no executable).
std::vector<pid_t> CompanionProcesses(const std::string& program) {
  std::vector<pid_t> pids;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return pids;
  while (dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/" + std::string(entry->d_name) + "/exe", ec);
    if (!ec && exe == program) pids.push_back(pid);
  }
  closedir(proc);
  return pids;
}

// Visible windows titled as the overlay is.
int OverlayCount() {
  const std::string ids = CommandOutput("xdotool search --onlyvisible --name '^截图$' 2>/dev/null");
  int count = 0;
  for (const char c : ids) count += c == '\n' ? 1 : 0;
  return count;
}

std::set<std::string> Pictures(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    names.insert(entry.path().filename().string());
  return names;
}

// The screen inside a rectangle, as `import` reads it.
std::string GrabScreen(int x, int y, int width, int height, const std::string& png) {
  const std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "+" +
                               std::to_string(x) + "+" + std::to_string(y);
  return std::system(("import -window root -crop " + geometry + " +repage " + png).c_str()) == 0 ? png : "";
}

// Both pictures have the same size and the same colour in every pixel (alpha aside).
::testing::AssertionResult SamePixels(const std::string& a, const std::string& b) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(GdkPixbuf) left = gdk_pixbuf_new_from_file(a.c_str(), &error);
  if (left == nullptr) return ::testing::AssertionFailure() << a << ": " << error->message;
  g_autoptr(GdkPixbuf) right = gdk_pixbuf_new_from_file(b.c_str(), &error);
  if (right == nullptr) return ::testing::AssertionFailure() << b << ": " << error->message;
  const int w = gdk_pixbuf_get_width(left);
  const int h = gdk_pixbuf_get_height(left);
  if (w != gdk_pixbuf_get_width(right) || h != gdk_pixbuf_get_height(right))
    return ::testing::AssertionFailure()
           << "sizes " << w << "x" << h << " and " << gdk_pixbuf_get_width(right) << "x"
           << gdk_pixbuf_get_height(right);
  const int left_channels = gdk_pixbuf_get_n_channels(left);
  const int right_channels = gdk_pixbuf_get_n_channels(right);
  int differing = 0;
  for (int y = 0; y < h; ++y) {
    const guint8* l = gdk_pixbuf_get_pixels(left) + y * gdk_pixbuf_get_rowstride(left);
    const guint8* r = gdk_pixbuf_get_pixels(right) + y * gdk_pixbuf_get_rowstride(right);
    for (int x = 0; x < w; ++x) {
      const guint8* p = l + x * left_channels;
      const guint8* q = r + x * right_channels;
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) ++differing;
    }
  }
  if (differing > 0) return ::testing::AssertionFailure() << differing << " pixels differ";
  return ::testing::AssertionSuccess();
}

int ColourCount(const std::string& png) {
  const std::string colours = CommandOutput("convert " + png + " -format %k info:");
  return colours.empty() ? 0 : std::stoi(colours);
}

class CaptureE2eTest : public LauncherTest {};

TEST_F(CaptureE2eTest, TheScissorsFreezeTheScreenADraggedRectangleIsSavedCopiedAndAnnouncedOnce) {
  ASSERT_NO_FATAL_FAILURE(UsePrivateBus());
  test::FakeNotificationService service(bus_->address());
  ASSERT_TRUE(service.ready()) << service.error();
  // An X11 session, whatever the machine running the tests is; the capture lock lies in a runtime
  // folder of the test's own.
  launcher_->SetEnv("WAYLAND_DISPLAY", "");
  launcher_->SetEnv("XDG_SESSION_TYPE", "x11");
  const std::string runtime = dir_.path() + "/run";
  ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
  launcher_->SetEnv("XDG_RUNTIME_DIR", runtime);
  // The player's Pictures folder has a Chinese name and does not exist yet.
  std::filesystem::create_directories(launcher_->home() + "/.config");
  std::ofstream(launcher_->home() + "/.config/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/图片\"\n";
  const std::string pictures = launcher_->home() + "/图片";
  const std::string companion = launcher_->program_folder() + "/ScreenCap";
  ASSERT_TRUE(FileExists(companion)) << "the program folder holds the companion";

  ASSERT_NO_FATAL_FAILURE(StartLoggedInFrame());
  auto& automation = launcher_->automation();
  const Rect frame = VisibleWindowRect(automation, "UIMainFrame");
  ASSERT_GT(frame[2] - frame[0], 400);

  // The rectangle to take: the logo at the left of the frame's top band (not the tab, whose
  // caption follows the page). The pointer rests outside it, and the
  // band is photographed until it shows the skin (not a plain box) and stands still, as the
  // capture must find it.
  const int left = frame[0] + 10;
  const int top = frame[1] + 4;
  const int width = 150;
  const int height = 41;
  ASSERT_EQ(
      std::system(
          ("xdotool mousemove " + std::to_string(frame[2] - 5) + " " + std::to_string(frame[3] - 5)).c_str()),
      0);
  const std::string before = dir_.path() + "/before.png";
  const std::string again = dir_.path() + "/again.png";
  ASSERT_TRUE(WaitFor([&] {
    return !GrabScreen(left, top, width, height, before).empty() && ColourCount(before) > 20 &&
           !GrabScreen(left, top, width, height, again).empty() && SamePixels(before, again);
  })) << "the band shows "
      << ColourCount(before) << " colours";

  // The scissors open the overlay: one window over the whole screen.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bncap").ok());
  ASSERT_TRUE(WaitFor([] { return OverlayCount() == 1; }, 20000)) << launcher_->output();
  const std::vector<pid_t> first = CompanionProcesses(companion);
  ASSERT_EQ(first.size(), 1u);

  // A second capture while the overlay is open is refused and ends; nothing else opens.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bncap").ok());
  ASSERT_TRUE(
      WaitFor([&] { return launcher_->output().find("已有截图正在进行") != std::string::npos; }, 20000))
      << launcher_->output();
  ASSERT_TRUE(WaitFor([&] { return CompanionProcesses(companion) == first; }, 20000));
  EXPECT_EQ(OverlayCount(), 1);

  // The drag: press at one corner, move through the middle to the opposite corner. While the
  // button is held the rectangle is bright and the rest dimmed (photographed for the docs), and
  // the release takes it.
  const std::string outside = ScreenColor(left - 5, top + height / 2);
  const std::string drag = "xdotool mousemove " + std::to_string(left) + " " + std::to_string(top) +
                           " mousedown 1 mousemove " + std::to_string(left + width / 2) + " " +
                           std::to_string(top + height / 2) + " mousemove " + std::to_string(left + width) +
                           " " + std::to_string(top + height);
  ASSERT_EQ(std::system(drag.c_str()), 0);
  ASSERT_TRUE(WaitFor([&] { return ScreenColor(left - 5, top + height / 2) != outside; }, 10000))
      << "the screen around the rectangle is dimmed";
  std::filesystem::create_directories(ScreenshotFolder());
  // From the top of the screen (the hint) down into the frame, where the rectangle is.
  const Rect shown{frame[0], 0, frame[0] + 800, frame[1] + 250};
  EXPECT_GT(SaveScreenshot(shown, ScreenshotFolder() + "/screen-capture.png"), 50);
  ASSERT_EQ(std::system("xdotool mouseup 1"), 0);

  // The notification comes once the picture is written; it names the one new file.
  ASSERT_TRUE(service.WaitFor([](const auto& n) { return n.summary == "截图已保存"; }, 20000))
      << launcher_->output();
  EXPECT_TRUE(WaitFor([] { return OverlayCount() == 0; }, 10000));
  const std::set<std::string> saved = Pictures(pictures);
  ASSERT_EQ(saved.size(), 1u);
  const std::string name = *saved.begin();
  EXPECT_TRUE(g_regex_match_simple("^截图_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.png$", name.c_str(),
                                   G_REGEX_DEFAULT, G_REGEX_MATCH_DEFAULT))
      << name;
  const std::string png = pictures + "/" + name;
  const auto notifications = service.received();
  ASSERT_EQ(notifications.size(), 1u);
  EXPECT_EQ(notifications[0].app_name, "玄岚城登陆器");
  EXPECT_EQ(notifications[0].body, "已保存到 " + png + "，并已复制到剪贴板，可以直接粘贴。");
  EXPECT_TRUE(SamePixels(png, before)) << "the picture is the screen as it was";

  // The clipboard offers the same picture while the companion stays for it.
  const std::string pasted = dir_.path() + "/pasted.png";
  ASSERT_EQ(std::system(("xclip -selection clipboard -t image/png -o > " + pasted).c_str()), 0);
  EXPECT_TRUE(SamePixels(pasted, before));
  ASSERT_EQ(CompanionProcesses(companion), first);
  // Another program copies something: the companion has nothing more to offer and ends.
  ASSERT_EQ(std::system("printf copied | xclip -selection clipboard -i -loops 1"), 0);
  EXPECT_TRUE(WaitFor([&] { return CompanionProcesses(companion).empty(); }, 20000));
  EXPECT_EQ(CommandOutput("xclip -selection clipboard -o"), "copied");

  // With the lock free again, a click without a drag takes the whole window under the pointer.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bncap").ok());
  ASSERT_TRUE(WaitFor([] { return OverlayCount() == 1; }, 20000)) << launcher_->output();
  ASSERT_EQ(std::system(("xdotool mousemove " + std::to_string(left + 100) + " " + std::to_string(top + 20) +
                         " click 1")
                            .c_str()),
            0);
  const std::string first_body = notifications[0].body;
  ASSERT_TRUE(service.WaitFor(
      [&](const auto& n) { return n.summary == "截图已保存" && n.body != first_body; }, 20000));
  const std::set<std::string> both = Pictures(pictures);
  ASSERT_EQ(both.size(), 2u);
  for (const std::string& file : both) {
    if (file == name) continue;
    g_autoptr(GdkPixbuf) window = gdk_pixbuf_new_from_file((pictures + "/" + file).c_str(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(window), frame[2] - frame[0]);
    EXPECT_EQ(gdk_pixbuf_get_height(window), frame[3] - frame[1]);
  }
  // Esc and a right click each close the overlay without a picture.
  for (const std::string cancel : {"key Escape", "click 3"}) {
    ASSERT_TRUE(automation.Click("UIMainFrame", "bncap").ok());
    ASSERT_TRUE(WaitFor([] { return OverlayCount() == 1; }, 20000)) << cancel;
    ASSERT_EQ(std::system(("xdotool " + cancel).c_str()), 0);
    EXPECT_TRUE(WaitFor([] { return OverlayCount() == 0; }, 10000)) << cancel;
    EXPECT_TRUE(WaitFor([&] { return CompanionProcesses(companion).size() == 1; }, 10000)) << cancel;
  }
  EXPECT_EQ(Pictures(pictures).size(), 2u);
  EXPECT_EQ(service.received().size(), 2u);

  // The last companion still holds the clipboard; taking it ends it.
  ASSERT_EQ(std::system("printf done | xclip -selection clipboard -i -loops 1"), 0);
  EXPECT_TRUE(WaitFor([&] { return CompanionProcesses(companion).empty(); }, 20000));
  EXPECT_EQ(CommandOutput("xclip -selection clipboard -o"), "done");
}

}  // namespace
}  // namespace qrv::e2e
