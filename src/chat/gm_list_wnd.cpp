#include "chat/gm_list_wnd.h"

#include <memory>

#include "chat/chat_messages.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

CGMListWnd::CGMListWnd()
    : CSkinnedWindow("gmlist.xml", Lifetime::kOwnedByCreator, &builder_callback_), builder_callback_(&pm_) {}

HWND CGMListWnd::Open(HWND frame, POINT at, std::vector<GMEntry> agents) {
  source_ = std::move(agents);
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) {
    // Made hidden, placed once the layout has given it its size, then shown; "windowinit" fills it.
    if (Create(frame, "", kPopupStyle & ~WS_VISIBLE, WS_EX_TOOLWINDOW, at.x, at.y, 0, 0) == nullptr)
      return nullptr;
  } else {
    Fill();
  }
  SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepOnMonitor();
  ShowWindow(true, true);
  return hwnd_;
}

LRESULT CGMListWnd::OnCreate() {
  close_button_ = FindControl<CButtonUI>("btnClose");
  max_button_ = FindControl<CButtonUI>("btnMax");
  restore_button_ = FindControl<CButtonUI>("btnRestore");
  min_button_ = FindControl<CButtonUI>("btnMin");
  list_ = FindControl<CGameListUI>("gamelist");
  // Above the frame, which may itself be always on top.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}

void CGMListWnd::Fill() {
  rows_.clear();
  if (list_ == nullptr) return;
  std::vector<ListedAgent> agents;
  agents.reserve(source_.size());
  for (const GMEntry& entry : source_)
    agents.push_back(ListedAgent{entry.id, entry.name, entry.state, entry.local});
  rows_ = FillAgentList(*list_, agents);
}

void CGMListWnd::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  if (msg.sType == kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == kNotifyClick) {
    const std::string& name = msg.pSender->GetName();
    if (name == "bnclose") {
      ShowWindow(false);
    } else if (msg.pSender == max_button_) {
      SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    } else if (msg.pSender == restore_button_) {
      SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    } else if (msg.pSender == min_button_) {
      SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    }
  } else if (list_ != nullptr && msg.sType == kNotifyItemClick) {
    list_->ToggleOnItemClick(msg.pSender);
  } else if (list_ != nullptr && msg.sType == kNotifyItemActivate) {
    AskForChat(msg.pSender);
  }
}

void CGMListWnd::AskForChat(CControlUI* row) {
  const ListNode* node = list_->NodeOf(row);
  if (node == nullptr) return;
  const HWND frame = WindowSystem::Get().Parent(hwnd_);
  bool asked = false;
  for (const std::uint64_t id : AgentIdsForRow(rows_, *node)) {
    qrv::PostMessage(frame, kMsgAskChat, 0, std::make_unique<std::uint64_t>(id));
    asked = true;
  }
  if (asked) ShowWindow(false);
}

LRESULT CGMListWnd::OnMessage(UINT msg, WPARAM wparam, LPARAM, bool& handled) {
  handled = false;
  // The window manager's close button hides the list like "bnclose": it is a pop-up the player
  // opens again, and closing it must not end the program.
  if (msg == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE) {
    handled = true;
    ShowWindow(false);
  }
  return 0;
}

}  // namespace qrv
