// The login window never waits for the platform: a login that takes its time shows as under way,
// the window keeps answering meanwhile and sends no second login, and a window closed while its
// login is outstanding gets no late answer.

#include <gtest/gtest.h>

#include "login/login_window_fixture.h"
#include "tools/check_dlg.h"

namespace qrv {
namespace {

class LoginAsyncTest : public testing::LoginWindowFixture {
 protected:
  // The platform's next `count` answers (every later one when -1) come `ms` late, or never (-1).
  void DelayPlatform(int ms, int count = -1) {
    sim::testing::HttpClient client;
    ASSERT_EQ(client.Get(sim_->base_url() + "/__sim/delay?ms=" + std::to_string(ms) +
                         "&count=" + std::to_string(count)).body,
              "OK");
  }
};

TEST_F(LoginAsyncTest, ASlowLoginShowsAsUnderWayWhileTheWindowGoesOnAnswering) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  testing::RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  DelayPlatform(3000, 1);  // the login request

  Type(login, "qrvtest", "abc123456");
  ClickOnly(login->GetHWND(), login->paint_manager(), "login");
  EXPECT_TRUE(login->login_pending());
  EXPECT_FALSE(Find(login, "login")->IsEnabled());
  EXPECT_EQ(TextOf(login, "login"), "登录中…");
  // A second press sends nothing; the window minimises and asks its exit question as ever.
  ClickOnly(login->GetHWND(), login->paint_manager(), "login");
  Find(login, "edpw")->SetFocus();
  SendMessage(login->GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  ClickOnly(login->GetHWND(), login->paint_manager(), "bnmini");
  EXPECT_TRUE(windows_->IsMinimized(login->GetHWND()));
  int asked = 0;
  windows_->SetModalResponder([&](HWND dialog) {
    ++asked;
    auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
    ClickOnly(dialog, question->paint_manager(), "bncancel");
    return -1;
  });
  SendMessage(login->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(login->logged_in());

  // The answer comes: one login went out, and the window is logged in with its buttons back.
  Settle();
  EXPECT_EQ(EventCount("login_ok"), 1u);
  EXPECT_TRUE(login->logged_in());
  EXPECT_FALSE(login->login_pending());
  EXPECT_TRUE(Find(login, "bnstart")->IsEnabled());
  EXPECT_EQ(TextOf(login, "bnstart"), "开始游戏");
  EXPECT_EQ(TextOf(login, "login"), "登 录");
}

TEST_F(LoginAsyncTest, AWindowClosedWhileItsLoginIsOutstandingGetsNoLateAnswer) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  testing::RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  DelayPlatform(1500, 1);
  Type(login, "qrvtest", "abc123456");
  ClickOnly(login->GetHWND(), login->paint_manager(), "bnstart");  // hidden: nothing
  ClickOnly(login->GetHWND(), login->paint_manager(), "login");
  ASSERT_TRUE(login->login_pending());
  DestroyWindow(login->GetHWND());  // the object goes with its window
  // The answer arrives for a window that is gone: it is dropped, nothing runs.
  Settle();
  EXPECT_EQ(EventCount("login_ok"), 1u);
  EXPECT_TRUE(hand_off.lists.empty());
  EXPECT_EQ(testing::CountWindows("UILogIn"), 0);
}

TEST_F(LoginAsyncTest, APlatformThatNeverAnswersLeavesTheWindowWorking) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  DelayPlatform(-1);
  // The news do not come; the window opens all the same, with the layout's own news texts.
  CLoginDlg* login = new CLoginDlg(*services_, *platform_, nullptr);
  ASSERT_NE(login->Create(nullptr, "玄岚城", WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0), nullptr);
  login->ShowWindow(true);
  loop_->Pump();
  EXPECT_TRUE(windows_->IsVisible(login->GetHWND()));
  Type(login, "qrvtest", "abc123456");
  ClickOnly(login->GetHWND(), login->paint_manager(), "login");
  EXPECT_TRUE(login->login_pending());
  // Its timers run on as the clock moves; the platform still has not answered.
  loop_->Advance(60000);
  EXPECT_TRUE(login->login_pending());
  ClickOnly(login->GetHWND(), login->paint_manager(), "bnshowreg");
  EXPECT_EQ(static_cast<CTabLayoutUI*>(Find(login, "switch"))->GetCurSel(), 1);
  // The program ends without waiting for the hung request: the platform lane gives it up.
  DestroyWindow(login->GetHWND());
}

}  // namespace
}  // namespace qrv
