// The main frame against the simulator: start-up, the heartbeat and the login check, switching
// server, keys, window commands and the ways out of the program.

#include "frame_fixture.h"
#include "app/frame_messages.h"
#include "platform/debug_sink.h"

namespace qrv::testing {
namespace {

class MainFrameTest : public FrameFixture {};

TEST_F(MainFrameTest, StartUpShowsTheChosenServersGamePageWithHotkeysTrayAndAccount) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  const ServerEntry& server = session_.servers[1];
  ASSERT_FALSE(frame_->first_view().navigations().empty());
  EXPECT_EQ(frame_->first_view().navigations().front(), GamePage(server.code));
  EXPECT_EQ(frame_->first_view().GetDlgCtrlID(), 10000);
  EXPECT_EQ(frame_->tabs().count(), 1u);
  EXPECT_EQ(windows_->Title(hwnd()), "玄岚城");
  EXPECT_TRUE(windows_->IsTopmost(hwnd()));
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  EXPECT_EQ(windows_->Style(hwnd()) & WS_CAPTION, 0u);
  EXPECT_EQ(Find("bnuserinf")->GetText(), "qrvtest");

  const auto* capture = hotkeys_->Find(hwnd(), 1);
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(capture->modifiers, MOD_ALT);
  EXPECT_EQ(capture->vk, 'A');
  ASSERT_NE(hotkeys_->Find(hwnd(), 2), nullptr);
  EXPECT_EQ(hotkeys_->Find(hwnd(), 2)->vk, 'Q');
  EXPECT_NE(hotkeys_->Find(hwnd(), 115), nullptr);
  const auto* icon = tray_->Find(hwnd());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->tooltip, "玄岚城登陆器");
  EXPECT_EQ(icon->callback_message, kMsgTrayCallback);
}

TEST_F(MainFrameTest, ShowTopOffLeavesTheFrameNotTopmost) {
  WriteSetting("Runset", "showtop", "0");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  EXPECT_FALSE(windows_->IsTopmost(hwnd()));
}

TEST_F(MainFrameTest, HeartbeatEveryTenMinutesNeverLogsInAgain) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  const std::size_t logins = EventCount("login_ok");
  DropPlatformSessions();
  DebugCapture debug;
  loop_->Advance(600000);
  Settle();
  EXPECT_EQ(EventCount("heartbeat"), 1u);
  EXPECT_TRUE(debug.Contains("发送心跳包"));
  loop_->Advance(600000);
  Settle();
  EXPECT_EQ(EventCount("heartbeat"), 2u);
  EXPECT_EQ(EventCount("login_ok"), logins);
}

TEST_F(MainFrameTest, RefreshLogsInAgainOnlyWhenTheHeartbeatLacksTheProfileId) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  const std::size_t logins = EventCount("login_ok");
  Click("bnrefresh");
  EXPECT_EQ(EventCount("login_ok"), logins);
  EXPECT_EQ(frame_->first_view().navigations().size(), 2u);

  DropPlatformSessions();
  Click("bnrefresh");
  EXPECT_EQ(EventCount("login_ok"), logins + 1);
  EXPECT_EQ(frame_->first_view().navigations().back(), GamePage(session_.servers[1].code));
  // The new login holds again: the next refresh finds the id.
  Click("bnrefresh");
  EXPECT_EQ(EventCount("login_ok"), logins + 1);
}

TEST_F(MainFrameTest, SwitchServerMessageChecksTheLoginAndShowsTheNewServersPage) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  DropPlatformSessions();
  const std::size_t logins = EventCount("login_ok");
  const ServerEntry target = session_.servers[5];
  ASSERT_TRUE(PostMessage(hwnd(), kMsgSwitchServer, 0, std::make_unique<ServerEntry>(target)));
  Settle();
  EXPECT_EQ(frame_->current_server(), target);
  EXPECT_EQ(frame_->first_view().navigations().back(), GamePage(target.code));
  EXPECT_EQ(EventCount("login_ok"), logins + 1);
  // The first tab keeps its caption.
  EXPECT_EQ(Find("page0")->GetText(), "玄岚城");

  // A message without its block changes nothing.
  PostMessage(hwnd(), kMsgSwitchServer, 0, 0);
  loop_->Pump();
  EXPECT_EQ(frame_->current_server(), target);
}

TEST_F(MainFrameTest, SwitchMessagesThatNeverArriveFreeTheirServer) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  const HWND gone = hwnd();
  // Queued for a window that is destroyed before the queue runs: the block must be freed once
  // (AddressSanitizer reports a leak or a double free otherwise).
  ASSERT_TRUE(PostMessage(gone, kMsgSwitchServer, 0, std::make_unique<ServerEntry>(session_.servers[2])));
  EXPECT_FALSE(PostMessage(HandleFromId(987654), kMsgSwitchServer, 0, std::make_unique<ServerEntry>()));
  DestroyWindow(gone);
  frame_ = nullptr;
  loop_->Pump();
  EXPECT_TRUE(MessageCore::QuitRequested());
}

TEST_F(MainFrameTest, KeysReachTheFrameThroughTheHookWhileAnotherWindowHasTheFocus) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  windows_->SetFocus(frame_->first_view().GetHWND());
  const std::size_t shown = frame_->first_view().navigations().size();
  EXPECT_FALSE(frame_->PreviewKey(WM_KEYDOWN, VK_F5, 1));
  frame_->PreviewKey(WM_KEYUP, VK_F5, static_cast<LPARAM>(1u | (1u << 31)));
  frame_->PreviewKey(WM_KEYDOWN, 'A', 1);
  loop_->Pump();
  EXPECT_EQ(frame_->first_view().navigations().size(), shown + 1);

  // With the focus on the frame itself the key arrives directly, so the hook posts nothing.
  windows_->SetFocus(hwnd());
  frame_->PreviewKey(WM_KEYDOWN, VK_F5, 1);
  loop_->Pump();
  EXPECT_EQ(frame_->first_view().navigations().size(), shown + 1);
}

TEST_F(MainFrameTest, FullScreenCoversTheScreenAndEscLeavesItUnlessTheBandIsHidden) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("bnfull");
  EXPECT_TRUE(frame_->full_screen());
  EXPECT_EQ(GetWindowRect(hwnd()), (RECT{0, 0, 1600, 1000}));
  EXPECT_EQ(GetWindowRect(frame_->first_view().GetHWND()).Width(), 1600);
  EXPECT_NE(frame_->restore_prompt(), nullptr);
  EXPECT_TRUE(StatSent("200007"));

  SendMessage(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(frame_->full_screen());
  EXPECT_EQ(GetWindowRect(hwnd()), (RECT{0, 0, 1600, 960}));
  EXPECT_EQ(frame_->restore_prompt(), nullptr);

  Click("bnfull");
  Click("bntab");
  EXPECT_FALSE(Find("HorizontalLayoutUI4")->IsVisible());
  SendMessage(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(frame_->full_screen());
}

TEST_F(MainFrameTest, MaximiseAndRestoreMoveOnlyTheFirstView) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  SendMessage(hwnd(), WM_SYSCOMMAND, SC_MAXIMIZE);
  EXPECT_EQ(frame_->window_state(), 2);
  EXPECT_FALSE(Find("maxbtn")->IsVisible());
  EXPECT_TRUE(Find("restorebtn")->IsVisible());
  SendMessage(hwnd(), WM_SYSCOMMAND, SC_RESTORE);
  EXPECT_EQ(frame_->window_state(), 1);
  EXPECT_TRUE(Find("maxbtn")->IsVisible());
  const RECT view = GetClientRect(frame_->first_view().GetHWND());
  EXPECT_EQ(view.Width(), 1000);
  EXPECT_EQ(view.Height(), 650);
}

TEST_F(MainFrameTest, CloseButtonFollowsTheExitSetting) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("closebtn");  // no setting: 1, minimise
  EXPECT_TRUE(windows_->IsMinimized(hwnd()));
  SendMessage(hwnd(), WM_SYSCOMMAND, SC_RESTORE);

  WriteSetting("Runset", "exit", "2");
  int asked = 0;
  windows_->SetModalResponder([&](HWND) {
    ++asked;
    return IDCANCEL;
  });
  Click("closebtn");
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(IsWindow(hwnd()));
  EXPECT_EQ(EventCount("exit_ok"), 0u);

  WriteSetting("Runset", "exit", "7");
  Click("closebtn");
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(windows_->IsMinimized(hwnd()));
}

TEST_F(MainFrameTest, CloseButtonWithExitTwoAndYesSendsTheExitNoticeAndEndsWithZero) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  WriteSetting("Runset", "exit", "2");
  windows_->SetModalResponder([](HWND) { return IDOK; });
  ScopedExitHook hook;
  int code = 1234;
  try {
    Click("closebtn");
  } catch (const ProcessExit& exit) {
    code = exit.code;
  }
  EXPECT_EQ(code, 0);
  EXPECT_EQ(EventCount("exit_ok"), 1u);
  EXPECT_EQ(tray_->Find(hwnd()), nullptr);
}

TEST_F(MainFrameTest, WindowManagerCloseAsksAndEndsWithMinusOne) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  windows_->SetModalResponder([](HWND) { return IDCANCEL; });
  SendMessage(hwnd(), WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_TRUE(IsWindow(hwnd()));

  windows_->SetModalResponder([](HWND) { return IDOK; });
  ScopedExitHook hook;
  int code = 1234;
  try {
    SendMessage(hwnd(), WM_SYSCOMMAND, SC_CLOSE);
  } catch (const ProcessExit& exit) {
    code = exit.code;
  }
  EXPECT_EQ(code, -1);
  EXPECT_EQ(EventCount("exit_ok"), 1u);
  EXPECT_EQ(tray_->Find(hwnd()), nullptr);
}

TEST_F(MainFrameTest, ExitStepsMessageSendsTheNoticeAndRemovesTheTrayIconOnce) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  EXPECT_EQ(SendMessage(hwnd(), kMsgExitSteps), 0);
  Settle();
  EXPECT_EQ(EventCount("exit_ok"), 1u);
  EXPECT_EQ(tray_->Find(hwnd()), nullptr);
  EXPECT_FALSE(frame_->tray().shown());
}

TEST_F(MainFrameTest, PayPageOpensInTheSystemBrowserWithTheServerNumber) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  const std::size_t shown = frame_->first_view().navigations().size();
  Click("bnchongzhi");
  // Opened outside the view: the view's own page stays.
  EXPECT_EQ(frame_->first_view().navigations().size(), shown);
  EXPECT_TRUE(StatSent("200010"));
}

TEST_F(MainFrameTest, NewItemButtonOpensOneServerListOwnedByTheFrame) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("NewItemBtn");
  const HWND list = frame_->server_list_window();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(windows_->Title(list), "选择服务器");
  EXPECT_EQ(CWindowWnd::FromHandle(list)->GetWindowClassName(), "UISerList");
  ShowWindow(list, SW_HIDE);
  SendMessage(hwnd(), kMsgOpenServerList);
  EXPECT_EQ(frame_->server_list_window(), list);
  EXPECT_TRUE(IsWindowVisible(list));
}

TEST_F(MainFrameTest, LockHidesTheGameViewUntilTheLockSaysUnlocked) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("bnlock");
  ASSERT_NE(frame_->lock_window(), nullptr);
  EXPECT_FALSE(IsWindowVisible(frame_->first_view().GetHWND()));
  EXPECT_TRUE(StatSent("200009"));
  PostMessage(hwnd(), kMsgUnlocked);
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(frame_->first_view().GetHWND()));
  const HWND lock = frame_->lock_window();
  Click("bnlock");
  EXPECT_EQ(frame_->lock_window(), lock);
}

}  // namespace
}  // namespace qrv::testing

namespace qrv::testing {
namespace {

TEST_F(FrameFixture, RendersTheTopBandWithASecondTab) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("gm_button");
  SetWindowPos(hwnd(), nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
  frame_->paint_manager().UpdateLayout();
  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  EXPECT_TRUE(frame_->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/main-frame.png"));
}

}  // namespace
}  // namespace qrv::testing
