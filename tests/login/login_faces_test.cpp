// The logged-in face's server buttons, the hand-offs, logging out and closing, against the
// simulator with server lists made for each case.

#include <gtest/gtest.h>

#include "login/login_window_fixture.h"
#include "platform/process.h"
#include "tools/check_dlg.h"

namespace qrv {
namespace {

using testing::RecordingHandOff;
using LoginFacesTest = testing::LoginWindowFixture;

// One account that played "44||45|" (an empty piece and a trailing "|") and "9" (no such server),
// on a list whose first server is not open yet and whose second has no bracketed tag and is full.
constexpr const char* kOddServers = R"json({
  "accounts": [{"account": "odd", "password": "odd123", "profile": {"id": "77", "played": "44||45|9"}}],
  "servers": [
    {"id": "45", "name": "[45服]双线45区", "code": "qrv45", "type": "2", "state": "4"},
    {"id": "44", "name": "电信44区", "code": "qrv44", "type": "0", "state": "3"}
  ],
  "news": []})json";

TEST_F(LoginFacesTest, RecommendedServerSkipsOneNotOpenYetAndIsDisabledWhenFull) {
  StartPlatform(kOddServers);
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  Type(login, "odd", "odd123");
  Click(login, "login");
  ASSERT_TRUE(login->logged_in());

  // The second server is recommended; without brackets it shows only the bracketed line name.
  EXPECT_TRUE(Shown(login, "lbstate2"));
  EXPECT_TRUE(Shown(login, "bntuijian"));
  EXPECT_EQ(TextOf(login, "bntuijian"), "[电信]");
  EXPECT_FALSE(Find(login, "bntuijian")->IsEnabled());
  // Three pieces, two of them servers of the list.
  EXPECT_TRUE(Shown(login, "lbstate"));
  EXPECT_TRUE(Shown(login, "bnzuiji3"));
  EXPECT_EQ(TextOf(login, "bnzuiji1"), "[电信]");
  EXPECT_EQ(TextOf(login, "bnzuiji2"), "45服[双线]");
  EXPECT_EQ(TextOf(login, "bnzuiji3"), "");

  // A label that names no server leads nowhere: the window stays.
  Click(login, "bnzuiji1");
  Click(login, "bnzuiji3");
  EXPECT_TRUE(hand_off.frames.empty());
  loop_->Pump();
  ASSERT_TRUE(IsWindow(login->GetHWND()));

  // A server found by its label opens the game frame, and the login window closes.
  const HWND hwnd = login->GetHWND();
  Click(login, "bnzuiji2");
  ASSERT_EQ(hand_off.frames.size(), 1u);
  EXPECT_EQ(hand_off.frames[0].server.code, "qrv45");
  EXPECT_EQ(hand_off.frames[0].session.account, "odd");
  EXPECT_EQ(hand_off.frames[0].session.password, "odd123");
  EXPECT_EQ(hand_off.frames[0].session.profile.id, "77");
  EXPECT_EQ(hand_off.frames[0].session.servers.size(), 2u);
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(LoginFacesTest, NoServerIsRecommendedWhenTheOnlyOneIsNotOpenYet) {
  StartPlatform(
      R"json({"accounts": [{"account": "solo", "password": "solo1", "profile": {"id": "5", "played": ""}}],
                    "servers": [{"id": "45", "name": "[45服]双线45区", "code": "qrv45", "type": "2", "state": "4"}],
                    "news": []})json");
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  CLoginDlg* login = OpenLogin();
  Type(login, "solo", "solo1");
  Click(login, "login");
  ASSERT_TRUE(login->logged_in());
  EXPECT_FALSE(Shown(login, "bntuijian"));
  EXPECT_FALSE(Shown(login, "lbstate2"));
  EXPECT_FALSE(Shown(login, "lbstate"));  // never played
  EXPECT_FALSE(Shown(login, "bnzuiji1"));
}

TEST_F(LoginFacesTest, ServerButtonsWithoutAHandOffKeepTheLoginWindowOpen) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  CLoginDlg* login = OpenLogin();
  Type(login, "qrvtest", "abc123456");
  Click(login, "login");
  ASSERT_TRUE(login->logged_in());
  Click(login, "bntuijian");
  Click(login, "bnstart");
  loop_->Pump();
  EXPECT_TRUE(IsWindow(login->GetHWND()));
}

TEST_F(LoginFacesTest, ReturnAndTheLoginButtonStayWhileTheStartButtonShowsTheServerList) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  Type(login, "qrvtest", "abc123456");
  // Return typed in the password field.
  Find(login, "edpw")->SetFocus();
  SendMessage(login->GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  Settle();
  EXPECT_TRUE(login->logged_in());
  EXPECT_EQ(EventCount("login_ok"), 1u);
  EXPECT_TRUE(hand_off.lists.empty());

  Click(login, "bnstart");
  EXPECT_EQ(EventCount("login_ok"), 2u);
  ASSERT_EQ(hand_off.lists.size(), 1u);
  EXPECT_EQ(hand_off.lists[0].session.account, "qrvtest");
  // Keys elsewhere do nothing.
  Find(login, "bnstart")->SetFocus();
  SendMessage(login->GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(EventCount("login_ok"), 2u);
}

TEST_F(LoginFacesTest, LogoutAsksThenSendsTheExitNoticeAndShowsTheLoggedOutFace) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  Type(login, "qrvtest", "abc123456");
  Click(login, "login");
  ASSERT_TRUE(login->logged_in());

  std::string answer = "bncancel";
  windows_->SetModalResponder([&](HWND dialog) {
    auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
    Click(dialog, question->paint_manager(), answer);
    return -1;
  });
  Click(login, "bnlogout");
  EXPECT_TRUE(login->logged_in());
  EXPECT_EQ(EventCount("exit_ok"), 0u);

  answer = "bnok";
  Click(login, "bnlogout");
  EXPECT_FALSE(login->logged_in());
  EXPECT_EQ(EventCount("exit_ok"), 1u);
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200005"}));
  EXPECT_EQ(hand_off.list_closes, 1);
  EXPECT_TRUE(Shown(login, "login"));
  EXPECT_EQ(TextOf(login, "txnickname"), "");
  EXPECT_EQ(TextOf(login, "edpw"), "");  // not remembered
  EXPECT_EQ(TextOf(login, "edusername"), "qrvtest");
  for (const char* hidden : {"bnlogout", "txnickname", "bnstart", "lbstate", "bnzuiji1", "bnzuiji2",
                             "bnzuiji3", "lbstate2", "bntuijian"}) {
    EXPECT_FALSE(Shown(login, hidden)) << hidden;
  }
  SaveRendering(login->paint_manager(), "login-logged-out.png");
}

TEST_F(LoginFacesTest, CloseButtonSendsTheExitNoticeOnlyWhenLoggedIn) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  CLoginDlg* login = OpenLogin();
  ScopedExitHook exit_hook;
  const auto close = [&] {
    try {
      Click(login, "bnclose");
      ADD_FAILURE() << "the program did not end";
    } catch (const ProcessExit& exit) {
      EXPECT_EQ(exit.code, -1);
    }
  };
  close();
  EXPECT_EQ(EventCount("exit_ok"), 0u);
  Type(login, "qrvtest", "abc123456");
  Click(login, "login");
  close();
  EXPECT_EQ(EventCount("exit_ok"), 1u);
}

}  // namespace
}  // namespace qrv
