// Foreign X windows wrapped as windows of the message core: the wrapping, moving them into and
// out of our windows, and the end of a wrapper when its window is destroyed. The operations on
// them are in gtk_docking_ops.cpp.

#include "platform/gtk/gtk_docking.h"

#include <gdk/gdkx.h>

#include <vector>

#include "platform/gtk/gtk_docking_x11.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

GdkFilterReturn ForeignEventFilter(GdkXEvent* native, GdkEvent*, gpointer data) {
  const auto* event = static_cast<const XEvent*>(native);
  if (event->type == DestroyNotify)
    static_cast<ForeignWindows*>(data)->OnDestroyed(event->xdestroywindow.window);
  return GDK_FILTER_CONTINUE;
}

// The X window into which children of our window `host` are put: the drawing surface of its
// layout, made a native X window.
GdkWindow* HostSurface(const GtkWindows& windows, HWND host) {
  auto* widget = static_cast<GtkWidget*>(windows.NativeHandle(host));
  if (widget == nullptr) return nullptr;
  if (!gtk_widget_get_realized(widget)) gtk_widget_realize(widget);
  GdkWindow* surface =
      GTK_IS_LAYOUT(widget) ? gtk_layout_get_bin_window(GTK_LAYOUT(widget)) : gtk_widget_get_window(widget);
  if (surface == nullptr || !gdk_window_ensure_native(surface)) return nullptr;
  return surface;
}

// Our window whose X window is `xid`: a toplevel, or a window whose drawing surface is native
// (as it is once a foreign window was put into it). Null for any other X window.
HWND OurWindowOfXid(const GtkWindows& windows, Window xid) {
  for (HWND hwnd : AllWindows()) {
    const NativeWindow* native = windows.Find(hwnd);
    if (native == nullptr) continue;
    if (native->window != nullptr && gtk_widget_get_realized(native->window) &&
        GDK_WINDOW_XID(gtk_widget_get_window(native->window)) == xid) {
      return hwnd;
    }
    GdkWindow* surface = native->BinWindow();
    if (surface != nullptr && gdk_window_has_native(surface) && GDK_WINDOW_XID(surface) == xid) return hwnd;
  }
  return nullptr;
}

}  // namespace

ForeignWindows::ForeignWindows() = default;

ForeignWindows::~ForeignWindows() {
  std::vector<HWND> handles;
  for (const auto& [hwnd, record] : records_) handles.push_back(hwnd);
  for (HWND hwnd : handles) Forget(hwnd);
}

ForeignWindow* ForeignWindows::Get(HWND hwnd) const {
  auto it = records_.find(hwnd);
  return it == records_.end() ? nullptr : it->second.get();
}

HWND ForeignWindows::Find(XWindowId xid) const {
  for (const auto& [hwnd, record] : records_) {
    if (record->xid == xid && !record->gone) return hwnd;
  }
  return nullptr;
}

XWindowId ForeignWindows::Xid(HWND hwnd) const {
  const ForeignWindow* record = Get(hwnd);
  return record == nullptr ? 0 : record->xid;
}

HWND ForeignWindows::Wrap(XWindowId xid) {
  GdkDisplay* display = Gdk();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return nullptr;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  if (xid == 0 || xid == DefaultRootWindow(x)) return nullptr;
  if (HWND known = Find(xid)) return known;
  // Our own windows are windows of the message core already; a request naming one is refused
  // rather than letting another program move or hide them through a second handle.
  if (GdkWindow* known = gdk_x11_window_lookup_for_display(display, xid);
      known != nullptr && gdk_window_get_window_type(known) != GDK_WINDOW_FOREIGN) {
    return nullptr;
  }

  GdkWindow* gdk = nullptr;
  {
    XErrorTrap trap;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(x, xid, &attributes) == 0) return nullptr;
    gdk = gdk_x11_window_foreign_new_for_display(display, xid);
    // Only the window's own destruction is needed; selecting input on another client's window
    // changes nothing for that client.
    if (gdk != nullptr) XSelectInput(x, xid, StructureNotifyMask);
    if (trap.Failed()) {
      if (gdk != nullptr) g_object_unref(gdk);
      return nullptr;
    }
  }
  if (gdk == nullptr) return nullptr;

  auto record = std::make_unique<ForeignWindow>();
  record->owner = this;
  record->xid = xid;
  record->gdk = gdk;
  // A program may have put its window inside ours itself (XReparentWindow into our toplevel), as
  // a Windows program calls SetParent before asking to be docked.
  if (const GtkWindows* windows = GtkWindows::Current()) {
    XErrorTrap trap;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x, xid, &root, &parent, &children, &count) != 0)
      record->parent = OurWindowOfXid(*windows, parent);
    if (children != nullptr) XFree(children);
  }
  gdk_window_add_filter(gdk, ForeignEventFilter, this);
  record->hwnd = RegisterWindow(record.get());
  const HWND hwnd = record->hwnd;
  records_[hwnd] = std::move(record);
  return hwnd;
}

void ForeignWindows::OnDestroyed(XWindowId xid) {
  for (auto& [hwnd, record] : records_) {
    if (record->xid != xid || record->gone) continue;
    record->gone = true;
    const HWND handle = hwnd;
    // Destroying the handle ends the record (its final message); code that kept the handle sees
    // a window that is gone.
    if (TargetOf(handle) == record.get()) {
      DestroyWindow(handle);
    } else {
      Forget(handle);
    }
    return;
  }
}

void ForeignWindows::Forget(HWND hwnd) {
  auto it = records_.find(hwnd);
  if (it == records_.end()) return;
  // While the handle is registered, the message core holds the record as its target: the record
  // goes only through the handle's destruction, which comes back here at the final message.
  if (TargetOf(hwnd) == it->second.get()) {
    DestroyWindow(hwnd);
    return;
  }
  std::unique_ptr<ForeignWindow> record = std::move(it->second);
  records_.erase(it);
  Release(*record);
}

void ForeignWindows::Release(ForeignWindow& window) {
  gdk_window_remove_filter(window.gdk, ForeignEventFilter, this);
  GiveBackToRoot(window);
  if (!window.gone) {
    XErrorTrap trap;
    XSelectInput(XDisplayOfGdk(), window.xid, NoEventMask);
    XFlush(XDisplayOfGdk());
  }
  g_object_unref(window.gdk);
  window.gdk = nullptr;
}

void ForeignWindows::GiveBackToRoot(ForeignWindow& window) {
  if (window.parent == nullptr) return;
  window.parent = nullptr;
  if (window.gone) return;
  // Back to the root window where it is on screen now, as the X server would do at our exit.
  Display* x = XDisplayOfGdk();
  XErrorTrap trap;
  int root_x = 0;
  int root_y = 0;
  Window child = 0;
  XTranslateCoordinates(x, window.xid, DefaultRootWindow(x), 0, 0, &root_x, &root_y, &child);
  XReparentWindow(x, window.xid, DefaultRootWindow(x), root_x, root_y);
  XRemoveFromSaveSet(x, window.xid);
  XFlush(x);
}

bool ForeignWindows::Reparent(HWND hwnd, HWND host, int x_pos, int y_pos) {
  ForeignWindow* window = Get(hwnd);
  GtkWindows* windows = GtkWindows::Current();
  if (window == nullptr || window->gone || windows == nullptr || windows->Find(host) == nullptr) return false;
  GdkWindow* surface = HostSurface(*windows, host);
  if (surface == nullptr) return false;
  Display* x = XDisplayOfGdk();
  {
    // In the save-set, the window goes back to the root window if this process ends first,
    // instead of being destroyed with ours. (The server refuses it for a window of our own
    // connection, which needs no such care.)
    XErrorTrap trap;
    XAddToSaveSet(x, window->xid);
  }
  XErrorTrap trap;
  XReparentWindow(x, window->xid, GDK_WINDOW_XID(surface), x_pos, y_pos);
  if (trap.Failed()) return false;
  window->parent = host;
  return true;
}

void ForeignWindows::ReleaseFrom(HWND host, const GtkWindows& windows) {
  for (auto& [hwnd, record] : records_) {
    // Up through the windows that contain the foreign window's parent: children sit inside their
    // parent, while a pop-up's parent is only its owner.
    for (HWND ancestor = record->parent; ancestor != nullptr; ancestor = windows.Parent(ancestor)) {
      if (ancestor == host) {
        GiveBackToRoot(*record);
        break;
      }
      const NativeWindow* native = windows.Find(ancestor);
      if (native == nullptr || !native->is_child) break;
    }
  }
}

}  // namespace qrv
