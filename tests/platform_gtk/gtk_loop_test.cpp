// The message core on GLib's main loop: posted messages, worker threads, timers, the quit message
// and nested modal loops.

#include <atomic>
#include <thread>

#include "gtk_test_support.h"
#include "platform/gtk/gtk_loop.h"

namespace qrv::testing {
namespace {

using GtkLoopTest = GtkPlatformTest;

TEST_F(GtkLoopTest, PostedMessagesFromAWorkerThreadArriveInOrderOnTheLoop) {
  TestWindow window(Toplevel(0, 0, 10, 10));
  const std::thread::id ui_thread = std::this_thread::get_id();
  std::vector<WPARAM> values;
  bool all_on_ui_thread = true;
  window.on_message_ = [&](UINT msg, WPARAM wparam, LPARAM, LRESULT&) {
    if (msg == WM_USER + 5) {
      values.push_back(wparam);
      all_on_ui_thread = all_on_ui_thread && std::this_thread::get_id() == ui_thread;
      if (values.size() == 500) PostQuitMessage(7);
    }
    return false;
  };
  std::thread worker([hwnd = window.hwnd()] {
    for (WPARAM i = 0; i < 500; ++i) PostMessage(hwnd, WM_USER + 5, i);
  });
  // Posting never delivers on the spot, even from the UI thread.
  PostMessage(window.hwnd(), WM_USER + 6, 0);
  EXPECT_FALSE(window.Saw(WM_USER + 6));
  EXPECT_EQ(RunMessageLoop(), 7);
  worker.join();
  ASSERT_EQ(values.size(), 500u);
  for (WPARAM i = 0; i < 500; ++i) ASSERT_EQ(values[i], i);
  EXPECT_TRUE(all_on_ui_thread);
  EXPECT_TRUE(window.Saw(WM_USER + 6));
}

TEST_F(GtkLoopTest, TimersFireRepeatedlyOnTheRealClockUntilKilled) {
  TestWindow window(Toplevel(0, 0, 10, 10));
  int fast = 0;
  int slow = 0;
  window.on_message_ = [&](UINT msg, WPARAM wparam, LPARAM, LRESULT&) {
    if (msg != WM_TIMER) return false;
    if (wparam == 1 && ++fast == 3) KillTimer(window.hwnd(), 1);
    if (wparam == 2) {
      ++slow;
      PostQuitMessage(0);
    }
    return true;
  };
  const std::int64_t start = MessageCore::Backend()->NowMs();
  SetTimer(window.hwnd(), 1, 20);
  SetTimer(window.hwnd(), 2, 300);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(fast, 3);
  EXPECT_EQ(slow, 1);
  // The slow timer cannot have fired before its time.
  EXPECT_GE(MessageCore::Backend()->NowMs() - start, 300);
}

TEST_F(GtkLoopTest, ModalLoopRunsMessagesAndTimersUntilEndModalAndDisablesOtherWindows) {
  TestWindow owner(Toplevel(100, 100, 200, 150));
  TestWindow dialog(Toplevel(150, 150, 100, 80));
  ShowAndWait(owner);
  bool owner_enabled_during = true;
  dialog.on_message_ = [&](UINT msg, WPARAM wparam, LPARAM, LRESULT&) {
    if (msg == WM_TIMER && wparam == 9) {
      owner_enabled_during = (windows_->Style(owner.hwnd()) & WS_DISABLED) == 0;
      KillTimer(dialog.hwnd(), 9);
      windows_->EndModal(dialog.hwnd(), 42);
      return true;
    }
    return false;
  };
  SetTimer(dialog.hwnd(), 9, 50);
  EXPECT_EQ(windows_->RunModal(dialog.hwnd()), 42);
  EXPECT_FALSE(owner_enabled_during);
  EXPECT_TRUE(IsWindowVisible(dialog.hwnd()));
  EXPECT_EQ(windows_->Style(owner.hwnd()) & WS_DISABLED, 0u);
}

TEST_F(GtkLoopTest, QuitMessageEndsNestedModalLoopsAndTheOuterLoop) {
  TestWindow outer(Toplevel(100, 100, 200, 150));
  TestWindow inner(Toplevel(150, 150, 100, 80));
  int inner_result = 0;
  outer.on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_USER) inner_result = windows_->RunModal(inner.hwnd());
    return false;
  };
  inner.on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_TIMER) {
      KillTimer(inner.hwnd(), 1);
      PostQuitMessage(3);
    }
    return false;
  };
  SetTimer(inner.hwnd(), 1, 30);
  PostMessage(outer.hwnd(), WM_USER);
  EXPECT_EQ(RunMessageLoop(), 3);
  EXPECT_EQ(inner_result, -1);
}

TEST_F(GtkLoopTest, DestroyingTheModalWindowEndsItsLoop) {
  auto dialog = std::make_unique<TestWindow>(Toplevel(150, 150, 100, 80));
  dialog->on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_USER) DestroyWindow(dialog->hwnd());
    return false;
  };
  PostMessage(dialog->hwnd(), WM_USER);
  EXPECT_EQ(windows_->RunModal(dialog->hwnd()), -1);
  EXPECT_FALSE(IsWindow(dialog->hwnd()));
}

TEST_F(GtkLoopTest, MessageBoxIsAWindowAutomationCanFindAndAnswer) {
  TestWindow owner(Toplevel(100, 100, 300, 200));
  ShowAndWait(owner);
  HWND box = nullptr;
  std::string text;
  bool visible = false;
  owner.on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg != WM_TIMER) return false;
    for (HWND hwnd : AllWindows()) {
      if (windows_->Title(hwnd) == "确认") box = hwnd;
    }
    if (box == nullptr) return true;
    KillTimer(owner.hwnd(), 1);
    text = windows_->MessageBoxText(box);
    visible = IsWindowVisible(box);
    SendMessage(box, kWmCommand, IDYES);
    return true;
  };
  SetTimer(owner.hwnd(), 1, 50);
  EXPECT_EQ(MessageBox(owner.hwnd(), "确定要退出吗？", "确认", MB_YESNO | MB_ICONQUESTION), IDYES);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(text, "确定要退出吗？");
  EXPECT_TRUE(visible);
  // The box is gone afterwards, and its owner works again.
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(windows_->Style(owner.hwnd()) & WS_DISABLED, 0u);
}

TEST_F(GtkLoopTest, MessageBoxAnswersFromTheDialogButtonsAndTheCloseButton) {
  TestWindow owner(Toplevel(100, 100, 300, 200));
  ShowAndWait(owner);
  int round = 0;
  owner.on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg != WM_TIMER) return false;
    for (HWND hwnd : AllWindows()) {
      if (windows_->MessageBoxText(hwnd).empty()) continue;
      KillTimer(owner.hwnd(), 1);
      GtkWidget* dialog = windows_->ToplevelWidget(hwnd);
      if (round == 0) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_NO);
      if (round == 1) SendMessage(hwnd, WM_CLOSE);
    }
    return true;
  };
  SetTimer(owner.hwnd(), 1, 50);
  EXPECT_EQ(MessageBox(owner.hwnd(), "question", "caption", MB_YESNO), IDNO);
  round = 1;
  SetTimer(owner.hwnd(), 1, 50);
  EXPECT_EQ(MessageBox(owner.hwnd(), "notice", "caption", MB_OK), IDOK);
}

}  // namespace
}  // namespace qrv::testing
