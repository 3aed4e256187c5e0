// The full-screen prompt: made just below the work area, risen into view by its seventh tick, its text
// and button shown from the eighth, gone on the sixtieth; its ticks stop with its window.

#include "tools/huifu_ui.h"

#include <gtest/gtest.h>

#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

class HuifuTest : public testing::ToolsWindowFixture {
 protected:
  CHuifuUI* OpenPrompt() {
    auto* prompt = new CHuifuUI(frame_->hwnd());
    if (prompt->CreatePrompt() == nullptr) return nullptr;  // gone with its window
    return prompt;
  }
  static bool Shown(CHuifuUI* prompt, const std::string& name) {
    CControlUI* control = prompt->paint_manager().FindControl(name);
    return control != nullptr && control->IsVisible();
  }
};

TEST_F(HuifuTest, RisesIntoViewThenShowsItsButtonAndEndsOnTheSixtiethTick) {
  // A panel takes the screen's bottom 40 pixels: the prompt rises out of the work area's edge.
  windows_->set_screen(RECT{0, 0, 1920, 1080});
  windows_->set_work_area(RECT{0, 0, 1920, 1040});
  CHuifuUI* prompt = OpenPrompt();
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
  EXPECT_EQ(rect.top, 1040);  // out of view
  EXPECT_EQ(rect.Width(), 300);
  EXPECT_EQ(rect.Height(), 35);

  for (int tick = 1; tick <= 7; ++tick) {
    SendMessage(hwnd, WM_TIMER, CHuifuUI::kTickTimerId, 0);
    EXPECT_EQ(windows_->WindowRect(hwnd).top, 1040 - 5 * tick);
    EXPECT_EQ(windows_->Focus(), hwnd);
  }
  rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect.bottom, 1040);  // wholly in view, above the panel
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
  EXPECT_EQ(windows_->WindowRect(hwnd).top, 1040 - 35);  // it stops rising
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

TEST_F(HuifuTest, ItsOwnTimerTicksItAwayAfterThreeSecondsUnlessDismissedFirst) {
  CHuifuUI* prompt = OpenPrompt();
  ASSERT_NE(prompt, nullptr);
  const HWND hwnd = prompt->GetHWND();
  const int top = windows_->WindowRect(hwnd).top;
  loop_->Advance(7 * CHuifuUI::kTickMs);
  EXPECT_EQ(windows_->WindowRect(hwnd).top, top - 35);
  loop_->Advance(52 * CHuifuUI::kTickMs);
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(prompt->ticks(), 59);
  loop_->Advance(CHuifuUI::kTickMs);
  EXPECT_FALSE(IsWindow(hwnd));

  // Dismissed (as the main frame does on leaving full screen) or destroyed early, a prompt ticks
  // no more, and a second prompt keeps its own ticks.
  CHuifuUI* first = OpenPrompt();
  CHuifuUI* second = OpenPrompt();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const HWND first_hwnd = first->GetHWND();
  const HWND second_hwnd = second->GetHWND();
  loop_->Advance(10 * CHuifuUI::kTickMs);
  CHuifuUI::Dismiss(first_hwnd);
  loop_->Pump();
  EXPECT_FALSE(IsWindow(first_hwnd));
  CHuifuUI::Dismiss(first_hwnd);  // gone already: nothing happens
  EXPECT_EQ(second->ticks(), 10);
  loop_->Advance(CHuifuUI::kTickMs);
  EXPECT_EQ(second->ticks(), 11);
  DestroyWindow(second_hwnd);
  loop_->Advance(10 * CHuifuUI::kTickMs);
  EXPECT_EQ(testing::CountWindowsOfClass("UIHuifu"), 0);
}

}  // namespace
}  // namespace qrv
