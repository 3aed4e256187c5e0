// The main frame's window: creation, its window messages, keys, window commands and hotkeys.

#include "frame/main_frame.h"

#include <cstdio>
#include <optional>

#include "app/frame_messages.h"
#include "chat/chat_messages.h"
#include "frame/key_hook.h"
#include "login/user_inf_ui.h"
#include "platform/debug_sink.h"
#include "platform/hotkeys.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/tray.h"
#include "tools/check_dlg.h"
#include "tools/huifu_ui.h"
#include "tools/lock_screen_ui.h"
#include "tools/tray_menu.h"

namespace qrv {

CMainFrameWnd::CMainFrameWnd(FrameDeps deps)
    : CSkinnedWindow("skin1.0.xml", Lifetime::kDeletesItself),
      deps_(deps),
      first_view_(deps.services.web),
      tabs_(pm_) {}

CMainFrameWnd::~CMainFrameWnd() = default;

LRESULT CMainFrameWnd::OnCreate() {
  close_button_ = FindControl<CButtonUI>("closebtn");
  max_button_ = FindControl<CButtonUI>("maxbtn");
  restore_button_ = FindControl<CButtonUI>("restorebtn");
  min_button_ = FindControl<CButtonUI>("minbtn");
  top_band_ = FindControl(kTopBandName);
  pages_ = FindControl<CTabLayoutUI>("switch");
  if (auto* account = FindControl<CButtonUI>("bnuserinf")) account->SetText(account_);

  first_view_.Create(hwnd_, kFirstViewRect, CMyHtmlView::kFirstViewId);
  const std::string address = CurrentGamePage();
  first_view_.Navigate2(address);
  OutputDebugString("\n" + address + "\n");
  tabs_.RecordFirstView(&first_view_);

  hotkeys_.RegisterAll(hwnd_, deps_.services.settings);
  InstallKeyHook(hwnd_, [this](UINT msg, WPARAM vk, LPARAM flags) { return PreviewKey(msg, vk, flags); });
  tray_.Add(hwnd_);
  CreateMorePanel();
  SetTimer(hwnd_, kHeartbeatTimer, kHeartbeatPeriodMs);
  SetTimer(hwnd_, kAlarmTimer, kAlarmFirstCheckMs);
  StartChat();
  return 0;
}

bool CMainFrameWnd::PreviewKey(UINT msg, WPARAM vk, LPARAM flags) {
  const bool going_down = msg == WM_KEYDOWN && (static_cast<std::uintptr_t>(flags) & (1u << 31)) == 0;
  const bool wanted = vk == VK_ESCAPE || vk == VK_F2 || vk == VK_F3 || vk == VK_F5;
  if (going_down && wanted && WindowSystem::Get().Focus() != hwnd_) {
    ::qrv::PostMessage(hwnd_, WM_KEYDOWN, vk, flags);
  }
  return false;
}

LRESULT CMainFrameWnd::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  switch (msg) {
    case WM_DESTROY:
      InstallKeyHook(hwnd_, {});
      PostQuitMessage(0);
      break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
      HideUserInfo();
      HideMorePanelOnPress(msg, lparam);
      char line[160];
      std::snprintf(line, sizeof line, "++++++++++++++++++事件输出，类型:%u，第%d次+++++++++++\r\n", msg,
                    ++click_count_);
      OutputDebugString(line);
      break;
    }
    case WM_SETFOCUS:
      FrameHotkeys::RegisterAltF4(hwnd_);
      break;
    case WM_SIZE:
      FitChatWindows();
      break;
    case WM_KILLFOCUS:
      FrameHotkeys::UnregisterAltF4(hwnd_);
      break;
    case WM_KEYDOWN:
      OnKeyDown(wparam);
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(wparam, lparam);
    case WM_TIMER:
      if (wparam == kHeartbeatTimer) SendHeartbeat();
      if (wparam == kAlarmTimer) CheckAlarms();
      OnChatTimer(wparam);
      return 0;
    case WM_HOTKEY:
      return OnHotkey(lparam);
    default:
      return OnAppMessage(msg, wparam, lparam, handled);
  }
  handled = false;
  return 0;
}

LRESULT CMainFrameWnd::OnAppMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  switch (msg) {
    case kMsgChatText:
      return OnChatText(lparam);
    case kMsgChatAccepted: {
      auto agent = TakePayload<std::uint64_t>(lparam);
      if (agent == nullptr) return -1;
      return OpenChatTab(*agent);
    }
    case kMsgAskChat:
      return OnAskChat(lparam);
    case kMsgSwitchServer: {
      // The chosen server rides as the message's owning payload (in lparam, where the core keeps
      // every handed-over block): taken here, or freed by the core when the frame has gone.
      auto server = TakePayload<ServerEntry>(lparam);
      if (server != nullptr) SwitchServer(*server);
      return 0;
    }
    case kMsgUnlocked:
      // The lock hid every tab; the selected one (normally the game page) comes back.
      ShowSelectedTab();
      return 0;
    case kMsgOpenServerList:
      OpenServerList();
      handled = false;
      return 0;
    case kMsgOpenAlarmList:
      if (auto rect = TakePayload<RECT>(lparam)) OpenAlarmList(POINT{rect->left, rect->top});
      // The editor asks for the list after it saved an alarm, which may fall due before the check
      // the frame waits for.
      CheckAlarms();
      return 0;
    case kMsgHotkeyChanged:
      // The settings and boss-key windows wait for the answer; a bare entry expects none.
      if (auto change = TakePayload<HotkeyChange>(lparam)) {
        hotkeys_.Change(std::move(*change));
      } else if (auto entry = TakePayload<HotkeyTableEntry>(lparam)) {
        hotkeys_.Update(*entry);
      }
      return 0;
    case kMsgTrayCallback:
      OnTrayCallback(wparam, lparam);
      handled = false;
      return 0;
    case kMsgExitSteps:
      ExitSteps();
      return 0;
    case kMsgDockWindow:
      return DockWindow(reinterpret_cast<HWND>(wparam));
    case kMsgDockedCaption:
      UpdateDockedCaption(reinterpret_cast<HWND>(wparam));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

void CMainFrameWnd::OnTrayCallback(WPARAM where, LPARAM mouse_message) {
  if (mouse_message == WM_LBUTTONDOWN) {
    ShowWindow(true, true);
    WindowSystem::Get().SetForeground(hwnd_);
  } else if (mouse_message == WM_RBUTTONUP || mouse_message == WM_CONTEXTMENU) {
    // The menu's settings entry asks the More panel, which opens the settings window. A tray host
    // that asks for the menu says where it belongs.
    StatBeacon& beacon = deps_.services.beacon;
    std::optional<POINT> anchor;
    if (mouse_message == WM_CONTEXTMENU) anchor = TrayPointFromWparam(where);
    CTrayMenu::Open(
        hwnd_, more_panel() != nullptr ? more_panel_ : nullptr,
        [&beacon](std::string_view code) { beacon.Send(code); }, anchor);
  }
}

void CMainFrameWnd::OnKeyDown(WPARAM vk) {
  switch (vk) {
    case VK_ESCAPE: {
      if (top_band_ != nullptr && !top_band_->IsVisible()) return;
      if (full_screen_) LeaveFullScreen();
      return;
    }
    case VK_F2:
      OutputDebugString("------------执行F2按键消息----------\r\n");
      return;
    case VK_F5:
      ShowCurrentGamePage();
      return;
    default:
      return;
  }
}

void CMainFrameWnd::LeaveFullScreen() {
  full_screen_ = false;
  const RECT work = WindowSystem::Get().WorkArea();
  SetWindowPos(hwnd_, nullptr, 0, 0, work.right, work.bottom, SWP_NOZORDER);
  MoveEveryTab(RECT{work.left, kTopBand, work.left + work.Width(), work.bottom});
  if (restore_prompt_ != nullptr) {
    CHuifuUI::Dismiss(restore_prompt_);
    restore_prompt_ = nullptr;
  }
}

LRESULT CMainFrameWnd::OnSysCommand(WPARAM command, LPARAM lparam) {
  if (command == SC_CLOSE) {
    CCheckDlg question;
    if (question.DoModal(hwnd_) == IDOK) {
      ExitSteps();
      EndProgram(-1);
    }
    return 0;
  }
  WindowSystem& windows = WindowSystem::Get();
  const bool was_maximized = windows.IsMaximized(hwnd_);
  const LRESULT result = CWindowWnd::HandleMessage(WM_SYSCOMMAND, command, lparam);
  if (hwnd_ == nullptr) return result;
  const bool maximized = windows.IsMaximized(hwnd_);
  if (!was_maximized && maximized) {
    window_state_ = 2;
    if (max_button_ != nullptr) max_button_->SetVisible(false);
    if (restore_button_ != nullptr) restore_button_->SetVisible(true);
    if (first_view_.GetHWND() != nullptr) {
      const RECT work = windows.WorkArea();
      first_view_.MoveWindow(RECT{work.left, kTopBand, work.left + work.Width(), work.bottom});
    }
  } else if (was_maximized && !maximized) {
    window_state_ = 1;
    if (max_button_ != nullptr) max_button_->SetVisible(true);
    if (restore_button_ != nullptr) restore_button_->SetVisible(false);
    if (first_view_.GetHWND() != nullptr) {
      first_view_.MoveWindow(RECT{0, kTopBand, kDefaultWidth, kDefaultHeight});
    }
  }
  return result;
}

LRESULT CMainFrameWnd::OnHotkey(LPARAM lparam) {
  if (capture_busy_) return -1;
  const unsigned modifiers = LOWORD(static_cast<std::uintptr_t>(lparam));
  const unsigned key = HIWORD(static_cast<std::uintptr_t>(lparam));
  if (key == VK_F4) {
    // Alt+F4 ends the program at once, without the exit question.
    tray_.Remove(hwnd_);
    EndProgram(-1);
  }
  const auto id = hotkeys_.Match(modifiers, key);
  if (!id) return 0;
  if (*id == kCaptureHotkeyId) {
    StartCapture();
  } else if (*id == kBossHotkeyId) {
    ToggleBossKey();
  }
  return 0;
}

void CMainFrameWnd::ToggleBossKey() {
  if (deps_.services.settings.ReadInt(settings::kHotkey, settings::kEnableBoss, 1) == 0) return;
  if (IsWindowVisible(hwnd_)) {
    HideMorePanelAndWindows();
    if (server_list_ != nullptr && IsWindow(server_list_)) qrv::ShowWindow(server_list_, SW_HIDE);
    HideUserInfo();
    HideAlarmWindows();
    HideChatPopups();
    ShowWindow(true, true);
    ShowWindow(false, true);
    tray_.Remove(hwnd_);
    return;
  }
  tray_.Add(hwnd_);
  ShowWindow(true, true);
  if (full_screen_) {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    const RECT screen = WindowSystem::Get().ScreenRect();
    SetWindowPos(hwnd_, nullptr, 0, 0, screen.Width(), screen.Height(), SWP_NOZORDER);
    MoveEveryTab(RECT{0, 0, screen.Width(), screen.Height()});
  } else if (window_state_ == 2) {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  }
  WindowSystem::Get().SetFocus(hwnd_);
}

CMainFrameWnd* OpenMainFrame(FrameDeps deps, const LoginSession& session, const ServerEntry& server) {
  auto* frame = new CMainFrameWnd(deps);
  frame->SetAccount(session.account);
  frame->SetPassword(session.password);
  frame->SetServer(server);
  frame->SetServerList(session.servers);
  frame->SetPlayer(session.profile);
  const RECT work = WindowSystem::Get().WorkArea();
  // A failed creation destroys the window, and the frame deletes itself with it.
  if (frame->Create(nullptr, CMainFrameWnd::kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 0, work.right,
                    work.bottom) == nullptr) {
    return nullptr;
  }
  if (deps.services.settings.ReadInt(settings::kRunset, settings::kShowTop, 1) != 0) {
    SetWindowPos(frame->GetHWND(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  frame->CenterWindow();
  frame->ShowWindow(true, true);
  return frame;
}

}  // namespace qrv
