// The real program under Xvfb against the simulator: with automatic login the server list opens,
// the recommended server chosen in the login window opens the one main frame and takes the list
// away; the service tab and the game page's tab switch the window shown, and closing the service
// tab shows the game page again. Every window shown is photographed and must show its skin.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"

namespace qrv::e2e {
namespace {

// The background of the simulator's game page.
constexpr char kGamePageColor[] = "F4F1EA";

class TabsE2eTest : public LauncherTest {
 protected:
  // The browser views of the frame (windows titled "MyWebBrowser" with a size), in creation order:
  // the game page's first, then the service tab's.
  std::vector<std::pair<Rect, bool>> Views() {
    std::vector<std::pair<Rect, bool>> views;
    const auto answer = launcher_->automation().Windows();
    if (answer.object() == nullptr) return views;
    JsonArray* windows = json_object_get_array_member(answer.object(), "windows");
    for (guint i = 0; i < json_array_get_length(windows); ++i) {
      JsonObject* window = json_array_get_object_element(windows, i);
      const Rect rect = RectOf(window);
      if (std::string(json_object_get_string_member(window, "title")) == "MyWebBrowser" && rect[2] > rect[0])
        views.emplace_back(rect, json_object_get_boolean_member(window, "visible"));
    }
    return views;
  }
  bool Shown(std::size_t view) {
    const auto views = Views();
    return view < views.size() && views[view].second;
  }
  void ExpectSkinShown(const std::string& cls, const std::string& file) {
    e2e::ExpectSkinShown(launcher_->automation(), cls, file);
  }
};

TEST_F(TabsE2eTest, OneMainFrameAndTabsThatSwitchTheWindowShown) {
  // The automatic login shows the server list beside the logged-in face.
  ASSERT_NO_FATAL_FAILURE(StartLoggedIn("autorun=0\nshowtop=0\n"));
  auto& automation = launcher_->automation();
  ASSERT_NE(automation.WaitForWindow("UISerList", 30000), 0) << launcher_->output();
  ExpectSkinShown("UILogIn", "e2e-login.png");
  ExpectSkinShown("UISerList", "e2e-server-list.png");

  // The recommended server in the login window: one frame, and the list has gone with the login.
  ASSERT_NO_FATAL_FAILURE(OpenRecommendedServer());
  EXPECT_TRUE(WaitFor([&] { return WindowCount(automation, "UISerList") == 0; }))
      << automation.Windows().line();
  EXPECT_TRUE(WaitFor([&] { return WindowCount(automation, "UILogIn") == 0; }));
  EXPECT_EQ(WindowCount(automation, "UIMainFrame"), 1);
  ASSERT_TRUE(WaitFor([&] { return Shown(0); })) << automation.Windows().line();
  // The game page (the simulator's is light grey) shows below the band.
  const Rect frame = VisibleWindowRect(automation, "UIMainFrame");
  const auto game_page_drawn = [&] { return ScreenColor(frame[0] + 900, frame[1] + 150) == kGamePageColor; };
  EXPECT_TRUE(WaitFor(game_page_drawn)) << ScreenColor(frame[0] + 900, frame[1] + 150);
  ExpectSkinShown("UIMainFrame", "e2e-main-frame.png");

  // The service tab's view is shown in place of the game page; the game page's tab brings it back.
  ASSERT_TRUE(automation.Click("UIMainFrame", "gm_button").ok());
  ASSERT_TRUE(WaitFor([&] { return Views().size() == 2 && Shown(1) && !Shown(0); }))
      << automation.Windows().line();
  EXPECT_TRUE(WaitFor([&] { return !game_page_drawn(); }));
  ASSERT_TRUE(automation.Click("UIMainFrame", "page0").ok());
  EXPECT_TRUE(WaitFor([&] { return Shown(0) && !Shown(1); })) << automation.Windows().line();
  EXPECT_TRUE(WaitFor(game_page_drawn));
  EXPECT_TRUE(automation.Control("UIMainFrame", "page0").Bool("selected"));
  ASSERT_TRUE(automation.Click("UIMainFrame", "page1").ok());
  EXPECT_TRUE(WaitFor([&] { return Shown(1) && !Shown(0); })) << automation.Windows().line();
  EXPECT_TRUE(WaitFor([&] { return !game_page_drawn(); }));

  // Closing the shown service tab shows the game page, and its strip item leaves the band.
  ASSERT_TRUE(automation.Click("UIMainFrame", "CloseTabBtn1").ok());
  EXPECT_TRUE(WaitFor([&] { return Views().size() == 1 && Shown(0); })) << automation.Windows().line();
  EXPECT_TRUE(WaitFor(game_page_drawn));
  EXPECT_TRUE(automation.Control("UIMainFrame", "page0").Bool("selected"));
  EXPECT_EQ(WindowCount(automation, "UIMainFrame"), 1);
  const auto second_item_gone = [&] {
    const std::string colour = ScreenColor(frame[0] + 430, frame[1] + 34);
    return colour.size() == 6 && std::stoi(colour.substr(0, 2), nullptr, 16) < 0x80;
  };
  EXPECT_TRUE(WaitFor(second_item_gone));
  ExpectSkinShown("UIMainFrame", "e2e-main-frame-after-tabs.png");
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
