#pragma once
// Notifications (what windows receive from their controls) and events (what the paint manager
// hands to a control).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace qrv {

class CControlUI;

// Notification types, as window code compares them.
inline constexpr char kNotifyClick[] = "click";
inline constexpr char kNotifySelectChanged[] = "selectchanged";
inline constexpr char kNotifySetFocus[] = "setfocus";
inline constexpr char kNotifyKillFocus[] = "killfocus";
inline constexpr char kNotifyReturn[] = "return";
inline constexpr char kNotifyItemSelect[] = "itemselect";
inline constexpr char kNotifyItemClick[] = "itemclick";
inline constexpr char kNotifyItemActivate[] = "itemactivate";
inline constexpr char kNotifyWindowInit[] = "windowinit";
inline constexpr char kNotifyLink[] = "link";
inline constexpr char kNotifyTextChanged[] = "textchanged";
inline constexpr char kNotifyTimer[] = "timer";
inline constexpr char kNotifyDropDown[] = "dropdown";
inline constexpr char kNotifyMenu[] = "menu";

struct TNotifyUI {
  std::string sType;
  CControlUI* pSender = nullptr;
  std::uint64_t dwTimestamp = 0;
  POINT ptMouse;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

enum UiEventType {
  UIEVENT_MOUSEMOVE,
  UIEVENT_MOUSELEAVE,
  UIEVENT_MOUSEENTER,
  UIEVENT_BUTTONDOWN,
  UIEVENT_BUTTONUP,
  UIEVENT_DBLCLICK,
  UIEVENT_RBUTTONDOWN,
  UIEVENT_RBUTTONUP,
  UIEVENT_CONTEXTMENU,
  UIEVENT_SCROLLWHEEL,
  UIEVENT_KEYDOWN,
  UIEVENT_KEYUP,
  UIEVENT_CHAR,
  UIEVENT_SETFOCUS,
  UIEVENT_KILLFOCUS,
  UIEVENT_TIMER,
};

struct TEventUI {
  UiEventType Type = UIEVENT_MOUSEMOVE;
  CControlUI* pSender = nullptr;
  std::uint64_t dwTimestamp = 0;
  POINT ptMouse;
  std::uint32_t chKey = 0;  // virtual key (key events) or code point (UIEVENT_CHAR)
  std::uint16_t wKeyState = 0;
  WPARAM wParam = 0;  // timer id; wheel: 0 = up (away from the user), 1 = down
  LPARAM lParam = 0;  // wheel: the raw delta
};

// A list of handlers called in order; the first one returning false stops the rest and tells
// the caller to skip its own handling (controls use it for OnEvent and OnNotify).
class CEventSource {
 public:
  using Handler = std::function<bool(void*)>;
  CEventSource& operator+=(Handler handler) {
    handlers_.push_back(std::move(handler));
    return *this;
  }
  bool operator()(void* param) const {
    for (const auto& handler : handlers_) {
      if (!handler(param)) return false;
    }
    return true;
  }
  bool empty() const { return handlers_.empty(); }
  void clear() { handlers_.clear(); }

 private:
  std::vector<Handler> handlers_;
};

}  // namespace qrv
