// The full-screen prompt: made just below the screen, risen into view by its seventh tick, its text
// and button shown from the eighth, gone on the sixtieth; its worker stops with its window.

#include "tools/huifu_ui.h"

#include <gtest/gtest.h>

#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

// A period the test never reaches, so that only the test's own ticks arrive.
constexpr int kSilentTickMs = 600000;

class HuifuTest : public testing::ToolsWindowFixture {
 protected:
  CHuifuUI* OpenPrompt(int tick_ms) {
    auto* prompt = new CHuifuUI(frame_->hwnd(), tick_ms);
    if (prompt->CreatePrompt() == nullptr) {
      delete prompt;
      return nullptr;
    }
    return prompt;
  }
  static bool Shown(CHuifuUI* prompt, const std::string& name) {
    CControlUI* control = prompt->paint_manager().FindControl(name);
    return control != nullptr && control->IsVisible();
  }
};

TEST_F(HuifuTest, RisesIntoViewThenShowsItsButtonAndEndsOnTheSixtiethTick) {
  windows_->set_screen(RECT{0, 0, 1920, 1080});
  CHuifuUI* prompt = OpenPrompt(kSilentTickMs);
  ASSERT_NE(prompt, nullptr);
  const HWND hwnd = prompt->GetHWND();
  EXPECT_EQ(prompt->GetWindowClassName(), "UIHuifu");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  EXPECT_EQ(windows_->Style(hwnd) & WS_CAPTION, 0u);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  for (const char* name : {"TextUI1", "bnexit"}) {
    EXPECT_NE(prompt->paint_manager().FindControl(name), nullptr) << name;
  }
  RECT rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect.left, 1920 / 2 - 150);
  EXPECT_EQ(rect.top, 1080);  // off screen
  EXPECT_EQ(rect.Width(), 300);
  EXPECT_EQ(rect.Height(), 35);

  for (int tick = 1; tick <= 7; ++tick) {
    SendMessage(hwnd, WM_TIMER, CHuifuUI::kTickTimerId, 0);
    EXPECT_EQ(windows_->WindowRect(hwnd).top, 1080 - 5 * tick);
    EXPECT_EQ(windows_->Focus(), hwnd);
  }
  rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect.bottom, 1080);  // wholly in view
  EXPECT_EQ(rect.left, 1920 / 2 - 150);
  EXPECT_EQ(rect.Width(), 300);
  EXPECT_FALSE(Shown(prompt, "TextUI1"));
  EXPECT_FALSE(Shown(prompt, "bnexit"));

  // Other timer ids are no ticks.
  SendMessage(hwnd, WM_TIMER, 5, 0);
  EXPECT_EQ(prompt->ticks(), 7);

  SendMessage(hwnd, WM_TIMER, CHuifuUI::kTickTimerId, 0);
  EXPECT_TRUE(Shown(prompt, "TextUI1"));
  EXPECT_TRUE(Shown(prompt, "bnexit"));
  EXPECT_EQ(windows_->WindowRect(hwnd).top, 1080 - 35);  // it stops rising
  SaveRendering(prompt->paint_manager(), "full-screen-prompt.png");

  testing::ClickNamed(hwnd, prompt->paint_manager(), "bnexit");
  EXPECT_EQ(frame_->Count(WM_KEYDOWN), 0);  // posted
  loop_->Pump();
  ASSERT_EQ(frame_->Count(WM_KEYDOWN), 1);
  EXPECT_EQ(frame_->received.back().wparam, VK_ESCAPE);

  for (int tick = 9; tick < CHuifuUI::kTicksPosted; ++tick)
    SendMessage(hwnd, WM_TIMER, CHuifuUI::kTickTimerId, 0);
  loop_->Pump();
  ASSERT_TRUE(IsWindow(hwnd));
  SendMessage(hwnd, WM_TIMER, CHuifuUI::kTickTimerId, 0);
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(HuifuTest, ItsOwnWorkerTicksItAwayWhateverTheMainFrameDoes) {
  CHuifuUI* prompt = OpenPrompt(1);
  ASSERT_NE(prompt, nullptr);
  const HWND hwnd = prompt->GetHWND();
  for (int i = 0; i < 200 && IsWindow(hwnd); ++i) loop_->WaitForPost(100);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(testing::CountWindowsOfClass("UIHuifu"), 0);
}

TEST_F(HuifuTest, DismissedOrDestroyedEarlyItsWorkerStopsAtOnce) {
  for (int round = 0; round < 5; ++round) {
    CHuifuUI* prompt = OpenPrompt(2);
    ASSERT_NE(prompt, nullptr);
    const HWND hwnd = prompt->GetHWND();
    loop_->WaitForPost(200);
    if (round % 2 == 0) {
      CHuifuUI::Dismiss(hwnd);  // as the main frame does on leaving full screen
      loop_->Pump();
    } else {
      DestroyWindow(hwnd);  // joins the worker; posts still queued go nowhere
    }
    EXPECT_FALSE(IsWindow(hwnd));
    CHuifuUI::Dismiss(hwnd);  // a prompt that has gone already: nothing happens
    loop_->Pump();
  }
  // A second prompt while the first still runs: each has its own worker.
  CHuifuUI* first = OpenPrompt(kSilentTickMs);
  CHuifuUI* second = OpenPrompt(kSilentTickMs);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const HWND second_hwnd = second->GetHWND();
  CHuifuUI::Dismiss(first->GetHWND());
  loop_->Pump();
  EXPECT_TRUE(IsWindow(second_hwnd));
  EXPECT_EQ(testing::CountWindowsOfClass("UIHuifu"), 1);
}

}  // namespace
}  // namespace qrv
