// The login window's answers to the player's clicks and choices.

#include <cstdio>

#include "net/deploy_config.h"
#include "login/login_dlg.h"
#include "login/login_servers.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "tools/check_dlg.h"
#include "tools/note_tip.h"

namespace qrv {
namespace {

}  // namespace

void CLoginDlg::OnClick(CControlUI* sender) {
  const std::string& name = sender->GetName();
  if (name.starts_with("bnzuiji") || name.starts_with("bntuijian")) {
    OnServerButton(sender);
    return;
  }
  if (OnPageButton(name)) return;
  for (std::size_t i = 0; i < news_buttons_.size(); ++i) {
    if (news_buttons_[i] == sender) {
      OnNewsButton(i);
      return;
    }
  }
  if (name == "bnmini") {
    WindowSystem::Get().Show(hwnd_, SW_MINIMIZE);
  } else if (sender == login_button_) {
    PerformLogin(false, true);
  } else if (sender == start_button_) {
    OnStart();
  } else if (name == "bnshowreg") {
    if (switch_ != nullptr) switch_->SelectItem(1);
  } else if (name == "bnback") {
    if (switch_ != nullptr) switch_->SelectItem(0);
  } else if (name == "bnclose") {
    OnClose();
  } else if (sender == logout_button_) {
    OnLogout();
  } else if (name.starts_with("bnnew")) {
    // A news button beyond the news that arrived: nothing to open, the event still counts.
    services_.beacon.Send("200002");
  }
}

void CLoginDlg::OnNoteChanged() {
  const bool selected = note_option_->IsSelected();
  if (selected) {
    // The first selection comes from filling in the remembered password, not from the player.
    if (note_) {
      note_ = false;
    } else {
      OpenNoteTip();
    }
  }
  char value[16];
  std::snprintf(value, sizeof value, "%d", selected ? 1 : 0);
  services_.settings.WriteText(settings::kUpdateLower, settings::kNote, value);
  services_.beacon.Send("200001");
}

void CLoginDlg::OpenNoteTip() {
  const RECT window = WindowSystem::Get().WindowRect(hwnd_);
  const RECT option = note_option_->GetPos();
  auto* tip = new CNoteTip();
  const int x = window.left + option.left - 30;
  const int y = window.top + option.top - 38;
  if (tip->Create(hwnd_, "记住密码提示", kPopupStyle, 0, x, y, 0, 0) == nullptr) return;  // deleted itself
  SetWindowPos(tip->GetHWND(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  tip->ShowWindow(true, false);
}

void CLoginDlg::OnServerButton(CControlUI* button) {
  const auto index = ServerForButtonText(button->GetText(), session_.servers);
  // A button whose label names no server (a server without a bracketed tag, or a line type the
  // program does not know) leads nowhere: the window stays as it is.
  if (!index) return;
  OpenGameFrame(session_.servers[*index]);
}

void CLoginDlg::OpenGameFrame(const ServerEntry& server) {
  // With nothing to hand over to, the login window is the program's only window and must stay.
  if (hand_off_ == nullptr) return;
  const ServerEntry chosen = server;  // the session may change while the frame opens
  hand_off_->OpenGameFrame(session_, chosen);
  Close();
}

void CLoginDlg::OnLogout() {
  CCheckDlg question;
  if (question.DoModal(hwnd_) != IDOK) return;
  if (logged_in_) platform_.SendExitNotice();
  ShowLoggedOut();
  services_.beacon.Send("200005");
  logged_in_ = false;
}

void CLoginDlg::OnStart() {
  // Once a login of this window has succeeded, the start button goes on with that account: the
  // remembered one may belong to somebody else who logged out before.
  if (logged_in_ && !last_login_.account.empty()) {
    LogIn(last_login_.account, last_login_.password, false);
    return;
  }
  PerformLogin(auto_login_, false);
}

void CLoginDlg::OnClose() {
  if (logged_in_) platform_.SendExitNotice();
  ExitProcess(-1);
}

void CLoginDlg::OnNewsButton(std::size_t index) {
  // The address came from the network: only web addresses go to the browser.
  if (index < news_.size() && IsWebAddress(news_[index].url)) OpenPage(news_[index].url, nullptr);
  services_.beacon.Send("200002");
}

void CLoginDlg::OpenPage(const std::string& address, const char* event_code) {
  if (browser_ != nullptr && browser_->GetHWND() != nullptr) browser_->Navigate2(address, navOpenInNewWindow);
  if (event_code != nullptr) services_.beacon.Send(event_code);
}

bool CLoginDlg::OnPageButton(const std::string& name) {
  const DeployConfig& hosts = services_.web.deploy();
  if (name == "bnreg")
    OpenPage(HttpAddress(hosts.site, "/register/"), "200000");
  else if (name == "bnzt")
    OpenPage(HttpAddress(hosts.site, ""), nullptr);
  else if (name == "bnhome")
    OpenPage(HttpAddress(hosts.game, "/"), "200017");
  else if (name == "bnbbs")
    OpenPage(HttpAddress(hosts.forum, "/forum-544-1.html"), "200018");
  else if (name == "bnmoney")
    OpenPage(HttpAddress(hosts.pay, "/pay/g/qrv/"), "200004");
  else if (name == "bngm")
    OpenPage(hosts.service, "200019");
  else if (name == "bnnews")
    OpenPage(HttpAddress(hosts.game, "/xwgg/list-1314.htm"), "200002");
  else
    return false;
  return true;
}

}  // namespace qrv
