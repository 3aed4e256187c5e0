// The main frame's hold on the login: the heartbeat, the login check with its short re-login, and
// the game page of the current server.

#include "frame/frame_addresses.h"
#include "frame/main_frame.h"
#include "platform/debug_sink.h"
#include "platform/messages.h"

namespace qrv {

void CMainFrameWnd::SendHeartbeat() {
  // Only keeps the session warm: whether the login is still there is asked on refresh and server
  // switch, not every ten minutes.
  deps_.api.Heartbeat();
  OutputDebugString("**********发送心跳包*********\r\n");
}

void CMainFrameWnd::CheckLogin() {
  const std::string heartbeat = deps_.api.Heartbeat();
  OutputDebugString("**********发送心跳包*********\r\n");
  // A failed fetch gives empty text, which lacks the id, so the frame logs in again.
  if (heartbeat.find(player_.id) != std::string::npos) return;
  deps_.api.ShortLogin(account_, password_);
}

std::string CMainFrameWnd::CurrentGamePage() const {
  return GamePageAddress(deps_.services.web.deploy().site, server_.code);
}

void CMainFrameWnd::ShowCurrentGamePage() {
  if (first_view_.GetHWND() != nullptr) first_view_.Navigate2(CurrentGamePage());
}

void CMainFrameWnd::Refresh() {
  CheckLogin();
  ShowCurrentGamePage();
}

void CMainFrameWnd::SwitchServer(const ServerEntry& server) {
  CheckLogin();
  // The first tab's caption stays as it is; only the page changes.
  server_ = server;
  ShowCurrentGamePage();
}

}  // namespace qrv
