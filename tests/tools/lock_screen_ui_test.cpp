// The screen lock: laid over the frame, unlocked only by the exact login password (by the button
// or Enter), shown again empty on the next lock, and able to minimise the frame or end the program
// after the exit question.

#include "tools/lock_screen_ui.h"

#include <gtest/gtest.h>

#include "app/frame_messages.h"
#include "platform/process.h"
#include "tools/check_dlg.h"
#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

class LockScreenTest : public testing::ToolsWindowFixture {
 protected:
  CLockScreenUI* OpenLock(const std::string& password) {
    auto* lock = new CLockScreenUI(password, frame_->hwnd());
    if (lock->CreateOverFrame() == nullptr) return nullptr;  // gone with its window
    lock->ShowLock();
    loop_->Pump();
    lock->paint_manager().UpdateLayout();
    return lock;
  }

  static CControlUI* Find(CLockScreenUI* lock, const std::string& name) {
    return lock->paint_manager().FindControl(name);
  }
  static bool Shown(CLockScreenUI* lock, const std::string& name) {
    CControlUI* control = Find(lock, name);
    return control != nullptr && control->IsVisible();
  }
  static void Click(CLockScreenUI* lock, const std::string& name) {
    testing::ClickNamed(lock->GetHWND(), lock->paint_manager(), name);
  }
  // Types `text` into the password field as the keyboard does and presses Enter.
  static void TypeAndEnter(CLockScreenUI* lock, const std::string& text) {
    testing::ClickNamed(lock->GetHWND(), lock->paint_manager(), "edinput");
    for (unsigned char c : text) SendMessage(lock->GetHWND(), WM_CHAR, c, 0);
    SendMessage(lock->GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  }
};

TEST_F(LockScreenTest, CoversTheFrameAsAChildWithEveryControl) {
  CLockScreenUI* lock = OpenLock("abc123456");
  ASSERT_NE(lock, nullptr);
  const HWND hwnd = lock->GetHWND();
  EXPECT_EQ(lock->GetWindowClassName(), "UIClockList");
  EXPECT_EQ(windows_->Title(hwnd), "屏幕锁定");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  const std::uint32_t style = windows_->Style(hwnd);
  EXPECT_NE(style & WS_CHILD, 0u);
  EXPECT_EQ(style & WS_CAPTION, 0u);
  EXPECT_NE(style & WS_CLIPCHILDREN, 0u);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  const RECT rect = windows_->WindowRect(hwnd);
  const RECT frame_client = GetClientRect(frame_->hwnd());
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.Width(), frame_client.Width());
  EXPECT_EQ(rect.Height(), frame_client.Height());
  for (const char* name : {"edinput", "txerr", "bnok", "bnmini", "bnclose"}) {
    EXPECT_NE(Find(lock, name), nullptr) << name;
  }
  EXPECT_FALSE(Shown(lock, "txerr"));
}

TEST_F(LockScreenTest, WrongPasswordShowsTheErrorAndTheRightOneUnlocks) {
  CLockScreenUI* lock = OpenLock("abc123456");
  ASSERT_NE(lock, nullptr);
  CControlUI* input = Find(lock, "edinput");

  // Another letter case is another password.
  input->SetText("ABC123456");
  Click(lock, "bnok");
  loop_->Pump();
  EXPECT_TRUE(Shown(lock, "txerr"));
  EXPECT_EQ(input->GetText(), "ABC123456");
  EXPECT_TRUE(IsWindowVisible(lock->GetHWND()));
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 0);
  input->SetText("abc12345");
  Click(lock, "bnok");
  loop_->Pump();
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 0);
  SaveRendering(lock->paint_manager(), "screen-lock.png");

  input->SetText("abc123456");
  Click(lock, "bnok");
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 0);  // posted, not sent
  loop_->Pump();
  ASSERT_EQ(frame_->Count(kMsgUnlocked), 1);
  EXPECT_EQ(frame_->received.back().wparam, 0u);
  EXPECT_EQ(frame_->received.back().lparam, 0);
  EXPECT_FALSE(IsWindowVisible(lock->GetHWND()));
  EXPECT_EQ(input->GetText(), "");
  EXPECT_FALSE(Shown(lock, "txerr"));
}

TEST_F(LockScreenTest, EnterUnlocksLikeTheButtonAndTheNextLockIsTheSameEmptyWindow) {
  CLockScreenUI* lock = OpenLock("pässwort");
  ASSERT_NE(lock, nullptr);
  const HWND hwnd = lock->GetHWND();
  TypeAndEnter(lock, "wrong");
  loop_->Pump();
  EXPECT_TRUE(Shown(lock, "txerr"));
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 0);

  Find(lock, "edinput")->SetText("");
  TypeAndEnter(lock, "");  // an empty field is no match for a password
  loop_->Pump();
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 0);

  Find(lock, "edinput")->SetText("pässwort");
  SendMessage(hwnd, WM_KEYDOWN, VK_RETURN, 0);
  loop_->Pump();
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 1);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  // The frame locks again: the same window, empty, without the error.
  lock->ShowLock();
  EXPECT_EQ(lock->GetHWND(), hwnd);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(Find(lock, "edinput")->GetText(), "");
  EXPECT_FALSE(Shown(lock, "txerr"));
  EXPECT_EQ(lock->paint_manager().GetFocus(), Find(lock, "edinput"));
}

TEST_F(LockScreenTest, EmptyLoginPasswordIsMatchedByAnEmptyField) {
  CLockScreenUI* lock = OpenLock("");
  ASSERT_NE(lock, nullptr);
  Click(lock, "bnok");
  loop_->Pump();
  EXPECT_EQ(frame_->Count(kMsgUnlocked), 1);
  EXPECT_FALSE(Shown(lock, "txerr"));
}

TEST_F(LockScreenTest, MinimiseAsksTheFrameAndCloseEndsOnlyAfterYes) {
  CLockScreenUI* lock = OpenLock("abc123456");
  ASSERT_NE(lock, nullptr);
  Click(lock, "bnmini");
  ASSERT_EQ(frame_->Count(WM_SYSCOMMAND), 1);  // sent at once
  EXPECT_EQ(frame_->received.back().wparam, SC_MINIMIZE);

  std::string answer = "bncancel";
  std::string asked;
  windows_->SetModalResponder([&](HWND dialog) {
    asked = windows_->Title(dialog);
    auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
    testing::ClickNamed(dialog, question->paint_manager(), answer);
    return -1;
  });
  ScopedExitHook exit_hook;
  Click(lock, "bnclose");
  EXPECT_EQ(asked, "退出提示");
  EXPECT_EQ(frame_->Count(kMsgExitSteps), 0);
  EXPECT_TRUE(IsWindowVisible(lock->GetHWND()));

  answer = "bnok";
  try {
    Click(lock, "bnclose");
    ADD_FAILURE() << "the program did not end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, -1);
  }
  // The frame did its exit steps before the process ended.
  EXPECT_EQ(frame_->Count(kMsgExitSteps), 1);
}

}  // namespace
}  // namespace qrv
