#include "ui/window_wnd.h"

#include <algorithm>
#include <unordered_map>

#include "platform/messages.h"
#include "platform/placement.h"
#include "ui/controls/control.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"

namespace qrv {
namespace {

std::unordered_map<HWND, CWindowWnd*>& Registry() {
  static std::unordered_map<HWND, CWindowWnd*> registry;
  return registry;
}

}  // namespace

// The message core's view of a window. Kept apart from CWindowWnd so that WM_NCDESTROY always
// ends in OnFinalMessage, whatever a subclass's HandleMessage does with it.
class CWindowWnd::Dispatcher final : public MessageTarget {
 public:
  explicit Dispatcher(CWindowWnd* window) : window_(window) {}
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    return window_->Dispatch(msg, wparam, lparam);
  }

 private:
  CWindowWnd* window_;
};

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
  *alive_ = false;
  // An object destroyed while its window lives takes the window with it; the subclass part is
  // gone already, so the closing messages are not handed to it.
  if (hwnd_ != nullptr && IsWindow(hwnd_)) {
    detached_ = true;
    const HWND hwnd = hwnd_;
    Registry().erase(hwnd);
    DestroyWindow(hwnd);
    WindowSystem::Get().Destroy(hwnd);
  }
}

CWindowWnd* CWindowWnd::FromHandle(HWND hwnd) {
  auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second;
}

HWND CWindowWnd::Create(HWND parent, const std::string& title, std::uint32_t style, std::uint32_t ex_style,
                        const RECT& rc) {
  return Create(parent, title, style, ex_style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

HWND CWindowWnd::Create(HWND parent, const std::string& title, std::uint32_t style, std::uint32_t ex_style,
                        int x, int y, int cx, int cy) {
  if (hwnd_ != nullptr) return nullptr;
  if (!dispatcher_) dispatcher_ = std::make_unique<Dispatcher>(this);
  const HWND hwnd = RegisterWindow(dispatcher_.get());
  hwnd_ = hwnd;
  Registry()[hwnd] = this;
  WindowCreateParams params;
  params.parent = parent;
  params.title = title;
  params.style = style & ~WS_VISIBLE;  // shown only after WM_CREATE has built the contents
  params.ex_style = ex_style;
  params.rect = RECT{x, y, x + std::max(0, cx), y + std::max(0, cy)};
  WindowSystem::Get().Create(hwnd, params);

  const std::weak_ptr<bool> alive = alive_;
  const LRESULT created = qrv::SendMessage(hwnd, WM_CREATE, 0, 0);
  if (alive.expired() || !IsWindow(hwnd)) return nullptr;
  if (created == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if ((style & WS_VISIBLE) != 0) WindowSystem::Get().Show(hwnd, SW_SHOWNORMAL);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

LRESULT CWindowWnd::Dispatch(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (detached_) return 0;
  if (msg != WM_NCDESTROY) return HandleMessage(msg, wparam, lparam);
  // The final message: the subclass sees it, then the window is forgotten and the object is
  // told (it may delete itself, so nothing touches members afterwards).
  const HWND hwnd = hwnd_;
  const std::weak_ptr<bool> alive = alive_;
  const LRESULT result = HandleMessage(msg, wparam, lparam);
  if (alive.expired()) return result;
  Registry().erase(hwnd);
  WindowSystem::Get().Destroy(hwnd);
  hwnd_ = nullptr;
  modal_running_ = false;
  OnFinalMessage(hwnd);
  return result;
}

void CWindowWnd::Close(int ret) {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  if (modal_running_) WindowSystem::Get().EndModal(hwnd_, ret);
  qrv::PostMessage(hwnd_, WM_CLOSE, static_cast<WPARAM>(ret), 0);
}

void CWindowWnd::ShowWindow(bool show, bool focus) {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  WindowSystem::Get().Show(hwnd_, show ? (focus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
  if (show && focus && hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().SetFocus(hwnd_);
}

int CWindowWnd::ShowModal() {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return -1;
  const HWND hwnd = hwnd_;
  const std::weak_ptr<bool> alive = alive_;
  modal_running_ = true;
  ShowWindow(true, true);
  const int result = WindowSystem::Get().RunModal(hwnd);
  if (!alive.expired()) modal_running_ = false;
  return result;
}

void CWindowWnd::CenterWindow() {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  const RECT rc = WindowSystem::Get().WindowRect(hwnd_);
  const RECT work = WindowSystem::Get().WorkArea();
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  // A window larger than the work area keeps its top-left corner on it.
  const int x = std::max(work.left, work.left + (work.right - work.left - width) / 2);
  const int y = std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
  WindowSystem::Get().SetPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::KeepOnMonitor() {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  const RECT rect = WindowSystem::Get().WindowRect(hwnd_);
  const RECT kept = KeptOnMonitor(rect);
  if (kept == rect) return;
  const UINT size = kept.Width() == rect.Width() && kept.Height() == rect.Height() ? SWP_NOSIZE : 0;
  WindowSystem::Get().SetPos(hwnd_, nullptr, kept.left, kept.top, kept.Width(), kept.Height(),
                             size | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  const RECT client = WindowSystem::Get().ClientRect(hwnd_);
  const RECT window = WindowSystem::Get().WindowRect(hwnd_);
  // Whatever frame the back end adds around the client area stays the same.
  const int frame_x = (window.right - window.left) - (client.right - client.left);
  const int frame_y = (window.bottom - window.top) - (client.bottom - client.top);
  const int width = (cx < 0 ? client.right - client.left : cx) + frame_x;
  const int height = (cy < 0 ? client.bottom - client.top : cy) + frame_y;
  WindowSystem::Get().SetPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  return qrv::SendMessage(hwnd_, msg, wparam, lparam);
}

bool CWindowWnd::PostMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  return qrv::PostMessage(hwnd_, msg, wparam, lparam);
}

LRESULT CWindowWnd::DefaultHitTest(POINT screen) const {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return HTCLIENT;
  const RECT window = WindowSystem::Get().WindowRect(hwnd_);
  const RECT client = WindowSystem::Get().ClientRect(hwnd_);
  const POINT pt{screen.x - window.left, screen.y - window.top};
  CPaintManagerUI* manager = CPaintManagerUI::ForWindow(hwnd_);
  if (manager == nullptr) return HTCLIENT;

  const RECT box = manager->GetSizeBox();
  if (!WindowSystem::Get().IsMaximized(hwnd_) &&
      (box.left > 0 || box.top > 0 || box.right > 0 || box.bottom > 0)) {
    const bool left = pt.x < client.left + box.left;
    const bool right = pt.x >= client.right - box.right;
    const bool top = pt.y < client.top + box.top;
    const bool bottom = pt.y >= client.bottom - box.bottom;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }

  const RECT caption = manager->GetCaptionRect();
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
      pt.y < caption.bottom) {
    CControlUI* control = manager->FindControl(pt);
    if (control != nullptr) {
      const std::string kind = control->GetClass();
      if (kind != "ButtonUI" && kind != "OptionUI" && kind != "TextUI") return HTCAPTION;
    }
  }
  return HTCLIENT;
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCHITTEST:
      return DefaultHitTest(PointFromLparam(lparam));
    case WM_NCLBUTTONDOWN:
      if (static_cast<LRESULT>(wparam) == HTCAPTION && hwnd_ != nullptr)
        WindowSystem::Get().BeginMoveDrag(hwnd_);
      return 0;
    case WM_SYSCOMMAND:
      switch (wparam & 0xFFF0) {
        case SC_CLOSE:
          SendMessage(WM_CLOSE);
          return 0;
        case SC_MINIMIZE:
          WindowSystem::Get().Show(hwnd_, SW_MINIMIZE);
          return 0;
        case SC_MAXIMIZE:
          WindowSystem::Get().Show(hwnd_, SW_MAXIMIZE);
          return 0;
        case SC_RESTORE:
          WindowSystem::Get().Show(hwnd_, SW_RESTORE);
          return 0;
        default:
          return 0;
      }
    case WM_CLOSE:
      if (hwnd_ != nullptr) DestroyWindow(hwnd_);
      return 0;
    default:
      return 0;
  }
}

CControlUI* CWindowWnd::BuildSkin(CPaintManagerUI& pm, const std::string& layout, INotifyUI* notifier,
                                  IDialogBuilderCallback* callback) {
  WindowSystem& windows = WindowSystem::Get();
  windows.SetStyle(hwnd_, (windows.Style(hwnd_) & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  pm.Init(hwnd_);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(layout, callback, &pm);
  pm.AttachDialog(root);
  if (notifier != nullptr) pm.AddNotifier(notifier);
  return root;
}

}  // namespace qrv
