// The main frame's hotkeys through the desktop's shortcut service: a GlobalShortcuts portal of
// the test's own on a private session bus. The frame binds both stored keys there instead of
// grabbing them, the portal's Activated signal works the boss key, and a change the portal
// refuses leaves the session in force.

#include <gio/gio.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "app/frame_messages.h"
#include "frame_fixture.h"
#include "platform/portal_shortcuts.h"
#include "support/fake_notifications.h"
#include "support/fake_portal.h"

namespace qrv::testing {
namespace {

class FramePortalTest : public FrameFixture {
 protected:
  void TearDown() override {
    FrameFixture::TearDown();
    GlobalShortcuts::Install(nullptr);
    // Calls still on their way find nothing freed.
    for (int i = 0; i < 50; ++i) g_main_context_iteration(nullptr, FALSE);
  }
  // Runs the GLib context (where the D-Bus answers arrive) and the message loop until `done`.
  bool Until(const std::function<bool()>& done, int timeout_ms = 20000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() > until) return false;
      g_main_context_iteration(nullptr, FALSE);
      loop_->Pump();
    }
    return true;
  }
};

TEST_F(FramePortalTest, StoredKeysAreBoundThroughThePortalAndItsSignalWorksTheBossKey) {
  test::PrivateSessionBus bus;
  ASSERT_FALSE(bus.address().empty()) << bus.error();
  test::FakeShortcutsPortal portal(bus.address());
  ASSERT_TRUE(portal.ready()) << portal.error();
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
  PortalShortcuts::Install();

  WriteSetting("Hotkey", "cap", "CTRL+SHIFT+K");
  WriteSetting("Hotkey", "boss", "ALT+W");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  ASSERT_TRUE(Until([&] { return frame_->hotkeys().settled(); }));
  EXPECT_TRUE(frame_->hotkeys().through_desktop());
  // Nothing is grabbed from the X server but Alt+F4, which matters only while the frame has the
  // keyboard.
  EXPECT_EQ(hotkeys_->Find(hwnd(), kCaptureHotkeyId), nullptr);
  EXPECT_EQ(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  EXPECT_NE(hotkeys_->Find(hwnd(), 115), nullptr);

  auto sessions = portal.sessions();
  ASSERT_EQ(sessions.size(), 1u);
  ASSERT_EQ(sessions[0].bound.size(), 2u);
  EXPECT_EQ(sessions[0].bound[0].id, "capture");
  EXPECT_EQ(sessions[0].bound[0].description, "截图热键：截取屏幕");
  EXPECT_EQ(sessions[0].bound[0].preferred_trigger, "CTRL+SHIFT+k");
  EXPECT_EQ(sessions[0].bound[1].id, "boss");
  EXPECT_EQ(sessions[0].bound[1].description, "老板键：隐藏或显示玄岚城");
  EXPECT_EQ(sessions[0].bound[1].preferred_trigger, "ALT+w");
  // What is in force reads as the desktop describes it.
  const auto keys = frame_->hotkeys().InForce();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_TRUE(keys[1].bound);
  EXPECT_EQ(InForceText(keys[1]), "当前生效：Alt+W（桌面快捷键）");

  // The portal's signal arrives as the boss key's WM_HOTKEY: hide, then show.
  ASSERT_TRUE(IsWindowVisible(hwnd()));
  ASSERT_TRUE(portal.Activate("boss"));
  ASSERT_TRUE(Until([&] { return !IsWindowVisible(hwnd()); }));
  ASSERT_TRUE(portal.Activate("boss"));
  ASSERT_TRUE(Until([&] { return IsWindowVisible(hwnd()); }));

  // A change the portal refuses: the frame hears it, the old session stays and keeps working.
  portal.RefuseBindings(true);
  auto change = std::make_unique<HotkeyChange>();
  change->entries = {{MOD_CONTROL, 'B', kBossHotkeyId}};
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0, std::move(change)));
  ASSERT_TRUE(Until([&] {
    const auto now = portal.sessions();
    return now.size() == 2 && now[1].bind_called && now[1].closed && frame_->hotkeys().settled();
  }));
  EXPECT_FALSE(portal.sessions()[0].closed);
  EXPECT_EQ(frame_->hotkeys().table()[1].key, 'W');
  ASSERT_TRUE(portal.Activate("boss"));
  ASSERT_TRUE(Until([&] { return !IsWindowVisible(hwnd()); }));
  ASSERT_TRUE(portal.Activate("boss"));
  ASSERT_TRUE(Until([&] { return IsWindowVisible(hwnd()); }));

  // An accepted change moves both keys to a new session and closes the old one.
  portal.RefuseBindings(false);
  change = std::make_unique<HotkeyChange>();
  change->entries = {{MOD_CONTROL, 'B', kBossHotkeyId}};
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0, std::move(change)));
  ASSERT_TRUE(Until([&] {
    const auto now = portal.sessions();
    return now.size() == 3 && now[0].closed && frame_->hotkeys().settled();
  }));
  sessions = portal.sessions();
  ASSERT_EQ(sessions[2].bound.size(), 2u);
  EXPECT_EQ(sessions[2].bound[1].preferred_trigger, "CTRL+b");
  EXPECT_EQ(frame_->hotkeys().table()[1].key, 'B');
  ASSERT_TRUE(portal.Activate("boss"));
  ASSERT_TRUE(Until([&] { return !IsWindowVisible(hwnd()); }));
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace
}  // namespace qrv::testing
