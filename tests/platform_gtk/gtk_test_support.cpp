#include "gtk_test_support.h"

#include <gdk/gdkx.h>

#include <cstdlib>

namespace qrv::testing {

bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
  const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(timeout_ms) * 1000;
  while (!done()) {
    if (g_get_monotonic_time() > deadline) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  }
  return true;
}

void Settle(int ms) {
  WaitFor([] { return false; }, ms);
}

bool Xdotool(const std::string& arguments) {
  const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
  const bool ok = std::system(command.c_str()) == 0;
  gdk_display_sync(gdk_display_get_default());
  return ok;
}

std::uint32_t ScreenPixel(int x, int y) {
  gdk_display_sync(gdk_display_get_default());
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  if (pixbuf == nullptr) return 0xFFFFFFFF;
  const guchar* p = gdk_pixbuf_read_pixels(pixbuf);
  const std::uint32_t rgb = (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
  g_object_unref(pixbuf);
  return rgb;
}

bool SameColor(std::uint32_t a, std::uint32_t b) {
  if (a > 0xFFFFFF || b > 0xFFFFFF) return false;
  for (int shift : {0, 8, 16}) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > 48) return false;
  }
  return true;
}

RECT ServerGeometry(HWND hwnd) {
  GtkWidget* top = GtkWindows::Current()->ToplevelWidget(hwnd);
  if (top == nullptr || !gtk_widget_get_realized(top)) return RECT{};
  GdkWindow* window = gtk_widget_get_window(top);
  Display* display = GDK_WINDOW_XDISPLAY(window);
  Window child = 0;
  int x = 0;
  int y = 0;
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, GDK_WINDOW_XID(window), &attributes);
  XTranslateCoordinates(display, GDK_WINDOW_XID(window), DefaultRootWindow(display), 0, 0, &x, &y, &child);
  return RECT{x, y, x + attributes.width, y + attributes.height};
}

void GtkPlatformTest::ShowAndWait(TestWindow& window) {
  WindowSystem::Get().Show(window.hwnd(), SW_SHOWNORMAL);
  GtkWidget* top = windows_->ToplevelWidget(window.hwnd());
  ASSERT_TRUE(WaitFor([&] { return top != nullptr && gtk_widget_get_mapped(top) && window.Saw(WM_PAINT); }));
  Settle(50);
}

}  // namespace qrv::testing
