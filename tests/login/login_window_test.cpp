// The login window's shape, layout, news and window behaviour on the headless back end.

#include <gtest/gtest.h>

#include "login/login_window_fixture.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "tools/check_dlg.h"

namespace qrv {
namespace {

using LoginWindowTest = testing::LoginWindowFixture;

TEST_F(LoginWindowTest, BuildsFromItsLayoutAsAShapedWindowAndShowsTheNews) {
  StartPlatform();
  CLoginDlg* login = OpenLogin();
  const auto* state = windows_->StateOf(login->GetHWND());
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(state->visible);
  EXPECT_TRUE(state->layered);
  EXPECT_EQ(state->color_key, 0x0A0A0Au);
  EXPECT_EQ(state->alpha, 250);
  EXPECT_EQ(state->style & WS_CAPTION, 0u);
  EXPECT_GT(state->rect.Width(), 300);  // the layout gave the size
  for (const char* name :
       {"edusername", "edpw",     "opnote",    "switch",    "login",    "txnickname", "bnlogout", "bnstart",
        "lbstate",    "lbstate2", "bntuijian", "bnzuiji1",  "bnzuiji2", "bnzuiji3",   "bnnew1",   "bnnew4",
        "txnew1",     "txnew4",   "bnnews",    "bnreg",     "bnzt",     "bnhome",     "bnbbs",    "bnmoney",
        "bngm",       "bnmini",   "bnclose",   "bnshowreg", "bnback"}) {
    EXPECT_NE(Find(login, name), nullptr) << name;
  }
  // The news arrived while the window was made: the first four of the simulator's seven items.
  EXPECT_EQ(EventCount("news"), 1u);
  EXPECT_EQ(TextOf(login, "bnnew1"), "《玄岚城》双线45区[45服]12月20日10点火爆开启");
  EXPECT_EQ(TextOf(login, "txnew1"), "2026-12-15");
  EXPECT_EQ(TextOf(login, "bnnew4"), "新版本「星陨之战」更新说明");
  EXPECT_EQ(TextOf(login, "txnew4"), "2026-12-03");
  // The logged-out face.
  EXPECT_TRUE(Shown(login, "login"));
  for (const char* hidden :
       {"bnstart", "bnlogout", "txnickname", "bntuijian", "bnzuiji1", "lbstate", "lbstate2"}) {
    EXPECT_FALSE(Shown(login, hidden)) << hidden;
  }

  // The fields' rectangle always takes presses; elsewhere the caption band drags.
  const RECT where = windows_->WindowRect(login->GetHWND());
  const auto hit = [&](int x, int y) {
    return SendMessage(
        login->GetHWND(), WM_NCHITTEST, 0,
        MAKELPARAM(static_cast<std::uint16_t>(where.left + x), static_cast<std::uint16_t>(where.top + y)));
  };
  EXPECT_EQ(hit(234, 217), HTCLIENT);
  EXPECT_EQ(hit(389, 294), HTCLIENT);
  SaveRendering(login->paint_manager(), "login-window.png");
}

TEST_F(LoginWindowTest, PageButtonsSwitchThePanelAndPageButtonsOpenOnlyWebAddresses) {
  StartPlatform();
  CLoginDlg* login = OpenLogin();
  auto* pages = static_cast<CTabLayoutUI*>(Find(login, "switch"));
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->GetCurSel(), 0);
  Click(login, "bnshowreg");
  EXPECT_EQ(pages->GetCurSel(), 1);
  Click(login, "bnback");
  EXPECT_EQ(pages->GetCurSel(), 0);

  std::vector<std::string> opened;
  ScopedBrowserOpener opener([&](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  Click(login, "bnnew2");
  Click(login, "bnnews");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], sim_->base_url() + "/xwgg/2026/1214/1305.html");
  EXPECT_EQ(opened[1], sim_->base_url() + "/xwgg/list-1314.htm");
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200002", "200002"}));
}

TEST_F(LoginWindowTest, NewsWhoseAddressIsNoWebPageIsNotOpenedButCounted) {
  StartPlatform(R"json({"accounts": [{"account": "a", "password": "b", "profile": {"id": "1"}}],
                    "servers": [{"id": "1", "code": "c1", "name": "[1服]一区", "type": "0", "state": "1"}],
                    "news": [{"title": "本地文件", "add_date": "2026-01-01", "url": "file:///etc/passwd"},
                             {"title": "脚本", "add_date": "2026-01-02", "url": "javascript:alert(1)"}]})json");
  CLoginDlg* login = OpenLogin();
  std::vector<std::string> opened;
  ScopedBrowserOpener opener([&](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  Click(login, "bnnew1");
  Click(login, "bnnew2");
  Click(login, "bnnew3");  // no third item: nothing to open, still counted
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200002", "200002", "200002"}));
}

TEST_F(LoginWindowTest, SystemCloseAsksAndEndsOnlyOnYes) {
  StartPlatform();
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
    if (answer_clicks++ == 0) SaveRendering(question->paint_manager(), "exit-question.png");
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
  EXPECT_EQ(EventCount("exit_ok"), 0u);  // not logged in: no exit notice
}

TEST_F(LoginWindowTest, ExitQuestionAnswersOneForYesAndTwoForNoOrTheCloseBox) {
  for (const auto& answer :
       {std::pair<std::string, int>{"bnok", IDOK}, {"bncancel", IDCANCEL}, {"bnclose", IDCANCEL}}) {
    const std::string& button = answer.first;
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
