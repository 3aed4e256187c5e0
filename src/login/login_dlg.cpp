#include "login/login_dlg.h"

#include <cstdio>

#include "platform/debug_sink.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "tools/check_dlg.h"

namespace qrv {
namespace {

// The layout's background outside the rounded panel is this colour, which the window system
// makes see-through.
constexpr std::uint32_t kColorKey = 0x0A0A0A;
constexpr std::uint8_t kOpacity = 250;

bool IsPlainClickTarget(const CControlUI* control) {
  if (control == nullptr) return false;
  const std::string cls = control->GetClass();
  return cls == "ButtonUI" || cls == "OptionUI" || cls == "TextUI";
}

}  // namespace

LRESULT CLoginDlg::OnCreate() {
  WindowSystem& windows = WindowSystem::Get();
  windows.SetStyle(hwnd_, (windows.Style(hwnd_) & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  pm_.Init(hwnd_);
  CDialogBuilder builder;
  pm_.AttachDialog(builder.Create("loginex1.xml", nullptr, &pm_));
  pm_.AddNotifier(this);
  windows.SetLayered(hwnd_, kColorKey, kOpacity);
  switch_ = static_cast<CTabLayoutUI*>(pm_.FindControl("switch"));
  return 0;
}

LRESULT CLoginDlg::OnHitTest(POINT screen) const {
  const RECT window = WindowSystem::Get().WindowRect(hwnd_);
  const POINT pt{screen.x - window.left, screen.y - window.top};
  if (pt.x >= kFixedClientArea.left && pt.x <= kFixedClientArea.right && pt.y >= kFixedClientArea.top &&
      pt.y <= kFixedClientArea.bottom) {
    return HTCLIENT;
  }
  const RECT client = WindowSystem::Get().ClientRect(hwnd_);
  const RECT caption = pm_.GetCaptionRect();
  // The caption's bottom is not used: the whole height below its top counts.
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
      pt.y < client.bottom) {
    CControlUI* control = const_cast<CPaintManagerUI&>(pm_).FindControl(pt);
    if (control != nullptr && !IsPlainClickTarget(control)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT CLoginDlg::OnSysCommand(WPARAM command, LPARAM lparam) {
  if ((command & 0xFFF0) == SC_CLOSE) {
    CCheckDlg question;
    if (question.DoModal(hwnd_) == IDOK) ExitProcess(-1);
    return 0;
  }
  return CWindowWnd::HandleMessage(WM_SYSCOMMAND, command, lparam);
}

LRESULT CLoginDlg::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate();
    case WM_NCPAINT:
    case WM_KEYDOWN:
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(wparam, lparam);
    case WM_NCHITTEST:
      return OnHitTest(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CLoginDlg::Notify(TNotifyUI& msg) {
  char line[256];
  std::snprintf(line, sizeof line, ">>>>>>>>>>>>>>>>>>%s<<<<<<<<<<<<\r\n", msg.sType.c_str());
  OutputDebugString(line);
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnmini") {
    WindowSystem::Get().Show(hwnd_, SW_MINIMIZE);
  } else if (name == "bnshowreg") {
    if (switch_ != nullptr) switch_->SelectItem(1);
  } else if (name == "bnback") {
    if (switch_ != nullptr) switch_->SelectItem(0);
  } else if (name == "bnclose") {
    ExitProcess(-1);
  }
}

}  // namespace qrv
