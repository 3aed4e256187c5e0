// The main frame's hotkeys and tray icon: registration with the fall-backs, the hotkey update
// message, the boss key and Alt+F4.

#include "frame_fixture.h"
#include "app/frame_messages.h"

namespace qrv::testing {
namespace {

class FrameHotkeysTest : public FrameFixture {};

TEST_F(FrameHotkeysTest, StoredKeysAreRegisteredAndInvalidOnesFallBack) {
  WriteSetting("Hotkey", "cap", "CTRL+SHIFT+K");
  WriteSetting("Hotkey", "boss", "WIN+");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  const auto& table = frame_->hotkeys().table();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].id, 1);
  EXPECT_EQ(table[0].modifiers, MOD_CONTROL | MOD_SHIFT);
  EXPECT_EQ(table[0].key, 'K');
  EXPECT_EQ(table[1].id, 2);
  EXPECT_EQ(table[1].modifiers, MOD_ALT);
  EXPECT_EQ(table[1].key, 'Q');
}

TEST_F(FrameHotkeysTest, ACombinationWithoutAModifierOrALetterIsRecordedButNeverRegistered) {
  // "WIN+" is no prefix of the grammar: the text reads as the bare letter A.
  WriteSetting("Hotkey", "boss", "WIN+A");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  ASSERT_EQ(frame_->hotkeys().table().size(), 2u);
  EXPECT_EQ(frame_->hotkeys().table()[1].modifiers, 0);
  EXPECT_EQ(frame_->hotkeys().table()[1].key, 'A');
  EXPECT_EQ(hotkeys_->Find(hwnd(), 2), nullptr);
  EXPECT_FALSE(hotkeys_->Press(0, 'A'));

  for (const HotkeyTableEntry& unusable : {HotkeyTableEntry{0, 'B', 2}, HotkeyTableEntry{MOD_CONTROL, 0, 2},
                                           HotkeyTableEntry{0, 0xFFE6, 2}}) {
    ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0, std::make_unique<HotkeyTableEntry>(unusable)));
    loop_->Pump();
    EXPECT_EQ(hotkeys_->Find(hwnd(), 2), nullptr);
    EXPECT_EQ(frame_->hotkeys().table()[1].key, unusable.key);
  }
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0,
                          std::make_unique<HotkeyTableEntry>(HotkeyTableEntry{MOD_ALT, 'Q', 2})));
  loop_->Pump();
  ASSERT_NE(hotkeys_->Find(hwnd(), 2), nullptr);
  // A usable key replaced by an unusable one is released.
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0,
                          std::make_unique<HotkeyTableEntry>(HotkeyTableEntry{0, 'Q', 2})));
  loop_->Pump();
  EXPECT_EQ(hotkeys_->Find(hwnd(), 2), nullptr);
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Q'));
}

TEST_F(FrameHotkeysTest, BossKeyHidesEverythingAndBringsTheFrameBackInFullScreen) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("NewItemBtn");
  const HWND list = frame_->server_list_window();
  ASSERT_NE(list, nullptr);
  Click("bnfull");

  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(tray_->Find(hwnd()), nullptr);

  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  EXPECT_NE(tray_->Find(hwnd()), nullptr);
  EXPECT_TRUE(frame_->full_screen());
  EXPECT_EQ(GetWindowRect(hwnd()), (RECT{0, 0, 1600, 1000}));
  EXPECT_FALSE(IsWindowVisible(list));  // other windows stay hidden
}

TEST_F(FrameHotkeysTest, DisabledBossKeyDoesNothing) {
  WriteSetting("Hotkey", "eboss", "0");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
}

TEST_F(FrameHotkeysTest, UpdateMessageMovesTheBossKey) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0,
                          std::make_unique<HotkeyTableEntry>(HotkeyTableEntry{MOD_CONTROL, 'B', 2})));
  loop_->Pump();
  const auto* boss = hotkeys_->Find(hwnd(), 2);
  ASSERT_NE(boss, nullptr);
  EXPECT_EQ(boss->modifiers, MOD_CONTROL);
  EXPECT_EQ(boss->vk, 'B');
  EXPECT_EQ(frame_->hotkeys().table()[1].key, 'B');
  EXPECT_EQ(frame_->hotkeys().table().size(), 2u);
  // The old combination is free again and does nothing.
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Q'));
  ASSERT_TRUE(hotkeys_->Press(MOD_CONTROL, 'B'));
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd()));
}

TEST_F(FrameHotkeysTest, AltF4EndsAtOnceAndFollowsTheFocus) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  SendMessage(hwnd(), WM_KILLFOCUS);
  EXPECT_EQ(hotkeys_->Find(hwnd(), 115), nullptr);
  SendMessage(hwnd(), WM_SETFOCUS);
  ASSERT_NE(hotkeys_->Find(hwnd(), 115), nullptr);

  ScopedExitHook hook;
  int code = 1234;
  try {
    ASSERT_TRUE(hotkeys_->Press(MOD_ALT, VK_F4));
    loop_->Pump();
  } catch (const ProcessExit& exit) {
    code = exit.code;
  }
  EXPECT_EQ(code, -1);
  EXPECT_EQ(tray_->Find(hwnd()), nullptr);
}

TEST_F(FrameHotkeysTest, TrayLeftClickShowsTheFrame) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  ShowWindow(hwnd(), SW_HIDE);
  ASSERT_TRUE(tray_->Click(hwnd(), WM_LBUTTONDOWN));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
}

}  // namespace
}  // namespace qrv::testing
