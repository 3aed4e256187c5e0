#pragma once
// CWindowWnd: a window of the program. Create registers it with the message core and gives it
// its native side through WindowSystem::Get(); messages arrive at HandleMessage, whose default
// behaviour (call it for what a subclass does not handle) is:
//   WM_NCHITTEST     the caption rule of the window's paint manager (below), else HTCLIENT;
//   WM_NCLBUTTONDOWN with HTCAPTION starts a window move;
//   WM_SYSCOMMAND    SC_CLOSE sends WM_CLOSE, SC_MINIMIZE/MAXIMIZE/RESTORE change the state;
//   WM_CLOSE         destroys the window.
// The last message is WM_NCDESTROY, after which OnFinalMessage runs (windows created with new
// delete themselves there).
//
// Caption rule: HTCAPTION when the point is inside the layout's caption band (caption="l,t,r,b":
// from l pixels off the left edge to r pixels off the right edge, from y = t down to y = b) and
// over a control whose class is not "ButtonUI", "OptionUI" or "TextUI". Within the size box
// borders (sizebox="l,t,r,b") of a window that is not maximised, the matching HT* border code.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/message_core.h"
#include "platform/window_system.h"

namespace qrv {

inline constexpr UINT CS_DBLCLKS = 0x0008;

// Size-border hit-test codes (the numbers of the Win32 API whose names the window code uses).
inline constexpr LRESULT HTLEFT = 10;
inline constexpr LRESULT HTRIGHT = 11;
inline constexpr LRESULT HTTOP = 12;
inline constexpr LRESULT HTTOPLEFT = 13;
inline constexpr LRESULT HTTOPRIGHT = 14;
inline constexpr LRESULT HTBOTTOM = 15;
inline constexpr LRESULT HTBOTTOMLEFT = 16;
inline constexpr LRESULT HTBOTTOMRIGHT = 17;

class CControlUI;
class CPaintManagerUI;
class IDialogBuilderCallback;
class INotifyUI;

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return hwnd_; }
  operator HWND() const { return hwnd_; }  // NOLINT(google-explicit-constructor)

  virtual std::string GetWindowClassName() const = 0;
  virtual UINT GetClassStyle() const { return 0; }

  // Creates the window: delivers WM_CREATE before returning and shows the window afterwards
  // when `style` has WS_VISIBLE. Returns null when WM_CREATE answered -1 (the window is then
  // destroyed) or the object already has a window.
  HWND Create(HWND parent, const std::string& title, std::uint32_t style, std::uint32_t ex_style, int x = 0,
              int y = 0, int cx = 0, int cy = 0);
  HWND Create(HWND parent, const std::string& title, std::uint32_t style, std::uint32_t ex_style,
              const RECT& rc);
  // Posts WM_CLOSE (wParam = ret). Inside ShowModal, the modal run ends with `ret` at once.
  void Close(int ret = IDOK);
  void ShowWindow(bool show = true, bool focus = true);
  // Shows the window and runs it modally; returns the code given to Close (or the back end's
  // answer, -1 when the window ended otherwise).
  int ShowModal();
  // Centres the window on the desktop work area.
  void CenterWindow();
  // Moves the window inside the work area of the monitor that shows most of it, as little as it
  // takes (KeptOnMonitor); pop-ups placed beside other windows call it before they show.
  void KeepOnMonitor();
  // Resizes the window so that its client area is cx by cy (negative keeps that dimension).
  void ResizeClient(int cx = -1, int cy = -1);
  LRESULT SendMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
  bool PostMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);

  // The window object of a handle, or null (for the automation interface).
  static CWindowWnd* FromHandle(HWND hwnd);

  virtual LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

 protected:
  virtual void OnFinalMessage(HWND) {}
  // The creation step every skinned window shares (call it from WM_CREATE): the window loses its
  // caption (the layout draws its own) and clips its children, `pm` takes the window, `layout` is
  // built from the skin and attached, and `notifier` hears the notifications. Returns the
  // layout's root, or null when the layout could not be built (the window then stays empty).
  CControlUI* BuildSkin(CPaintManagerUI& pm, const std::string& layout, INotifyUI* notifier,
                        IDialogBuilderCallback* callback = nullptr);
  // The default WM_NCHITTEST answer for a point in screen coordinates.
  LRESULT DefaultHitTest(POINT screen) const;

  HWND hwnd_ = nullptr;

 private:
  class Dispatcher;
  LRESULT Dispatch(UINT msg, WPARAM wparam, LPARAM lparam);

  std::unique_ptr<Dispatcher> dispatcher_;
  bool modal_running_ = false;
  bool detached_ = false;  // the object is being destroyed: messages no longer reach it
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qrv
