#pragma once
// What the docking files share (not a public header): the record of a wrapped foreign window and
// small Xlib helpers.

#include <gdk/gdkx.h>

#include "platform/gtk/gtk_docking.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

// One wrapped foreign window. It is the message target of its handle, so the handle lives in the
// message core like any other window; its final message ends the record.
struct ForeignWindow final : public MessageTarget {
  ForeignWindows* owner = nullptr;
  HWND hwnd = nullptr;
  Window xid = 0;
  GdkWindow* gdk = nullptr;  // our reference to the foreign GdkWindow
  HWND parent = nullptr;     // the window of ours it was reparented into
  bool gone = false;         // the X server reported it destroyed

  LRESULT HandleMessage(UINT msg, WPARAM, LPARAM) override {
    // The record (this object) is deleted here; nothing may touch it afterwards.
    if (msg == WM_NCDESTROY) owner->Forget(hwnd);
    return 0;
  }
};

inline GdkDisplay* Gdk() { return gdk_display_get_default(); }
inline Display* XDisplayOfGdk() { return GDK_DISPLAY_XDISPLAY(Gdk()); }

// Ignores X errors of the calls in its scope; Failed() syncs and tells whether one happened.
class XErrorTrap {
 public:
  XErrorTrap() { gdk_x11_display_error_trap_push(Gdk()); }
  ~XErrorTrap() {
    if (!popped_) gdk_x11_display_error_trap_pop_ignored(Gdk());
  }
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;
  bool Failed() {
    popped_ = true;
    return gdk_x11_display_error_trap_pop(Gdk()) != 0;
  }

 private:
  bool popped_ = false;
};

inline Atom AtomOf(const char* name) { return gdk_x11_get_xatom_by_name_for_display(Gdk(), name); }

}  // namespace qrv
