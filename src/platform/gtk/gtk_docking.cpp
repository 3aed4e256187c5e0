// Foreign X windows wrapped as windows of the message core: the wrapping, the operations the
// window system does on them through Xlib, and the end of a wrapper when its window is destroyed.

#include "platform/gtk/gtk_docking.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gtk/native_window.h"
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

namespace {

// Text properties are read up to this many bytes: a caption is cut to far less by its readers.
constexpr long kMaxNameBytes = 4096;

GdkDisplay* Gdk() { return gdk_display_get_default(); }
Display* XDisplayOfGdk() { return GDK_DISPLAY_XDISPLAY(Gdk()); }

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

Atom AtomOf(const char* name) { return gdk_x11_get_xatom_by_name_for_display(Gdk(), name); }

std::string ValidUtf8(const char* data, std::size_t length) {
  // A property may hold NULs (a list of strings): the caption is the first one.
  const std::size_t end = std::find(data, data + length, '\0') - data;
  g_autofree char* valid = g_utf8_make_valid(data, static_cast<gssize>(end));
  return valid;
}

std::string ReadNetWmName(Display* display, Window xid) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, xid, AtomOf("_NET_WM_NAME"), 0, kMaxNameBytes / 4, False,
                                        AtomOf("UTF8_STRING"), &type, &format, &count, &remaining, &data);
  std::string name;
  if (status == Success && data != nullptr && format == 8 && type == AtomOf("UTF8_STRING"))
    name = ValidUtf8(reinterpret_cast<const char*>(data), count);
  if (data != nullptr) XFree(data);
  return name;
}

std::string ReadWmName(Display* display, Window xid) {
  XTextProperty property{};
  if (XGetWMName(display, xid, &property) == 0 || property.value == nullptr) return {};
  std::string name;
  const std::size_t length = std::min<std::size_t>(property.nitems, kMaxNameBytes);
  const auto* raw = reinterpret_cast<const char*>(property.value);
  if (property.encoding == XA_STRING) {
    // ICCCM: STRING is Latin-1.
    g_autofree char* utf8 =
        g_convert(raw, static_cast<gssize>(length), "UTF-8", "ISO-8859-1", nullptr, nullptr, nullptr);
    if (utf8 != nullptr) name = utf8;
  } else if (property.encoding == AtomOf("UTF8_STRING")) {
    name = ValidUtf8(raw, length);
  } else {
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && list != nullptr) {
      if (count > 0 && list[0] != nullptr) name = ValidUtf8(list[0], std::strlen(list[0]));
      XFreeStringList(list);
    }
  }
  XFree(property.value);
  return name;
}

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

void ForeignWindows::Show(HWND hwnd, int command) {
  ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return;
  Display* x = XDisplayOfGdk();
  XErrorTrap trap;
  if (command == SW_HIDE) {
    // A toplevel is withdrawn (ICCCM), so a window manager forgets it too; a child is unmapped.
    if (window->parent == nullptr) {
      XWithdrawWindow(x, window->xid, DefaultScreen(x));
    } else {
      XUnmapWindow(x, window->xid);
    }
  } else {
    XMapWindow(x, window->xid);
  }
  XFlush(x);
}

bool ForeignWindows::IsVisible(HWND hwnd) const {
  const ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return false;
  XErrorTrap trap;
  XWindowAttributes attributes{};
  return XGetWindowAttributes(XDisplayOfGdk(), window->xid, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

void ForeignWindows::SetPos(HWND hwnd, HWND insert_after, int x_pos, int y_pos, int width, int height,
                            UINT flags) {
  ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return;
  if ((flags & SWP_HIDEWINDOW) != 0) Show(hwnd, SW_HIDE);
  XWindowChanges changes{};
  unsigned mask = 0;
  if ((flags & SWP_NOMOVE) == 0) {
    changes.x = x_pos;
    changes.y = y_pos;
    mask |= CWX | CWY;
  }
  if ((flags & SWP_NOSIZE) == 0) {
    changes.width = std::max(1, width);
    changes.height = std::max(1, height);
    mask |= CWWidth | CWHeight;
  }
  if ((flags & SWP_NOZORDER) == 0 && insert_after == HWND_TOP) {
    changes.stack_mode = Above;
    mask |= CWStackMode;
  }
  if (mask != 0) {
    Display* x = XDisplayOfGdk();
    XErrorTrap trap;
    XConfigureWindow(x, window->xid, mask, &changes);
    XFlush(x);
  }
  if ((flags & SWP_SHOWWINDOW) != 0) Show(hwnd, SW_SHOW);
}

RECT ForeignWindows::WindowRect(HWND hwnd) const {
  const ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return RECT{};
  Display* x = XDisplayOfGdk();
  XErrorTrap trap;
  XWindowAttributes attributes{};
  int root_x = 0;
  int root_y = 0;
  Window child = 0;
  if (XGetWindowAttributes(x, window->xid, &attributes) == 0 ||
      !XTranslateCoordinates(x, window->xid, DefaultRootWindow(x), 0, 0, &root_x, &root_y, &child)) {
    return RECT{};
  }
  return RECT{root_x, root_y, root_x + attributes.width, root_y + attributes.height};
}

RECT ForeignWindows::ClientRect(HWND hwnd) const {
  const RECT rect = WindowRect(hwnd);
  return RECT{0, 0, rect.Width(), rect.Height()};
}

void ForeignWindows::SetTitle(HWND hwnd, const std::string& title) {
  ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return;
  Display* x = XDisplayOfGdk();
  XErrorTrap trap;
  XChangeProperty(x, window->xid, AtomOf("_NET_WM_NAME"), AtomOf("UTF8_STRING"), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
  char* list[] = {const_cast<char*>(title.c_str())};
  XTextProperty property{};
  if (Xutf8TextListToTextProperty(x, list, 1, XStdICCTextStyle, &property) >= Success) {
    XSetWMName(x, window->xid, &property);
    XFree(property.value);
  }
  XFlush(x);
}

std::string ForeignWindows::Title(HWND hwnd) const {
  const ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return {};
  Display* x = XDisplayOfGdk();
  XErrorTrap trap;
  std::string name = ReadNetWmName(x, window->xid);
  if (name.empty()) name = ReadWmName(x, window->xid);
  return name;
}

std::uint32_t ForeignWindows::Style(HWND hwnd) const {
  const ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return 0;
  XErrorTrap trap;
  XWindowAttributes attributes{};
  const bool mapped = XGetWindowAttributes(XDisplayOfGdk(), window->xid, &attributes) != 0 &&
                      attributes.map_state != IsUnmapped;
  return (window->parent != nullptr ? WS_CHILD : WS_POPUP) | (mapped ? WS_VISIBLE : 0);
}

HWND ForeignWindows::Parent(HWND hwnd) const {
  const ForeignWindow* window = Get(hwnd);
  return window == nullptr ? nullptr : window->parent;
}

void ForeignWindows::SetFocus(HWND hwnd) {
  ForeignWindow* window = Get(hwnd);
  if (window == nullptr || window->gone) return;
  XErrorTrap trap;
  XSetInputFocus(XDisplayOfGdk(), window->xid, RevertToParent, CurrentTime);
}

void* ForeignWindows::NativeHandle(HWND hwnd) const {
  const ForeignWindow* window = Get(hwnd);
  return window == nullptr || window->gone ? nullptr : window->gdk;
}

}  // namespace qrv
