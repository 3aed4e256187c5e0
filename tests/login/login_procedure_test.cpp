// Logging in from the login window against the simulator: the remembered credentials, the
// failures and the error window, the timers, and the logged-in face's servers.

#include <gtest/gtest.h>

#include "login/login_credentials.h"
#include "login/login_window_fixture.h"
#include "tools/check_dlg.h"
#include "platform/debug_sink.h"

namespace qrv {
namespace {

using testing::RecordingHandOff;
using LoginProcedureTest = testing::LoginWindowFixture;

std::string PlusThirtyTwo(const std::string& text) {
  std::string out;
  for (const char c : text) out.push_back(static_cast<char>(static_cast<unsigned char>(c) + 32));
  return out;
}

TEST_F(LoginProcedureTest, SuccessWithRememberPasswordStoresTheScrambledCredentialsAndShowsTheServers) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  DebugCapture debug;
  Type(login, "qrvtest", "abc123456");
  Click(login, "opnote");
  ASSERT_TRUE(NoteOption(login)->IsSelected());
  Click(login, "login");

  ASSERT_TRUE(login->logged_in());
  // The stored bytes are the text's bytes plus 32, as earlier versions wrote them.
  const std::string file = SettingsBytes();
  EXPECT_NE(file.find("version=" + PlusThirtyTwo("qrvtest") + "\n"), std::string::npos);
  EXPECT_NE(file.find("checkcode=" + PlusThirtyTwo("abc123456") + "\n"), std::string::npos);
  EXPECT_EQ(services_->settings.ReadInt(settings::kUpdateLower, settings::kNote, 0), 1);
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200001"}));

  // The logged-in face: account, the recommended server (the first, 45, is not open yet) and the
  // three servers played last, named by label and line.
  EXPECT_EQ(TextOf(login, "txnickname"), "当前账号: qrvtest");
  for (const char* shown : {"txnickname", "bnlogout", "bnstart", "lbstate2", "bntuijian", "lbstate",
                            "bnzuiji1", "bnzuiji2", "bnzuiji3"}) {
    EXPECT_TRUE(Shown(login, shown)) << shown;
  }
  EXPECT_FALSE(Shown(login, "login"));
  EXPECT_TRUE(Find(login, "bnstart")->IsFocused());
  EXPECT_EQ(TextOf(login, "bntuijian"), "44服[双线]");
  EXPECT_TRUE(Find(login, "bntuijian")->IsEnabled());
  EXPECT_EQ(login->session().servers.size(), 45u);
  EXPECT_EQ(login->session().profile.played, "3|1|7");
  EXPECT_EQ(TextOf(login, "bnzuiji1"), "3服[电信]");
  EXPECT_EQ(TextOf(login, "bnzuiji2"), "1服[电信]");
  EXPECT_EQ(TextOf(login, "bnzuiji3"), "7服[电信]");
  // The log-in button logs in without showing the server list.
  EXPECT_TRUE(hand_off.lists.empty());
  EXPECT_TRUE(debug.Contains(">>>>>>>>>>>>>>>>>>click<<<<<<<<<<<<\r\n"));
  EXPECT_TRUE(debug.Contains(">>>>>>>>>>>>>>>>>>selectchanged<<<<<<<<<<<<\r\n"));
  EXPECT_TRUE(debug.Contains("********************解析服务器列表成功******************\r\n"));
  SaveRendering(login->paint_manager(), "login-logged-in.png");
}

TEST_F(LoginProcedureTest, WrongPasswordAndUnknownAccountEmptyTheirFieldsAndShowTheErrorWindow) {
  StartPlatform();
  WriteSetting(settings::kRunset, settings::kAutologin, "0");
  CLoginDlg* login = OpenLogin();
  const RECT where = windows_->WindowRect(login->GetHWND());

  Type(login, "qrvtest", "wrong-password");
  Click(login, "login");
  EXPECT_FALSE(login->logged_in());
  CLoginErrUI* error = login->error_window();
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetWindowClassName(), "UIClockList");
  EXPECT_TRUE(windows_->IsVisible(error->GetHWND()));
  EXPECT_EQ(windows_->Parent(error->GetHWND()), login->GetHWND());
  EXPECT_EQ(windows_->WindowRect(error->GetHWND()).left, where.left + 300);
  EXPECT_EQ(windows_->WindowRect(error->GetHWND()).top, where.top + 159);
  EXPECT_EQ(TextOf(login, "edusername"), "qrvtest");
  EXPECT_EQ(TextOf(login, "edpw"), "");
  EXPECT_EQ(login->session().password, "");
  SaveRendering(error->paint_manager(), "login-error.png");

  // While it is shown the login window ignores the player.
  auto* pages = static_cast<CTabLayoutUI*>(Find(login, "switch"));
  Click(login, "bnshowreg");
  EXPECT_EQ(pages->GetCurSel(), 0);
  EXPECT_EQ(SendMessage(login->GetHWND(), WM_LBUTTONDOWN, 1, 0), -1);
  Click(error->GetHWND(), error->paint_manager(), "bnok");
  EXPECT_FALSE(windows_->IsVisible(error->GetHWND()));
  Click(login, "bnshowreg");
  EXPECT_EQ(pages->GetCurSel(), 1);
  Click(login, "bnback");

  // An unknown account empties the password; the account field only with the option selected.
  Type(login, "nobody", "whatever");
  Click(login, "login");
  EXPECT_EQ(login->error_window(), error);  // the same window, shown again
  EXPECT_TRUE(windows_->IsVisible(error->GetHWND()));
  EXPECT_EQ(TextOf(login, "edusername"), "nobody");
  EXPECT_EQ(TextOf(login, "edpw"), "");
  Click(error->GetHWND(), error->paint_manager(), "bnclose");
  EXPECT_FALSE(windows_->IsVisible(error->GetHWND()));

  Click(login, "opnote");
  Type(login, "nobody", "whatever");
  Click(login, "login");
  EXPECT_EQ(TextOf(login, "edusername"), "");
  EXPECT_EQ(TextOf(login, "edpw"), "");
  EXPECT_EQ(login->session().account, "");
  EXPECT_EQ(EventCount("login_fail"), 3u);
  EXPECT_EQ(EventCount("login_ok"), 0u);
}

TEST_F(LoginProcedureTest, AFreshInstallationStartsQuietlyWithNothingRemembered) {
  StartPlatform();  // "autologin" is on by default, and nobody is remembered
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  loop_->Advance(CLoginDlg::kAutoLoginDelayMs);
  loop_->Advance(1000);
  // No login request, no error window, the remember option untouched and nothing written.
  EXPECT_FALSE(login->logged_in());
  EXPECT_EQ(login->error_window(), nullptr);
  EXPECT_EQ(EventCount("login_fail"), 0u);
  EXPECT_EQ(EventCount("login"), 0u);
  EXPECT_FALSE(NoteOption(login)->IsSelected());
  EXPECT_EQ(services_->settings.ReadInt(settings::kUpdateLower, settings::kNote, 7), 7);
  EXPECT_TRUE(StatCodes().empty());
  EXPECT_TRUE(hand_off.lists.empty());

  // A login the player types in then stores no password: the option was never ticked.
  Type(login, "qrvtest", "abc123456");
  Click(login, "login");
  EXPECT_TRUE(login->logged_in());
  EXPECT_EQ(services_->settings.ReadText(settings::kUpdate, settings::kVersion, ""), "");
}

TEST_F(LoginProcedureTest, TheStartButtonGoesOnWithTheAccountThatLoggedInLast) {
  // A remembered and automatic login, a log-out, and a login as somebody else typed in.
  StartPlatform();
  WriteSetting(settings::kUpdate, settings::kVersion, ScrambleCredential("玄岚侠客"));
  WriteSetting(settings::kUpdate, settings::kCheckCode, ScrambleCredential("xiake888"));
  WriteSetting(settings::kUpdateLower, settings::kNote, "1");
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  loop_->Advance(CLoginDlg::kAutoLoginDelayMs);
  Settle();
  ASSERT_TRUE(login->logged_in());
  ASSERT_EQ(hand_off.lists.size(), 1u);
  EXPECT_EQ(hand_off.lists.back().session.account, "玄岚侠客");

  windows_->SetModalResponder([&](HWND dialog) {
    auto* question = static_cast<CCheckDlg*>(CWindowWnd::FromHandle(dialog));
    Click(dialog, question->paint_manager(), "bnok");
    return -1;
  });
  Click(login, "bnlogout");
  ASSERT_FALSE(login->logged_in());
  Type(login, "qrvtest", "abc123456");
  Find(login, "edpw")->SetFocus();
  SendMessage(login->GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  Settle();
  ASSERT_TRUE(login->logged_in());
  Click(login, "bnstart");
  ASSERT_EQ(hand_off.lists.size(), 2u);
  EXPECT_EQ(hand_off.lists.back().session.account, "qrvtest");
  EXPECT_EQ(hand_off.lists.back().session.password, "abc123456");
}

TEST_F(LoginProcedureTest, RememberedCredentialsAreFilledInAndTheAutomaticLoginShowsTheServerList) {
  StartPlatform();
  WriteSetting(settings::kUpdate, settings::kVersion, ScrambleCredential("玄岚侠客"));
  WriteSetting(settings::kUpdate, settings::kCheckCode, ScrambleCredential("xiake888"));
  WriteSetting(settings::kUpdateLower, settings::kNote, "1");
  RecordingHandOff hand_off;
  CLoginDlg* login = OpenLogin(&hand_off);
  const RECT where = windows_->WindowRect(login->GetHWND());

  loop_->Advance(CLoginDlg::kFillInDelayMs);
  EXPECT_TRUE(NoteOption(login)->IsSelected());
  EXPECT_EQ(TextOf(login, "edusername"), "玄岚侠客");
  EXPECT_EQ(TextOf(login, "edpw"), "xiake888");
  EXPECT_EQ(testing::CountWindows("UINoteTip"), 0);  // filled in, not ticked by the player
  EXPECT_FALSE(login->logged_in());

  loop_->Advance(CLoginDlg::kAutoLoginDelayMs - CLoginDlg::kFillInDelayMs);
  Settle();
  ASSERT_TRUE(login->logged_in());
  ASSERT_EQ(hand_off.lists.size(), 1u);
  EXPECT_EQ(hand_off.lists[0].at.x, where.left + 150);
  EXPECT_EQ(hand_off.lists[0].at.y, where.top - 50);
  EXPECT_EQ(hand_off.lists[0].owner, login->GetHWND());
  EXPECT_EQ(hand_off.lists[0].session.account, "玄岚侠客");
  EXPECT_EQ(hand_off.lists[0].session.password, "xiake888");
  EXPECT_EQ(hand_off.lists[0].session.servers.size(), 45u);
  // "20||18|": two pieces, so two recent buttons.
  EXPECT_TRUE(Shown(login, "bnzuiji1"));
  EXPECT_TRUE(Shown(login, "bnzuiji2"));
  EXPECT_FALSE(Shown(login, "bnzuiji3"));
  EXPECT_EQ(TextOf(login, "bnzuiji1"), "20服[网通]");
  EXPECT_EQ(TextOf(login, "bnzuiji2"), "18服[双线]");
  // Each timer fired once.
  loop_->Advance(1000);
  EXPECT_EQ(EventCount("login_ok"), 1u);
  // The stored Chinese account reads back as written.
  EXPECT_EQ(ReadRememberedCredentials(services_->settings).account, "玄岚侠客");
}

}  // namespace
}  // namespace qrv
