// The main frame's pop-up windows: the server list, the player information, the screen lock and
// the full-screen restore prompt. Each deletes itself with its window; the frame keeps handles and
// re-creates a window whose handle has gone.

#include "frame/main_frame.h"
#include "login/user_inf_ui.h"
#include "platform/messages.h"
#include "servers/server_list_ui.h"
#include "tools/huifu_ui.h"
#include "tools/lock_screen_ui.h"

namespace qrv {

POINT CMainFrameWnd::ScreenPointOf(const RECT& client_rect) const {
  const RECT window = GetWindowRect(hwnd_);
  return POINT{window.left + client_rect.left, window.top + client_rect.top};
}

void CMainFrameWnd::OpenServerList() {
  if (server_list_ != nullptr && IsWindow(server_list_)) {
    if (CWindowWnd* list = CWindowWnd::FromHandle(server_list_)) {
      list->CenterWindow();
      list->KeepOnMonitor();
      list->ShowWindow(true, true);
      return;
    }
  }
  ServerListSetup setup;
  setup.servers = servers_;
  setup.player = player_;
  setup.account = account_;
  setup.password = password_;
  setup.mode = CServerListUI::kModeMainFrame;
  setup.owner_hwnd = hwnd_;
  auto* list = new CServerListUI(std::move(setup));
  // A window that cannot be made deletes its object; the next click tries again.
  server_list_ = list->Create(hwnd_, "选择服务器", kPopupStyle & ~WS_VISIBLE, 0, 0, 0, 200, 80);
  if (server_list_ == nullptr) return;
  list->CenterWindow();
  list->KeepOnMonitor();
  list->ShowWindow(true, true);
}

void CMainFrameWnd::ShowUserInfo(CControlUI* button) {
  const RECT window = GetWindowRect(hwnd_);
  RECT screen = button->GetPos();
  screen.left += window.left;
  screen.right += window.left;
  screen.top += window.top;
  screen.bottom += window.top;
  const POINT at = CUserInfUI::PositionBeside(screen);
  if (user_inf_ == nullptr || !IsWindow(user_inf_hwnd_)) {
    auto* info = new CUserInfUI(deps_.services, hwnd_, server_, player_);
    // A window that cannot be made has gone with its window; the next click tries again.
    const HWND hwnd = info->CreatePopup(at);
    if (hwnd == nullptr) {
      user_inf_ = nullptr;
      user_inf_hwnd_ = nullptr;
      return;
    }
    user_inf_ = info;
    user_inf_hwnd_ = hwnd;
  }
  user_inf_->ShowAt(at, server_);
}

void CMainFrameWnd::HideUserInfo() {
  if (user_inf_ != nullptr && IsWindow(user_inf_hwnd_)) qrv::ShowWindow(user_inf_hwnd_, SW_HIDE);
}

void CMainFrameWnd::LockScreen() {
  SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  CenterWindow();
  // Every tab hides, not only the game page: a tab's own window would otherwise show through.
  tabs_.HideAll();
  HideChatPopups();
  if (lock_ != nullptr && IsWindow(lock_hwnd_)) {
    lock_->ShowLock();
    return;
  }
  auto* lock = new CLockScreenUI(password_, hwnd_);
  const HWND hwnd = lock->CreateOverFrame();
  if (hwnd == nullptr) {
    lock_ = nullptr;
    lock_hwnd_ = nullptr;
    return;
  }
  lock_ = lock;
  lock_hwnd_ = hwnd;
}

void CMainFrameWnd::OpenRestorePrompt() {
  // One prompt at a time: a second "bnfull" replaces the first prompt.
  if (restore_prompt_ != nullptr) CHuifuUI::Dismiss(restore_prompt_);
  auto* prompt = new CHuifuUI(hwnd_);
  restore_prompt_ = prompt->CreatePrompt();
}

}  // namespace qrv
