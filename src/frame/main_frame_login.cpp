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
  deps_.platform.Heartbeat();
  OutputDebugString("**********发送心跳包*********\r\n");
}

void CMainFrameWnd::CheckLogin(std::function<void()> then) {
  // A failed fetch gives empty text, which lacks the id, so the frame logs in again. The page is
  // shown once the check is over, so it loads with the renewed login.
  deps_.platform.CheckLogin(account_, password_, player_.id, replies_, std::move(then));
  OutputDebugString("**********发送心跳包*********\r\n");
}

std::string CMainFrameWnd::CurrentGamePage() const {
  return GamePageAddress(deps_.services.web.deploy().site, server_.code);
}

void CMainFrameWnd::ShowCurrentGamePage() {
  if (first_view_.GetHWND() != nullptr) first_view_.Navigate2(CurrentGamePage());
}

void CMainFrameWnd::Refresh() {
  CheckLogin([this] { ShowCurrentGamePage(); });
}

void CMainFrameWnd::SwitchServer(const ServerEntry& server) {
  CheckLogin([this, server] {
    // The first tab's caption stays as it is; only the page changes.
    server_ = server;
    ShowCurrentGamePage();
  });
}

}  // namespace qrv
