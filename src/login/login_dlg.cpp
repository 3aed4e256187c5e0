#include "login/login_dlg.h"

#include <cstdio>

#include "platform/debug_sink.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "browser/browser_view.h"
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
  if (!browser_) {
    // A view of no size: it only hands pages to the system's browser and never shows one.
    browser_ = std::make_unique<CMyHtmlView>(services_.web);
    browser_->Create(hwnd_, RECT{0, 0, 0, 0}, CMyHtmlView::kFirstViewId);
  }
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

void CLoginDlg::OpenPage(const std::string& address, const char* event_code) {
  if (browser_ != nullptr && browser_->GetHWND() != nullptr) browser_->Navigate2(address, navOpenInNewWindow);
  if (event_code != nullptr) services_.beacon.Send(event_code);
}

bool CLoginDlg::OnPageButton(const std::string& name) {
  const DeployConfig& hosts = services_.web.deploy();
  if (name == "bnreg") OpenPage("http://" + hosts.site + "/register/", "200000");
  else if (name == "bnzt") OpenPage("http://" + hosts.site, nullptr);
  else if (name == "bnhome") OpenPage("http://" + hosts.game + "/", "200017");
  else if (name == "bnbbs") OpenPage("http://" + hosts.forum + "/forum-544-1.html", "200018");
  else if (name == "bnmoney") OpenPage("http://" + hosts.pay + "/pay/g/qrv/", "200004");
  else if (name == "bngm") OpenPage(hosts.service, "200019");
  else if (name == "bnnews") OpenPage("http://" + hosts.game + "/xwgg/list-1314.htm", "200002");
  else return false;
  return true;
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
  if (OnPageButton(name)) return;
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
