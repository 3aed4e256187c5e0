// System-wide hotkeys grabbed on the X server and pressed through it.

#include "gtk_test_support.h"
#include "platform/gtk/gtk_tray.h"
#include "platform/hotkeys.h"
#include "platform/tray.h"

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>

namespace qrv::testing {
namespace {

// Application messages as these tests use them (the platform knows no application message).
constexpr UINT kMsgTrayCallback = WM_USER + 13;

using GtkHotkeysTest = GtkPlatformTest;

TEST_F(GtkHotkeysTest, BoundKeyPostsHotkeyWithModifiersAndKeyWhateverWindowHasTheKeyboard) {
  TestWindow window(Toplevel(0, 0, 10, 10));  // never shown: hotkeys need no focus
  ASSERT_TRUE(RegisterHotKey(window.hwnd(), 2, MOD_ALT, 'Q'));
  ASSERT_TRUE(RegisterHotKey(window.hwnd(), 1, MOD_CONTROL | MOD_SHIFT, 'K'));
  ASSERT_TRUE(Xdotool("key alt+q"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_HOTKEY); }));
  auto hotkeys = window.Of(WM_HOTKEY);
  ASSERT_EQ(hotkeys.size(), 1u);
  EXPECT_EQ(hotkeys[0].wparam, 2u);
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(hotkeys[0].lparam)), MOD_ALT);
  EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(hotkeys[0].lparam)), 'Q');

  ASSERT_TRUE(Xdotool("key ctrl+shift+k"));
  ASSERT_TRUE(WaitFor([&] { return window.Of(WM_HOTKEY).size() == 2; }));
  hotkeys = window.Of(WM_HOTKEY);
  EXPECT_EQ(hotkeys[1].wparam, 1u);
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(hotkeys[1].lparam)), MOD_CONTROL | MOD_SHIFT);

  // Unregistered: the key is free again and nothing arrives.
  EXPECT_TRUE(UnregisterHotKey(window.hwnd(), 2));
  EXPECT_FALSE(UnregisterHotKey(window.hwnd(), 2));
  ASSERT_TRUE(Xdotool("key alt+q"));
  Settle(300);
  EXPECT_EQ(window.Of(WM_HOTKEY).size(), 2u);
}

TEST_F(GtkHotkeysTest, RegistrationFailsForKeysHeldElsewhereOrUnusable) {
  TestWindow window(Toplevel(0, 0, 10, 10));
  TestWindow other(Toplevel(0, 0, 10, 10));
  ASSERT_TRUE(RegisterHotKey(window.hwnd(), 115, MOD_ALT, VK_F4));
  // Held by another window or another id of ours.
  EXPECT_FALSE(RegisterHotKey(other.hwnd(), 115, MOD_ALT, VK_F4));
  EXPECT_FALSE(RegisterHotKey(window.hwnd(), 7, MOD_ALT, VK_F4));
  // The same registration again keeps it.
  EXPECT_TRUE(RegisterHotKey(window.hwnd(), 115, MOD_ALT, VK_F4));
  // "无" parses to a key that is none.
  EXPECT_FALSE(RegisterHotKey(window.hwnd(), 2, 0, static_cast<std::uint16_t>(static_cast<std::int16_t>('\xE6'))));

  // Another X client grabs Alt+W first.
  Display* rival = XOpenDisplay(nullptr);
  ASSERT_NE(rival, nullptr);
  const KeyCode w = XKeysymToKeycode(rival, XStringToKeysym("w"));
  XGrabKey(rival, w, Mod1Mask, DefaultRootWindow(rival), False, GrabModeAsync, GrabModeAsync);
  XSync(rival, False);
  EXPECT_FALSE(RegisterHotKey(window.hwnd(), 3, MOD_ALT, 'W'));
  XCloseDisplay(rival);
  EXPECT_TRUE(RegisterHotKey(window.hwnd(), 3, MOD_ALT, 'W'));

  // Re-registering an id with a new key releases the old one.
  ASSERT_TRUE(RegisterHotKey(window.hwnd(), 3, MOD_CONTROL, 'W'));
  EXPECT_TRUE(RegisterHotKey(other.hwnd(), 3, MOD_ALT, 'W'));
}

TEST_F(GtkHotkeysTest, TrayIconsAreAddedChangedAndRemoved) {
  TestWindow window(Toplevel(0, 0, 10, 10));
  // A 1x1 PNG.
  static const std::uint8_t kPng[] = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
      0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
      0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF,
      0x89, 0x99, 0x3D, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  const std::uint8_t not_png[] = {1, 2, 3};
  TrayIcon& tray = TrayIcon::Get();
  EXPECT_FALSE(tray.Add(window.hwnd(), kMsgTrayCallback, "玄岚城登陆器", not_png));
  ASSERT_TRUE(tray.Add(window.hwnd(), kMsgTrayCallback, "玄岚城登陆器", kPng));
  EXPECT_FALSE(tray.Add(window.hwnd(), kMsgTrayCallback, "again", kPng));
  EXPECT_TRUE(tray.Modify(window.hwnd(), "new tip", {}));
  EXPECT_FALSE(tray.Modify(window.hwnd(), "new tip", not_png));
  // A bare X server has no system tray.
  EXPECT_FALSE(tray.TaskbarFound());

  // Clicks on the status icon post the callback message with the mouse message, as a tray does.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkStatusIcon* status = dynamic_cast<GtkTray&>(tray).StatusIconOf(window.hwnd());
  ASSERT_NE(status, nullptr);
  g_autofree gchar* tip = gtk_status_icon_get_tooltip_text(status);
  EXPECT_STREQ(tip, "new tip");
  G_GNUC_END_IGNORE_DEPRECATIONS
  for (const auto& [type, button] : {std::pair{GDK_BUTTON_PRESS, 1u}, std::pair{GDK_BUTTON_RELEASE, 3u}}) {
    GdkEvent* event = gdk_event_new(type);
    event->button.button = button;
    gboolean handled = FALSE;
    g_signal_emit_by_name(status, type == GDK_BUTTON_PRESS ? "button-press-event" : "button-release-event", event,
                          &handled);
    gdk_event_free(event);
    EXPECT_TRUE(handled);
  }
  ASSERT_TRUE(WaitFor([&] { return window.Of(kMsgTrayCallback).size() == 2; }));
  EXPECT_EQ(window.Of(kMsgTrayCallback)[0].lparam, static_cast<LPARAM>(WM_LBUTTONDOWN));
  EXPECT_EQ(window.Of(kMsgTrayCallback)[1].lparam, static_cast<LPARAM>(WM_RBUTTONUP));
  EXPECT_EQ(window.Of(kMsgTrayCallback)[0].wparam, 0u);
  EXPECT_TRUE(tray.Remove(window.hwnd()));
  EXPECT_FALSE(tray.Remove(window.hwnd()));
  EXPECT_FALSE(tray.Modify(window.hwnd(), "tip", {}));
}

}  // namespace
}  // namespace qrv::testing
