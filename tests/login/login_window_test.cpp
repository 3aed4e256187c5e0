// The login window and the exit question on the headless back end, built from the real skin.

#include <gtest/gtest.h>

#include <filesystem>

#include "login/login_dlg.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "tools/check_dlg.h"
#include "ui/ui.h"

namespace qrv {
namespace {

class LoginWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
    std::filesystem::create_directories(dir_);
    services_ = std::make_unique<AppServices>(ProgramPaths::FromProgramPath(dir_ + "/zelto_qrv"));
  }
  void TearDown() override {
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    MessageCore::Uninstall();
  }

  CLoginDlg* OpenLogin() {
    auto* login = new CLoginDlg(*services_);
    login->Create(nullptr, "玄岚城", WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0);
    login->CenterWindow();
    login->ShowWindow(true);
    loop_->Pump();
    return login;
  }

  // Clicks a control of a window as the window system delivers a real click.
  static void Click(HWND hwnd, CPaintManagerUI& pm, const std::string& name) {
    pm.UpdateLayout();  // as a paint would before the player sees the control
    CControlUI* control = pm.FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    const RECT r = control->GetPos();
    const LPARAM at = MAKELPARAM(static_cast<std::uint16_t>((r.left + r.right) / 2),
                                 static_cast<std::uint16_t>((r.top + r.bottom) / 2));
    SendMessage(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessage(hwnd, WM_LBUTTONDOWN, 1, at);
    SendMessage(hwnd, WM_LBUTTONUP, 0, at);
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  std::string dir_ = ::testing::TempDir() + "qrv-login-window";
  std::unique_ptr<AppServices> services_;
};

TEST_F(LoginWindowTest, BuildsFromItsLayoutAsAShapedWindowWithoutCaption) {
  CLoginDlg* login = OpenLogin();
  const auto* state = windows_->StateOf(login->GetHWND());
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(state->visible);
  EXPECT_TRUE(state->layered);
  EXPECT_EQ(state->color_key, 0x0A0A0Au);
  EXPECT_EQ(state->alpha, 250);
  EXPECT_EQ(state->style & WS_CAPTION, 0u);
  EXPECT_GT(state->rect.Width(), 300);  // the layout gave the size
  for (const char* name : {"edusername", "edpw", "opnote", "switch", "login", "txnickname", "bnlogout", "bnstart",
                           "lbstate", "lbstate2", "bntuijian", "bnzuiji1", "bnzuiji2", "bnzuiji3", "bnnew1", "bnnew4",
                           "txnew1", "txnew4", "bnnews", "bnreg", "bnzt", "bnhome", "bnbbs", "bnmoney", "bngm",
                           "bnmini", "bnclose", "bnshowreg", "bnback"}) {
    EXPECT_NE(login->paint_manager().FindControl(name), nullptr) << name;
  }
  // The fields' rectangle always takes presses; elsewhere the caption band drags.
  const RECT where = windows_->WindowRect(login->GetHWND());
  const auto hit = [&](int x, int y) {
    return SendMessage(login->GetHWND(), WM_NCHITTEST, 0,
                       MAKELPARAM(static_cast<std::uint16_t>(where.left + x), static_cast<std::uint16_t>(where.top + y)));
  };
  EXPECT_EQ(hit(234, 217), HTCLIENT);
  EXPECT_EQ(hit(389, 294), HTCLIENT);

  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  EXPECT_TRUE(login->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/login-window.png"));
}

TEST_F(LoginWindowTest, PageButtonsSwitchThePanel) {
  CLoginDlg* login = OpenLogin();
  auto* pages = static_cast<CTabLayoutUI*>(login->paint_manager().FindControl("switch"));
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->GetCurSel(), 0);
  Click(login->GetHWND(), login->paint_manager(), "bnshowreg");
  EXPECT_EQ(pages->GetCurSel(), 1);
  Click(login->GetHWND(), login->paint_manager(), "bnback");
  EXPECT_EQ(pages->GetCurSel(), 0);
}

TEST_F(LoginWindowTest, SystemCloseAsksAndEndsOnlyOnYes) {
  CLoginDlg* login = OpenLogin();
  const HWND hwnd = login->GetHWND();
  std::string asked_title;
  int answer_clicks = 0;
  std::string answer = "bncancel";
  windows_->SetModalResponder([&](HWND dialog) {
    asked_title = windows_->Title(dialog);
    auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
    EXPECT_EQ(windows_->WindowRect(dialog).Width(), CCheckDlg::kWidth);
    EXPECT_EQ(windows_->WindowRect(dialog).Height(), CCheckDlg::kHeight);
    if (answer_clicks++ == 0) {
      std::filesystem::create_directories(QRV_DOCS_OUTPUT);
      EXPECT_TRUE(question->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/exit-question.png"));
    }
    Click(dialog, question->paint_manager(), answer);
    return -1;
  });

  ScopedExitHook exit_hook;
  SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);  // "否": nothing happens
  EXPECT_EQ(asked_title, "退出提示");
  EXPECT_TRUE(IsWindow(hwnd));

  answer = "bnok";
  try {
    SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ADD_FAILURE() << "the program did not end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, -1);
  }
}

TEST_F(LoginWindowTest, ExitQuestionAnswersOneForYesAndTwoForNoOrTheCloseBox) {
  for (const auto& answer : {std::pair<std::string, int>{"bnok", IDOK}, {"bncancel", IDCANCEL},
                             {"bnclose", IDCANCEL}}) {
    const std::string button = answer.first;
    const int expected = answer.second;
    windows_->SetModalResponder([&](HWND dialog) {
      auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
      Click(dialog, question->paint_manager(), button);
      return -1;
    });
    CCheckDlg question;
    EXPECT_EQ(question.DoModal(nullptr), expected) << button;
  }
  // A press away from the buttons drags the dialog.
  windows_->SetModalResponder([&](HWND dialog) {
    SendMessage(dialog, WM_LBUTTONDOWN, 1, MAKELPARAM(20, 60));
    auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
    Click(dialog, question->paint_manager(), "bncancel");
    return -1;
  });
  const int drags = windows_->move_drags();
  CCheckDlg question;
  question.DoModal(nullptr);
  EXPECT_EQ(windows_->move_drags(), drags + 1);
}

}  // namespace
}  // namespace qrv
