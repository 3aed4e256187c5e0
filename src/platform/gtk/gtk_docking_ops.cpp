// The window system's operations on a wrapped foreign window, done on the X window itself.

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gtk/gtk_docking_x11.h"

namespace qrv {
namespace {

// Text properties are read up to this many bytes: a caption is cut to far less by its readers.
constexpr long kMaxNameBytes = 4096;

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

}  // namespace

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
