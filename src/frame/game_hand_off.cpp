// From the login window to the server list window and the main frame.

#include "frame/game_hand_off.h"

#include "app/frame_messages.h"
#include "servers/server_list_ui.h"

namespace qrv {

bool GameHandOff::OpenOrSwitch(const LoginSession& session, const ServerEntry& server) {
  if (frame_ != nullptr && IsWindow(frame_)) {
    PostMessage(frame_, kMsgSwitchServer, 0, std::make_unique<ServerEntry>(server));
    ShowWindow(frame_, SW_SHOW);
    WindowSystem::Get().SetForeground(frame_);
    return true;
  }
  CMainFrameWnd* frame = OpenMainFrame(deps_, session, server);
  if (frame == nullptr) return false;
  frame_ = frame->GetHWND();
  return true;
}

void GameHandOff::OpenGameFrame(const LoginSession& session, const ServerEntry& server) {
  if (OpenOrSwitch(session, server)) CloseServerList();
}

void GameHandOff::ShowServerList(const LoginSession& session, POINT at, HWND login_window) {
  if (server_list_ != nullptr && IsWindow(server_list_)) {
    // An existing list keeps its contents; it only moves to where it is asked for.
    ShowWindow(server_list_, SW_HIDE);
    SetWindowPos(server_list_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (CWindowWnd* list = CWindowWnd::FromHandle(server_list_)) list->KeepOnMonitor();
    ShowWindow(server_list_, SW_SHOW);
    return;
  }
  ServerListSetup setup;
  setup.servers = session.servers;
  setup.player = session.profile;
  setup.account = session.account;
  setup.password = session.password;
  setup.mode = CServerListUI::kModeLogin;
  setup.owner_window = CWindowWnd::FromHandle(login_window);
  // The session is copied: the login window may log in again while the list is open.
  setup.open_main_frame = [this, session](const ServerEntry& server) {
    return OpenOrSwitch(session, server);
  };
  auto* list = new CServerListUI(std::move(setup));
  // Made hidden: above the login window may be above the screen, which only the layout's size
  // tells.
  server_list_ = list->Create(nullptr, "玄岚城服务器", kPopupStyle & ~WS_VISIBLE, 0, at.x, at.y, 0, 0);
  if (server_list_ == nullptr) return;
  list->KeepOnMonitor();
  list->ShowWindow(true, true);
}

void GameHandOff::CloseServerList() {
  if (server_list_ != nullptr && IsWindow(server_list_)) {
    if (CWindowWnd* list = CWindowWnd::FromHandle(server_list_)) list->Close();
  }
  server_list_ = nullptr;
}

}  // namespace qrv
