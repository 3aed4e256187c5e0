#include "capture/frozen_screen.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace qrv::capture {
namespace {

// The visible top-level windows of the X screen, bottom to top. With a window manager these are
// the frames around the programs' windows, so a click takes a window with its title bar, as the
// player sees it.
std::vector<PixelRect> TopLevelWindows(GdkDisplay* display) {
  std::vector<PixelRect> windows;
  Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
  Window root = DefaultRootWindow(xdisplay);
  Window root_return = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  // A window may go between the listing and the question about it; its error is ignored.
  gdk_x11_display_error_trap_push(display);
  if (XQueryTree(xdisplay, root, &root_return, &parent, &children, &count) != 0) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(xdisplay, children[i], &attributes) == 0) continue;
      if (attributes.map_state != IsViewable || attributes.c_class != InputOutput) continue;
      windows.push_back(PixelRect{attributes.x, attributes.y, attributes.width + 2 * attributes.border_width,
                                  attributes.height + 2 * attributes.border_width});
    }
    if (children != nullptr) XFree(children);
  }
  gdk_x11_display_error_trap_pop_ignored(display);
  return windows;
}

}  // namespace

FrozenScreen::~FrozenScreen() {
  if (picture != nullptr) g_object_unref(picture);
}

GdkPixbuf* FrozenScreen::Crop(const PixelRect& rect) const {
  g_autoptr(GdkPixbuf) view = gdk_pixbuf_new_subpixbuf(picture, rect.x, rect.y, rect.width, rect.height);
  return gdk_pixbuf_copy(view);
}

bool FreezeScreen(GdkDisplay* display, FrozenScreen& frozen) {
  if (!GDK_IS_X11_DISPLAY(display)) return false;
  GdkWindow* root = gdk_screen_get_root_window(gdk_display_get_default_screen(display));
  const int width = gdk_window_get_width(root);
  const int height = gdk_window_get_height(root);
  // The root window's picture comes in device pixels: scale × the logical size.
  frozen.picture = gdk_pixbuf_get_from_window(root, 0, 0, width, height);
  if (frozen.picture == nullptr) return false;
  frozen.bounds =
      PixelRect{0, 0, gdk_pixbuf_get_width(frozen.picture), gdk_pixbuf_get_height(frozen.picture)};
  frozen.scale = width > 0 ? frozen.bounds.width / width : 1;
  if (frozen.scale < 1) frozen.scale = 1;
  frozen.windows = TopLevelWindows(display);
  return true;
}

}  // namespace qrv::capture
