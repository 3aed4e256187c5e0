#include "tools/tray_menu.h"

#include <array>
#include <cstdio>

#include "app/frame_messages.h"
#include "platform/debug_sink.h"
#include "platform/messages.h"
#include "platform/placement.h"
#include "platform/process.h"
#include "platform/tray.h"

namespace qrv {
namespace {

// WM_SIZE's wparam when the window was minimised.
constexpr WPARAM kSizeMinimized = 1;

}  // namespace

CTrayMenu::CTrayMenu(HWND main_frame, StatSender send_stat)
    : CSkinnedWindow("menuTray.xml", Lifetime::kDeletesItself),
      main_frame_(main_frame),
      send_stat_(std::move(send_stat)) {}

RECT CTrayMenu::RectAtCursor(POINT cursor, const RECT& area) {
  const int left = cursor.x - kLeftOfCursor;
  const int top = cursor.y - kAboveCursor;
  // The menu is made for a tray at the bottom right; a tray at the top or left of the screen (as
  // many desktops have) would put it partly off the screen, so it is pushed back onto it.
  return FitInside(RECT{left, top, left + kWidth, top + kHeight}, area);
}

RECT CTrayMenu::RectAtAnchor(POINT anchor, const RECT& area) {
  int left = anchor.x;
  int top = anchor.y;
  if (left + kWidth > area.right) left = anchor.x - kWidth;
  if (top + kHeight > area.bottom) top = anchor.y - kHeight;
  return FitInside(RECT{left, top, left + kWidth, top + kHeight}, area);
}

CTrayMenu* CTrayMenu::Open(HWND main_frame, HWND more_panel, StatSender send_stat,
                           std::optional<POINT> anchor) {
  // Without a system tray there is nothing the menu belongs to, and no menu is made. (The object
  // is made only once the tray is known to be there, so this path leaves nothing behind.)
  if (!TrayIcon::Get().TaskbarFound()) return nullptr;
  WindowSystem& windows = WindowSystem::Get();
  const POINT at = anchor.value_or(windows.CursorPos());
  const RECT area = windows.WorkAreaAt(RECT{at.x, at.y, at.x + 1, at.y + 1});
  const RECT rect = anchor ? RectAtAnchor(at, area) : RectAtCursor(at, area);
  auto* menu = new CTrayMenu(main_frame, std::move(send_stat));
  menu->SetMorePanel(more_panel);
  // A failed creation destroys the window, and the menu deletes itself with it.
  if (menu->Create(nullptr, "", WS_POPUP, WS_EX_TOOLWINDOW, rect.left, rect.top, rect.Width(),
                   rect.Height()) == nullptr) {
    return nullptr;
  }
  // Shown with the keyboard focus, so that the focus moving anywhere else closes it.
  menu->ShowWindow(true, true);
  return menu;
}

LRESULT CTrayMenu::OnCreate() {
  pm_.SetRoundCorner(kCornerSize, kCornerSize);
  exit_item_ = FindControl("menu_exit");
  settings_item_ = FindControl("menu_sysset");
  show_item_ = FindControl("menu_show");
  return 0;
}

LRESULT CTrayMenu::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (msg) {
    case WM_SIZE: {
      // The clip follows the window's size, so it is laid again whenever the size changes.
      const CDuiSize corner = pm_.GetRoundCorner();
      if (wparam != kSizeMinimized && (corner.cx != 0 || corner.cy != 0))
        WindowSystem::Get().SetRoundCorners(hwnd_, corner.cx, corner.cy);
      break;
    }
    case WM_KILLFOCUS:
      // wparam is the window receiving the focus.
      if (reinterpret_cast<HWND>(wparam) != hwnd_) PostMessage(WM_CLOSE);
      handled = true;
      return 0;
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
      handled = true;
      return 0;
    case WM_MOUSEMOVE:
      SelectRowAt(PointFromLparam(lparam));
      break;
    default:
      break;
  }
  return 0;
}

void CTrayMenu::SelectRowAt(POINT pt) {
  for (CControlUI* item : std::array{exit_item_, settings_item_, show_item_}) {
    if (item == nullptr || !item->IsVisible() || !item->GetPos().Contains(pt)) continue;
    auto* row = dynamic_cast<IListItemUI*>(item);
    if (row == nullptr || row->GetOwner() == nullptr) return;
    if (auto* list = dynamic_cast<IListOwnerUI*>(row->GetOwner())) list->SelectItem(row->GetIndex());
    return;
  }
}

void CTrayMenu::Notify(TNotifyUI& msg) {
  char line[128];
  std::snprintf(line, sizeof line, "**************%s***************\r\n", msg.sType.c_str());
  OutputDebugString(line);
  if (msg.sType == kNotifyItemClick && msg.pSender != nullptr) OnItemClick(msg.pSender->GetName());
}

void CTrayMenu::OnItemClick(const std::string& name) {
  if (name == "menu_exit") {
    ExitProgram();
  } else if (name == "menu_show") {
    ShowMainFrame();
    Close();
  } else if (name == "menu_sysset") {
    // The More panel opens the settings window; before it exists there is nobody to ask.
    if (more_panel_ != nullptr) ::qrv::PostMessage(more_panel_, kMsgOpenSettings);
    Close();
  }
}

void CTrayMenu::ShowMainFrame() {
  if (main_frame_ == nullptr || !IsWindow(main_frame_)) return;
  // "Show" brings the frame back from wherever it went: minimised, or hidden (the close button
  // minimises; a window manager may also hide it).
  WindowSystem& windows = WindowSystem::Get();
  if (windows.IsMinimized(main_frame_)) {
    windows.Show(main_frame_, SW_RESTORE);
  } else if (!windows.IsVisible(main_frame_)) {
    windows.Show(main_frame_, SW_SHOW);
  }
  windows.SetForeground(main_frame_);
  windows.SetFocus(main_frame_);
}

void CTrayMenu::ExitProgram() {
  if (send_stat_) send_stat_(kExitEvent);
  // The frame sends the exit notice and takes the tray icon away before the process ends.
  ::qrv::SendMessage(main_frame_, kMsgExitSteps);
  ExitProcess(-1);
}

}  // namespace qrv
