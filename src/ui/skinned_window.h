#pragma once
// CSkinnedWindow: what every skinned window of the program shares. It owns the window's paint
// manager, builds the window's layout from the skin when the window is created, hands every
// message the window does not handle itself to the toolkit and then to the default handling, and
// (when made with new and left to itself) deletes the object with its window.
//
// A window class adds only what is its own:
//   OnCreate      its set-up once the layout is built (look controls up here, typed, once);
//   OnMessage     the window messages it handles before the toolkit sees them;
//   Notify        its notifications, dispatched in one place by type and sender.
//
// Controls are looked up with FindControl<T>(name), which checks the type: a control of another
// class reads as missing, and every window skips a missing control. A control looked up during
// OnCreate that is missing or of another class is also noted (TakeLookupMisses), so tests can
// prove that every layout of the skin holds what its window looks for.

#include <cstdint>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "ui/controls/control.h"
#include "ui/dialog_builder.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"
#include "ui/window_wnd.h"

namespace qrv {

// The styles skinned windows are made with: a pop-up (a dialog of its opener, shown at once) and a
// child window inside another window. The caption bits are dropped again at creation, where the
// layout draws its own caption.
inline constexpr std::uint32_t kPopupStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;
inline constexpr std::uint32_t kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// A control a window looked for at creation and did not find as the class it expected.
struct ControlLookupMiss {
  std::string layout;
  std::string name;
  std::string expected_type;  // the type's mangled name
  bool wrong_type = false;    // a control of that name exists, of another class
};

class CSkinnedWindow : public CWindowWnd, public INotifyUI {
 public:
  // Who ends the object: windows made with new and handed to the window system delete themselves
  // at their final message; windows that live inside another object (a member, a stack frame)
  // are ended by it.
  enum class Lifetime { kDeletesItself, kOwnedByCreator };

  CSkinnedWindow(std::string layout, Lifetime lifetime, IDialogBuilderCallback* builder_callback = nullptr)
      : layout_(std::move(layout)), lifetime_(lifetime), builder_callback_(builder_callback) {}

  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) final;
  void Notify(TNotifyUI&) override {}

  CPaintManagerUI& paint_manager() { return pm_; }
  const std::string& layout() const { return layout_; }

  // The control `name` of this window when it is a T, else null.
  template <class T = CControlUI>
  T* FindControl(const std::string& name) const {
    CControlUI* control = pm_.FindControl(name);
    T* typed = dynamic_cast<T*>(control);
    if (typed == nullptr && creating_) NoteLookupMiss(name, typeid(T), control != nullptr);
    return typed;
  }

  // The misses noted since the last call, oldest first (UI thread only).
  static std::vector<ControlLookupMiss> TakeLookupMisses();

 protected:
  // Runs in WM_CREATE once the layout is built and attached; -1 refuses the window.
  virtual LRESULT OnCreate() { return 0; }
  // The window's own handling of a message, before the toolkit's. Leave `handled` false to pass
  // the message on (the toolkit, then the default handling).
  virtual LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  // The window has gone (after WM_NCDESTROY); the object is deleted right after when it deletes
  // itself.
  virtual void OnWindowGone() {}

  void OnFinalMessage(HWND) final;

  // For windows whose top band drags them: a left press at `lparam` (client coordinates) with
  // x below `band_width` and y below `band_height` starts a window move, as a press on a caption
  // does (WM_NCLBUTTONDOWN with HTCAPTION is posted). Returns whether it did.
  bool StartDragInBand(LPARAM lparam, int band_width, int band_height);

  CPaintManagerUI pm_;

 private:
  void NoteLookupMiss(const std::string& name, const std::type_info& type, bool wrong_type) const;

  std::string layout_;
  bool creating_ = false;
  Lifetime lifetime_;
  IDialogBuilderCallback* builder_callback_;
};

}  // namespace qrv
