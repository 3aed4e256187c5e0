// The headless hotkey and tray back ends follow the same rules as the real ones.

#include <gtest/gtest.h>

#include "platform/headless_loop.h"
#include "platform/hotkeys_headless.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/tray_headless.h"
#include "platform/window_system.h"

namespace qrv {
namespace {

// Application messages as these tests use them (the platform knows no application message).
constexpr UINT kMsgTrayCallback = WM_USER + 13;

class Recorder : public MessageTarget {
 public:
  Recorder() : hwnd(RegisterWindow(this)) {}
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_HOTKEY || msg == kMsgTrayCallback) seen.push_back({msg, wparam, lparam});
    return 0;
  }
  struct Seen {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
  };
  HWND hwnd;
  std::vector<Seen> seen;
};

class HeadlessBackendsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    hotkeys_ = &HeadlessHotkeys::Install();
    tray_ = &HeadlessTray::Install();
  }
  void TearDown() override { MessageCore::Uninstall(); }
  HeadlessLoop* loop_ = nullptr;
  HeadlessHotkeys* hotkeys_ = nullptr;
  HeadlessTray* tray_ = nullptr;
};

TEST(HotkeyAccelerator, NamesTheKeysAHotkeyCanUse) {
  EXPECT_EQ(HotkeyAccelerator(MOD_ALT, 'Q'), "<Alt>q");
  EXPECT_EQ(HotkeyAccelerator(MOD_CONTROL | MOD_SHIFT, 'K'), "<Control><Shift>k");
  EXPECT_EQ(HotkeyAccelerator(MOD_ALT, VK_F4), "<Alt>F4");
  EXPECT_EQ(HotkeyAccelerator(MOD_ALT, 0x7B), "<Alt>F12");
  EXPECT_EQ(HotkeyAccelerator(0, '7'), "7");
  EXPECT_EQ(HotkeyAccelerator(MOD_SHIFT, VK_ESCAPE), "<Shift>Escape");
  // None: a modifier key itself, F13, the Windows key, the Windows key flag, "无".
  EXPECT_EQ(HotkeyAccelerator(MOD_ALT, VK_SHIFT), "");
  EXPECT_EQ(HotkeyAccelerator(MOD_ALT, 0x7C), "");
  EXPECT_EQ(HotkeyAccelerator(MOD_ALT, 0x5B), "");
  EXPECT_EQ(HotkeyAccelerator(0x0008, 'A'), "");
  EXPECT_EQ(HotkeyAccelerator(0, 0xFFE6), "");
}

TEST_F(HeadlessBackendsTest, HotkeysFollowTheRegistrationRulesAndPressPostsHotkey) {
  Recorder frame;
  Recorder other;
  EXPECT_TRUE(RegisterHotKey(frame.hwnd, 2, MOD_ALT, 'Q'));
  EXPECT_FALSE(RegisterHotKey(other.hwnd, 2, MOD_ALT, 'Q'));
  EXPECT_TRUE(RegisterHotKey(frame.hwnd, 2, MOD_ALT, 'Q'));
  EXPECT_FALSE(RegisterHotKey(HandleFromId(999), 1, MOD_ALT, 'A'));
  hotkeys_->TakeByOtherProgram(MOD_ALT, 'A');
  EXPECT_FALSE(RegisterHotKey(frame.hwnd, 1, MOD_ALT, 'A'));

  EXPECT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Z'));
  loop_->Pump();
  ASSERT_EQ(frame.seen.size(), 1u);
  EXPECT_EQ(frame.seen[0].wparam, 2u);
  EXPECT_EQ(frame.seen[0].lparam, MAKELPARAM(MOD_ALT, 'Q'));

  // A new key for the id replaces the old one, which becomes free.
  EXPECT_TRUE(RegisterHotKey(frame.hwnd, 2, MOD_CONTROL, 'B'));
  EXPECT_EQ(hotkeys_->Find(frame.hwnd, 2)->accelerator, "<Control>b");
  EXPECT_EQ(hotkeys_->Count(), 1u);
  EXPECT_TRUE(RegisterHotKey(other.hwnd, 5, MOD_ALT, 'Q'));
  EXPECT_TRUE(UnregisterHotKey(frame.hwnd, 2));
  EXPECT_FALSE(UnregisterHotKey(frame.hwnd, 2));
  EXPECT_FALSE(hotkeys_->Press(MOD_CONTROL, 'B'));
}

TEST_F(HeadlessBackendsTest, TrayKeepsOneIconPerWindowAndClicksPostTheCallback) {
  Recorder frame;
  const std::uint8_t png[] = {0x89, 'P', 'N', 'G'};
  EXPECT_FALSE(tray_->Add(frame.hwnd, kMsgTrayCallback, "tip", {}));
  ASSERT_TRUE(tray_->Add(frame.hwnd, kMsgTrayCallback, "玄岚城登陆器", png));
  EXPECT_FALSE(tray_->Add(frame.hwnd, kMsgTrayCallback, "again", png));
  EXPECT_EQ(tray_->Find(frame.hwnd)->tooltip, "玄岚城登陆器");
  EXPECT_TRUE(tray_->Modify(frame.hwnd, "new", {}));
  EXPECT_EQ(tray_->Find(frame.hwnd)->tooltip, "new");
  EXPECT_EQ(tray_->Find(frame.hwnd)->png.size(), sizeof(png));

  EXPECT_TRUE(tray_->Click(frame.hwnd, WM_RBUTTONUP));
  loop_->Pump();
  ASSERT_EQ(frame.seen.size(), 1u);
  EXPECT_EQ(frame.seen[0].msg, kMsgTrayCallback);
  EXPECT_EQ(frame.seen[0].lparam, static_cast<LPARAM>(WM_RBUTTONUP));

  EXPECT_TRUE(tray_->TaskbarFound());
  tray_->set_taskbar_found(false);
  EXPECT_FALSE(TrayIcon::Get().TaskbarFound());
  EXPECT_TRUE(tray_->Remove(frame.hwnd));
  EXPECT_FALSE(tray_->Click(frame.hwnd, WM_LBUTTONDOWN));
}

}  // namespace
}  // namespace qrv
