// The message side of CPaintManagerUI: window messages in, control events and notifications out,
// and painting.

#include <cairo.h>

#include <algorithm>
#include <memory>

#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "ui/controls/control.h"
#include "ui/paint_manager.h"

namespace qrv {
namespace {

struct FocusSearch {
  std::vector<CControlUI*> focusable;
};

CControlUI* CollectFocusable(CControlUI* control, void* data) {
  if (control->IsFocusable() && control->IsEnabled())
    static_cast<FocusSearch*>(data)->focusable.push_back(control);
  return nullptr;
}

// Keeps the manager's "events in flight" count for the duration of a message, so controls
// removed meanwhile are deleted only afterwards.
class DispatchScope {
 public:
  DispatchScope(int& depth, std::shared_ptr<bool> alive) : depth_(depth), alive_(alive) { ++depth_; }
  ~DispatchScope() {
    if (!alive_.expired()) --depth_;
  }
  bool Alive() const { return !alive_.expired(); }

 private:
  int& depth_;
  std::weak_ptr<bool> alive_;
};

}  // namespace

void CPaintManagerUI::SendEvent(CControlUI* control, UiEventType type, POINT pt, WPARAM wparam, LPARAM lparam,
                                std::uint32_t key) {
  if (control == nullptr) return;
  TEventUI event;
  event.Type = type;
  event.pSender = control;
  event.dwTimestamp = Now();
  event.ptMouse = pt;
  event.chKey = key;
  event.wKeyState = shift_down_ ? 1 : 0;
  event.wParam = wparam;
  event.lParam = lparam;
  control->Event(event);
}

void CPaintManagerUI::SetHot(CControlUI* control, POINT pt) {
  if (control == hot_) return;
  const std::weak_ptr<bool> alive = alive_;
  CControlUI* old = hot_;
  hot_ = control;
  if (old != nullptr) SendEvent(old, UIEVENT_MOUSELEAVE, pt);
  if (alive.expired()) return;
  if (hot_ != nullptr && hot_ == control) SendEvent(control, UIEVENT_MOUSEENTER, pt);
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  if (control != nullptr && (!control->IsFocusable() || !control->IsEnabled() || !control->IsVisible()))
    return;
  const std::weak_ptr<bool> alive = alive_;
  DispatchScope scope(dispatch_depth_, alive_);
  // The window gets the keyboard first, so that its own focus messages do not undo this.
  if (control != nullptr && hwnd_ != nullptr && IsWindow(hwnd_) && WindowSystem::Get().Focus() != hwnd_) {
    WindowSystem::Get().SetFocus(hwnd_);
    if (alive.expired()) return;
  }
  CControlUI* old = focus_;
  focus_ = nullptr;
  if (old != nullptr) SendEvent(old, UIEVENT_KILLFOCUS, mouse_pos_);
  if (alive.expired()) return;
  // The killfocus handler may have moved the focus itself; its choice stands.
  if (focus_ != nullptr) return;
  focus_ = control;
  if (control != nullptr) SendEvent(control, UIEVENT_SETFOCUS, mouse_pos_);
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
  if (root_ == nullptr) return false;
  UpdateLayout();
  FocusSearch search;
  root_->FindControl(CollectFocusable, &search, UIFIND_VISIBLE | UIFIND_ME_FIRST);
  if (search.focusable.empty()) return false;
  auto& list = search.focusable;
  auto it = std::find(list.begin(), list.end(), focus_);
  std::size_t next = 0;
  if (it == list.end()) {
    next = forward ? 0 : list.size() - 1;
  } else {
    const std::size_t current = static_cast<std::size_t>(it - list.begin());
    next = forward ? (current + 1) % list.size() : (current + list.size() - 1) % list.size();
  }
  SetFocus(list[next]);
  return true;
}

bool CPaintManagerUI::HandleMouse(UINT msg, WPARAM wparam, LPARAM lparam) {
  const POINT pt = PointFromLparam(lparam);
  const std::weak_ptr<bool> alive = alive_;
  switch (msg) {
    case WM_MOUSEMOVE: {
      mouse_pos_ = pt;
      CControlUI* control = FindControl(pt);
      if (control != nullptr && !control->IsEnabled()) control = nullptr;
      SetHot(control, pt);
      if (alive.expired()) return true;
      if (capture_ != nullptr)
        SendEvent(capture_, UIEVENT_MOUSEMOVE, pt);
      else if (hot_ != nullptr)
        SendEvent(hot_, UIEVENT_MOUSEMOVE, pt);
      return true;
    }
    case WM_MOUSELEAVE:
      SetHot(nullptr, mouse_pos_);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      mouse_pos_ = pt;
      CControlUI* control = FindControl(pt);
      if (control == nullptr || !control->IsEnabled()) return false;
      if (control->IsFocusable()) SetFocus(control);
      if (alive.expired()) return true;
      // The focus handlers may have hidden or removed the control.
      if (FindControl(pt) != control) return true;
      capture_ = control;
      if (hwnd_ != nullptr) WindowSystem::Get().SetCapture(hwnd_);
      SendEvent(control, msg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, pt);
      return true;
    }
    case WM_LBUTTONUP: {
      mouse_pos_ = pt;
      CControlUI* control = capture_;
      capture_ = nullptr;
      if (hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().ReleaseCapture();
      if (control == nullptr) return false;
      SendEvent(control, UIEVENT_BUTTONUP, pt);
      return true;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      mouse_pos_ = pt;
      CControlUI* control = FindControl(pt);
      if (control == nullptr || !control->IsEnabled()) return false;
      SendEvent(control, msg == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN : UIEVENT_RBUTTONUP, pt);
      if (alive.expired()) return true;
      if (msg == WM_RBUTTONUP && FindControl(pt) == control) SendEvent(control, UIEVENT_CONTEXTMENU, pt);
      return true;
    }
    case WM_MOUSEWHEEL: {
      mouse_pos_ = pt;
      const auto delta = static_cast<std::int16_t>(HIWORD(wparam));
      CControlUI* control = FindControl(pt);
      if (control == nullptr) return false;
      SendEvent(control, UIEVENT_SCROLLWHEEL, pt, delta > 0 ? 0 : 1, delta);
      return true;
    }
    default:
      return false;
  }
}

bool CPaintManagerUI::HandleKey(UINT msg, WPARAM wparam) {
  const auto key = static_cast<std::uint32_t>(wparam);
  if (msg == WM_KEYDOWN || msg == WM_KEYUP) {
    if (key == VK_SHIFT) shift_down_ = msg == WM_KEYDOWN;
    if (msg == WM_KEYDOWN && key == VK_TAB) return SetNextTabControl(!shift_down_);
  }
  if (focus_ == nullptr) return false;
  UiEventType type = UIEVENT_CHAR;
  if (msg == WM_KEYDOWN)
    type = UIEVENT_KEYDOWN;
  else if (msg == WM_KEYUP)
    type = UIEVENT_KEYUP;
  SendEvent(focus_, type, mouse_pos_, wparam, 0, key);
  return true;
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  DispatchScope scope(dispatch_depth_, alive_);
  bool handled = false;
  switch (msg) {
    case kMsgToolkitInit:
      init_posted_ = false;
      LayoutAndInit();
      result = 0;
      handled = true;
      break;
    case WM_PAINT: {
      auto* cr = reinterpret_cast<cairo_t*>(lparam);
      LayoutAndInit();
      if (cr != nullptr && scope.Alive()) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
        Paint(cr, RECT{static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2 + 0.999),
                       static_cast<int>(y2 + 0.999)});
      }
      result = 0;
      handled = true;
      break;
    }
    case WM_SIZE:
      layout_needed_ = true;
      UpdateLayout();
      Invalidate();
      break;
    case WM_TIMER: {
      auto it = std::find_if(timers_.begin(), timers_.end(),
                             [&](const ControlTimer& t) { return t.window_id == wparam; });
      if (it != timers_.end()) {
        SendEvent(it->control, UIEVENT_TIMER, mouse_pos_, it->id, 0);
        result = 0;
        handled = true;
      }
      break;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
      if (root_ != nullptr) handled = HandleMouse(msg, wparam, lparam);
      if (handled) result = 0;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      if (root_ != nullptr) handled = HandleKey(msg, wparam);
      if (handled) result = 0;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The window gaining or losing the keyboard turns the focused edit's input on or off;
      // which control has the focus inside the window does not change.
      if (focus_ != nullptr) focus_->OnWindowFocusChanged(msg == WM_SETFOCUS);
      break;
    default:
      break;
  }
  if (!scope.Alive()) return handled;
  if (dispatch_depth_ == 1) FlushDelayedCleanup();
  return handled;
}

}  // namespace qrv
