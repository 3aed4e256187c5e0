// Logging in, and the two faces of the login window's panel.

#include "login/login_credentials.h"
#include "login/login_dlg.h"

#include <initializer_list>
#include "login/login_error_window.h"
#include "login/login_servers.h"

namespace qrv {
namespace {

void SetShown(CControlUI* control, bool shown) {
  if (control != nullptr) control->SetVisible(shown);
}

void SetTextOf(CControlUI* control, const std::string& text) {
  if (control != nullptr) control->SetText(text);
}

std::string TextOf(const CControlUI* control) {
  return control != nullptr ? control->GetText() : std::string();
}

}  // namespace

void CLoginDlg::FillInRemembered() {
  // Selecting the option raises its "selectchanged" like a click by the player would.
  if (note_option_ != nullptr) note_option_->Selected(true);
  // Reads the settings file named at start-up, wherever the program's folder lies.
  const RememberedCredentials remembered = ReadRememberedCredentials(services_.settings);
  SetTextOf(account_edit_, remembered.account);
  SetTextOf(password_edit_, remembered.password);
}

void CLoginDlg::PerformLogin(bool use_stored, bool keep_on_login) {
  std::string account = TextOf(account_edit_);
  std::string password = TextOf(password_edit_);
  if (use_stored) {
    // With nothing remembered the fields are used: logging in with an empty account could only
    // fail, and the start button would then fail for a player who never ticked the option.
    RememberedCredentials remembered = ReadRememberedCredentials(services_.settings);
    if (!remembered.account.empty()) {
      account = std::move(remembered.account);
      password = std::move(remembered.password);
    }
  }
  LogIn(account, password, keep_on_login);
}

void CLoginDlg::LogIn(const std::string& account, const std::string& password, bool keep_on_login) {
  // One login at a time: a second click while one is under way sends nothing.
  if (login_pending_) return;
  session_.servers.clear();
  session_.account = account;
  session_.password = password;
  ShowLoginPending(true);
  platform_.LogIn(account, password, replies_, [this, keep_on_login](LoginResult result) {
    OnLoginResult(std::move(result), keep_on_login);
  });
}

void CLoginDlg::ShowLoginPending(bool pending) {
  login_pending_ = pending;
  // The button that was pressed shows the wait; the window goes on answering meanwhile.
  for (CButtonUI* button : {login_button_, start_button_}) {
    if (button == nullptr) continue;
    button->SetEnabled(!pending);
    button->SetText(pending ? kLoggingInText : button == login_button_ ? login_text_ : start_text_);
  }
}

void CLoginDlg::OnLoginResult(LoginResult result, bool keep_on_login) {
  ShowLoginPending(false);
  if (!result.verdict.success) {
    ShowLoginError(result.verdict);
    return;
  }
  const std::string account = session_.account;
  const std::string password = session_.password;
  logged_in_ = true;
  last_login_ = RememberedCredentials{account, password};
  if (note_option_ != nullptr && note_option_->IsSelected()) {
    WriteRememberedCredentials(services_.settings, account, password);
  }
  session_.servers = std::move(result.servers);
  session_.profile = std::move(result.profile);
  ShowLoggedIn(account);
  if (!keep_on_login && hand_off_ != nullptr) {
    const RECT window = WindowSystem::Get().WindowRect(hwnd_);
    hand_off_->ShowServerList(session_, POINT{window.left + 150, window.top - 50}, hwnd_);
  }
}

void CLoginDlg::ShowLoginError(const LoginVerdict& verdict) {
  CLoginErrUI* error = error_window();
  if (error == nullptr) {
    const RECT window = WindowSystem::Get().WindowRect(hwnd_);
    error = new CLoginErrUI();
    error_window_ = error->Create(hwnd_, "", kPopupStyle, 0, window.left + 300, window.top + 159, 0, 0);
    if (error_window_ == nullptr) return;  // the object deleted itself
  }
  error->ShowWindow(true);
  if (verdict.illegal_password) {
    session_.password.clear();
    SetTextOf(password_edit_, "");
  }
  if (verdict.account_not_exist) {
    session_.account.clear();
    if (note_option_ != nullptr && note_option_->IsSelected()) SetTextOf(account_edit_, "");
    SetTextOf(password_edit_, "");
  }
}

void CLoginDlg::ShowLoggedIn(const std::string& account) {
  SetTextOf(nickname_text_, "当前账号: " + account);
  SetShown(nickname_text_, true);
  SetShown(logout_button_, true);
  SetShown(login_button_, false);
  SetShown(start_button_, true);
  if (start_button_ != nullptr) start_button_->SetFocus();

  const std::vector<ServerEntry>& servers = session_.servers;
  if (servers.empty()) return;

  // When the only server is not open yet nothing is recommended, and the heading goes too.
  const auto recommended = RecommendedServer(servers);
  SetShown(recommended_label_, recommended.has_value());
  SetShown(recommended_button_, recommended.has_value());
  if (recommended && recommended_button_ != nullptr) {
    const ServerEntry& server = servers[*recommended];
    recommended_button_->SetText(ServerButtonText(server));
    recommended_button_->SetEnabled(server.state != "3");
  }

  const RecentServers recent = FindRecentServers(session_.profile.played, servers);
  if (recent.pieces == 0) return;
  SetShown(recent_label_, true);
  for (std::size_t n = 0; n < 3; ++n) {
    if (recent.pieces <= n) break;
    SetShown(recent_buttons_[n], true);
    // A played id the list does not hold leaves a button without a server rather than one still
    // naming a server of an earlier login.
    SetTextOf(recent_buttons_[n],
              n < recent.matches.size() ? ServerButtonText(servers[recent.matches[n]]) : "");
  }
}

void CLoginDlg::ShowLoggedOut() {
  SetShown(logout_button_, false);
  SetShown(nickname_text_, false);
  SetTextOf(nickname_text_, "");
  if (note_option_ == nullptr || !note_option_->IsSelected()) SetTextOf(password_edit_, "");
  if (hand_off_ != nullptr) hand_off_->CloseServerList();
  SetShown(login_button_, true);
  for (CControlUI* control : std::initializer_list<CControlUI*>{start_button_, recent_label_, recent_buttons_[0],
                                                               recent_buttons_[1], recent_buttons_[2],
                                                               recommended_label_, recommended_button_}) {
    SetShown(control, false);
  }
}

}  // namespace qrv
