// The main frame's side of the customer-service chat: the connection it opens at start-up and the
// request sequence it runs on every (re)connection, the agent list shown from "gm_button", and
// the routing of messages 1025, 1028 and 1029 between the connection, the agent list and the chat
// tabs.
//
// The frame's own tabs are the list of open chats: a chat tab's record carries its agent's id, so
// a chat window exists exactly while its tab does, and a text for an agent without a tab is
// dropped.

#include <memory>

#include "chat/char_dlg.h"
#include "chat/chat_messages.h"
#include "frame/main_frame.h"
#include "net/deploy_config.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

void CMainFrameWnd::StartChat() {
  // The connection is made on the main loop and never waits; results come back as messages.
  gm_helper_.SetTarget(hwnd_);
  gm_helper_.SetOnConnected([hwnd = hwnd_] {
    // Every connection asks for everything again, starting from the heartbeat.
    if (IsWindow(hwnd)) SetTimer(hwnd, kChatRequestTimer, kChatFirstRequestMs);
  });
  // What the player sent just before a connection was lost may never have reached the agent (a
  // silent server takes up to its silence time to be noticed): every open chat says so.
  gm_helper_.SetOnLost([this](const std::string&) {
    tabs_.ForEachLiveWindow([](TabRecord& record) {
      if (record.agent_id == 0) return;
      if (auto* chat = dynamic_cast<CCharDlg*>(CWindowWnd::FromHandle(record.hwnd)))
        chat->ShowNotice(ConnectionLostNotice());
    });
  });
  const DeployConfig& deploy = deps_.services.web.deploy();
  gm_helper_.Connect(deploy.chat_host, deploy.chat_port);
  SetTimer(hwnd_, kChatHeartbeatTimer, kChatHeartbeatMs);
}

void CMainFrameWnd::OnChatTimer(std::uintptr_t id) {
  switch (id) {
    case kChatRequestTimer:
      KillTimer(hwnd_, kChatRequestTimer);
      gm_helper_.SendHeartbeat();
      gm_helper_.SendGameInfoRequest();
      SetTimer(hwnd_, kChatListTimer, kChatStepMs);
      break;
    case kChatListTimer:
      KillTimer(hwnd_, kChatListTimer);
      gm_helper_.SendAgentListRequest();
      SetTimer(hwnd_, kChatStatesTimer, kChatStepMs);
      break;
    case kChatStatesTimer:
      // States and local flags only change agents already listed: they are asked for last.
      KillTimer(hwnd_, kChatStatesTimer);
      gm_helper_.SendLocalAgentsRequest();
      gm_helper_.SendAgentStatesRequest();
      break;
    case kChatHeartbeatTimer:
      gm_helper_.SendHeartbeat();
      break;
    default:
      break;
  }
}

std::optional<GMEntry> CMainFrameWnd::KnownAgent(std::uint64_t agent_id) const {
  if (const GMEntry* agent = gm_helper_.FindAgent(agent_id)) return *agent;
  return std::nullopt;
}

HWND CMainFrameWnd::MakeChatWindow(const GMEntry& agent, const RECT& rect) {
  auto* chat =
      new CCharDlg(&gm_helper_, agent, deps_.services.paths.directory, deps_.services.paths.saved_picture);
  // A window that cannot be made deletes its object.
  return chat->Create(hwnd_, rect);
}

CCharDlg* CMainFrameWnd::ChatWindowOf(std::uint64_t agent_id) {
  TabRecord* tab = agent_id != 0 ? tabs_.FindByAgent(agent_id) : nullptr;
  if (tab == nullptr || tab->hwnd == nullptr || !IsWindow(tab->hwnd)) return nullptr;
  return dynamic_cast<CCharDlg*>(CWindowWnd::FromHandle(tab->hwnd));
}

LRESULT CMainFrameWnd::OnChatText(LPARAM lparam) {
  auto text = TakePayload<ChatTextMessage>(lparam);
  if (text == nullptr) return -1;
  if (CCharDlg* chat = ChatWindowOf(text->agent_id)) chat->ShowMessage(text->text, ChatMessageKind::kAgent);
  return 0;
}

LRESULT CMainFrameWnd::OnAskChat(LPARAM lparam) {
  auto agent = TakePayload<std::uint64_t>(lparam);
  if (agent == nullptr) return -1;
  gm_helper_.RequestChat(*agent);
  return 0;
}

void CMainFrameWnd::ShowAgentList(CControlUI* button) {
  // Below the button, in screen coordinates. While the service cannot be reached the list shows
  // its two groups only.
  const RECT pos = button != nullptr ? button->GetPos() : RECT{0, kTopBand, 0, kTopBand};
  const POINT at = ScreenPointOf(RECT{pos.left, pos.bottom, pos.right, pos.bottom});
  std::vector<GMEntry> agents;
  if (gm_helper_.connected()) agents = gm_helper_.agents();
  gm_list_.Open(hwnd_, at, std::move(agents));
}

void CMainFrameWnd::FitChatWindows() {
  tabs_.ForEachLiveWindow([](TabRecord& record) {
    if (record.agent_id == 0) return;
    if (auto* chat = dynamic_cast<CCharDlg*>(CWindowWnd::FromHandle(record.hwnd))) chat->FitToFrame();
  });
}

void CMainFrameWnd::HideChatPopups() {
  if (gm_list_.GetHWND() != nullptr && IsWindow(gm_list_.GetHWND())) gm_list_.ShowWindow(false);
  tabs_.ForEachLiveWindow([](TabRecord& record) {
    if (record.agent_id == 0) return;
    if (auto* chat = dynamic_cast<CCharDlg*>(CWindowWnd::FromHandle(record.hwnd))) chat->HidePopups();
  });
}

}  // namespace qrv
