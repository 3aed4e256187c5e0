#include "login/user_inf_ui.h"

#include "app/frame_messages.h"
#include "platform/messages.h"
#include "platform/process.h"

namespace qrv {
namespace {

constexpr const char* kReloadEvent = "200005";
constexpr const char* kChooseServerEvent = "200006";

}  // namespace

CUserInfUI::CUserInfUI(AppServices& services, HWND main_frame, ServerEntry server, PlayerProfile player)
    : CSkinnedWindow("userinfui.xml", Lifetime::kDeletesItself),
      services_(services),
      main_frame_(main_frame),
      server_(std::move(server)),
      player_(std::move(player)) {}

POINT CUserInfUI::PositionBeside(const RECT& button_screen) {
  return POINT{button_screen.right - kOffsetLeft, button_screen.top + kOffsetDown};
}

HWND CUserInfUI::CreatePopup(POINT top_left) {
  // Made hidden: the main frame's show (ShowAt) starts the hide timer together with the show.
  return Create(main_frame_, kTitle, kPopupStyle & ~WS_VISIBLE, 0, top_left.x, top_left.y, 0, 0);
}

void CUserInfUI::SetServer(const ServerEntry& server) {
  server_ = server;
  if (server_name_ != nullptr) server_name_->SetText(server_.name);
}

void CUserInfUI::ShowAt(POINT top_left, const ServerEntry& server) {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  SetWindowPos(hwnd_, nullptr, top_left.x, top_left.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepOnMonitor();
  SetServer(server);
  // Setting the timer again replaces it, so every show gets its full three seconds.
  qrv::SetTimer(hwnd_, kHideTimerId, kHideAfterMs);
  ShowWindow(true, true);
}

LRESULT CUserInfUI::OnMessage(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
  // The toolkit's own control timers travel as WM_TIMER too; they go on to the paint manager.
  if (msg != WM_TIMER || wparam != kHideTimerId) return 0;
  handled = true;
  qrv::KillTimer(hwnd_, kHideTimerId);
  ShowWindow(false);
  return 0;
}

LRESULT CUserInfUI::OnCreate() {
  nickname_ = FindControl<CLabelUI>("txnickname");
  server_name_ = FindControl<CLabelUI>("txuserinf");
  ShowFields();
  return 0;
}

void CUserInfUI::ShowFields() {
  if (nickname_ != nullptr) nickname_->SetText(player_.nick);
  if (server_name_ != nullptr) server_name_->SetText(server_.name);
}

void CUserInfUI::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnreload")
    RestartLauncher();
  else if (name == "bnxuanfu")
    OpenServerList();
}

void CUserInfUI::RestartLauncher() {
  services_.beacon.Send(kReloadEvent);
  // Whether the new launcher started or not, this one ends: the player asked to leave it.
  SpawnCompanion(services_.paths.restart.folder, services_.paths.restart.program);
  // The main frame sends the exit notice and removes the tray icon before the process goes.
  if (main_frame_ != nullptr && IsWindow(main_frame_)) qrv::SendMessage(main_frame_, kMsgExitSteps, 0, 0);
  ExitProcess(0);
}

void CUserInfUI::OpenServerList() {
  qrv::PostMessage(main_frame_, kMsgOpenServerList, 0, 0);
  ShowWindow(false);
  services_.beacon.Send(kChooseServerEvent);
}

}  // namespace qrv
