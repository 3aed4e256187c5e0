// The flash repair window: a run on the virtual clock shows 5 to 95 in steps of 5 every 10 ms and
// then the result; stopping resets at once; a run that ends while the window is hidden leaves it
// idle; a second run does not show the first one's result.

#include "tools/flash_repair_ui.h"

#include <gtest/gtest.h>

#include <vector>

#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

class FlashRepairTest : public testing::ToolsWindowFixture {
 protected:
  CFlashRepairUI* Open() {
    auto* window = new CFlashRepairUI();
    if (window->Create(frame_->hwnd(), "", kPopupStyle, 0, 100, 100, 0, 0) == nullptr) return nullptr;
    window_ = window;
    window->paint_manager().UpdateLayout();
    return window;
  }
  bool Shown(const std::string& name) {
    CControlUI* control = window_->paint_manager().FindControl(name);
    return control != nullptr && control->IsVisible();
  }
  std::string Text(const std::string& name) { return window_->paint_manager().FindControl(name)->GetText(); }
  int Bar() {
    return static_cast<CProgressUI*>(window_->paint_manager().FindControl("ProgressUI1"))->GetValue();
  }
  void Click(const std::string& name) {
    testing::ClickNamed(window_->GetHWND(), window_->paint_manager(), name);
  }
  void ExpectIdle() {
    EXPECT_TRUE(Shown("TextUI2"));
    EXPECT_FALSE(Shown("TextUI3"));
    EXPECT_TRUE(Shown("bnok"));
    EXPECT_TRUE(Shown("bncancle"));
    EXPECT_EQ(Text("bncancle"), "取消");
    EXPECT_FALSE(Shown("bnquxiao"));
    EXPECT_FALSE(Shown("bnblack"));
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(window_->steps(), 0);
  }

  CFlashRepairUI* window_ = nullptr;
};

TEST_F(FlashRepairTest, ARunShowsFiveToNinetyFiveThenTheResultInAboutTwoHundredMilliseconds) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(window_->GetWindowClassName(), "UIFlashRepair");
  ExpectIdle();
  SaveRendering(window_->paint_manager(), "flash-repair.png");

  Click("bnok");
  EXPECT_FALSE(Shown("TextUI2"));
  EXPECT_FALSE(Shown("bnok"));
  EXPECT_FALSE(Shown("bncancle"));
  EXPECT_TRUE(Shown("bnquxiao"));
  EXPECT_TRUE(Shown("bnblack"));
  std::vector<int> seen;
  for (int tick = 1; tick <= 19; ++tick) {
    loop_->Advance(10);
    seen.push_back(Bar());
  }
  std::vector<int> expected;
  for (int value = 5; value <= 95; value += 5) expected.push_back(value);
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(Shown("TextUI3"));
  SaveRendering(window_->paint_manager(), "flash-repair-running.png");
  loop_->Advance(10);  // the twentieth tick, 200 ms after the start
  EXPECT_TRUE(Shown("TextUI3"));
  EXPECT_EQ(window_->steps(), 0);
  EXPECT_TRUE(Shown("bncancle"));
  EXPECT_EQ(Text("bncancle"), "确定");
  EXPECT_FALSE(Shown("bnquxiao"));
  EXPECT_FALSE(Shown("bnblack"));
  SaveRendering(window_->paint_manager(), "flash-repair-done.png");
  // The timer has stopped.
  loop_->Advance(100);
  EXPECT_EQ(window_->steps(), 0);

  // "确定" hides it; the next run starts without the last result showing.
  Click("bncancle");
  EXPECT_FALSE(IsWindowVisible(window_->GetHWND()));
  window_->Reset();
  window_->ShowWindow(true);
  ExpectIdle();
  Click("bnok");
  loop_->Advance(10);
  EXPECT_EQ(Bar(), 5);
  EXPECT_FALSE(Shown("TextUI3"));
}

TEST_F(FlashRepairTest, StopResetsAtOnceAndARunEndingHiddenLeavesTheWindowIdle) {
  ASSERT_NE(Open(), nullptr);
  const HWND hwnd = window_->GetHWND();
  Click("bnok");
  loop_->Advance(30);
  EXPECT_EQ(window_->steps(), 15);
  Click("bnquxiao");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  ExpectIdle();
  loop_->Advance(300);
  EXPECT_EQ(window_->steps(), 0);

  // "后台运行" hides the window while the run goes on; ending hidden resets it.
  window_->ShowWindow(true);
  Click("bnok");
  loop_->Advance(50);
  Click("bnblack");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(window_->steps(), 25);
  loop_->Advance(150);
  ExpectIdle();
}

}  // namespace
}  // namespace qrv
