// The remember-password tip: opened when the player ticks the option, placed over it, see-through
// around its bubble, gone on its 28th tick (about 1.4 seconds on the virtual clock).

#include "tools/note_tip.h"

#include <gtest/gtest.h>

#include "login/login_window_fixture.h"

namespace qrv {
namespace {

using NoteTipTest = testing::LoginWindowFixture;

CNoteTip* FindTip() {
  for (HWND hwnd : AllWindows()) {
    CWindowWnd* window = CWindowWnd::FromHandle(hwnd);
    if (window != nullptr && window->GetWindowClassName() == "UINoteTip")
      return static_cast<CNoteTip*>(window);
  }
  return nullptr;
}

TEST_F(NoteTipTest, TickingTheOptionShowsTheTipOverItUntilItsTwentyEighthTick) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  CLoginDlg* login = OpenLogin();
  Click(login, "opnote");
  CNoteTip* tip = FindTip();
  ASSERT_NE(tip, nullptr);
  const HWND hwnd = tip->GetHWND();
  const auto* state = windows_->StateOf(hwnd);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(windows_->Title(hwnd), "记住密码提示");
  EXPECT_TRUE(state->visible);
  EXPECT_EQ(windows_->Parent(hwnd), login->GetHWND());
  const RECT window = windows_->WindowRect(login->GetHWND());
  const RECT option = Find(login, "opnote")->GetPos();
  EXPECT_EQ(state->rect.left, window.left + option.left - 30);
  EXPECT_EQ(state->rect.top, window.top + option.top - 38);
  EXPECT_TRUE(state->layered);
  EXPECT_EQ(state->color_key, 0u);
  EXPECT_EQ(state->alpha, 250);
  EXPECT_EQ(state->style & WS_CAPTION, 0u);
  EXPECT_EQ(services_->settings.ReadInt(settings::kUpdateLower, settings::kNote, 0), 1);
  SaveRendering(tip->paint_manager(), "note-tip.png");

  // Clearing the option opens nothing and writes 0.
  Click(login, "opnote");
  EXPECT_EQ(services_->settings.ReadInt(settings::kUpdateLower, settings::kNote, 1), 0);
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200001", "200001"}));

  // Its own timer closes it on the 28th tick, 1,400 ms after it opened, whether or not anybody
  // touches it: 27 ticks after 1,350 ms, gone after 1,400.
  loop_->Advance(1350);
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(tip->ticks(), 27);
  loop_->Advance(49);
  ASSERT_TRUE(IsWindow(hwnd));
  loop_->Advance(1);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(FindTip(), nullptr);
}

TEST_F(NoteTipTest, ClosesOnItsTwentyEighthTickWhateverTheTimerId) {
  ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
  auto* tip = new CNoteTip();
  const HWND hwnd = tip->Create(nullptr, "记住密码提示", WS_POPUP | WS_VISIBLE, 0, 10, 10, 0, 0);
  ASSERT_NE(hwnd, nullptr);
  for (int i = 1; i < 28; ++i) SendMessage(hwnd, WM_TIMER, 7, 0);
  loop_->Pump();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(tip->ticks(), 27);
  SendMessage(hwnd, WM_TIMER, 1, 0);
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace qrv
