// The main frame's hotkeys and tray icon: registration with the fall-backs, the hotkey update
// message, the boss key and Alt+F4.

#include "app/frame_messages.h"
#include "frame/more_ui.h"
#include "frame_fixture.h"
#include "platform/desktop_notifier_headless.h"
#include "tools/boss_set_ui.h"
#include "tools/system_set_ui.h"
#include "tools/window_test_support.h"

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

  for (const HotkeyTableEntry& unusable :
       {HotkeyTableEntry{0, 'B', 2}, HotkeyTableEntry{MOD_CONTROL, 0, 2}, HotkeyTableEntry{0, 0xFFE6, 2}}) {
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

TEST_F(FrameHotkeysTest, DisabledBossKeyHoldsNoCombination) {
  WriteSetting("Hotkey", "eboss", "0");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  EXPECT_EQ(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Q'));  // other programs keep Alt+Q
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

// Another program holds the capture key from the start and later the combination the player
// chooses for the boss key: the refused keys leave the working ones and the settings alone, the
// windows say why, and the start-up's loss is reported once.
TEST_F(FrameHotkeysTest, KeysThatCannotBeBoundAreRefusedAndTheWorkingOnesStay) {
  RecordingNotifier& notifier = RecordingNotifier::Install();
  hotkeys_->TakeByOtherProgram(MOD_ALT, 'A');
  WriteSetting("Hotkey", "boss", "ALT+Q");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  EXPECT_TRUE(frame_->hotkeys().settled());
  EXPECT_EQ(hotkeys_->Find(hwnd(), kCaptureHotkeyId), nullptr);
  ASSERT_NE(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  ASSERT_EQ(notifier.sent().size(), 1u);
  EXPECT_EQ(notifier.sent()[0].summary, "玄岚城热键未生效");
  EXPECT_EQ(notifier.sent()[0].body,
            "截图热键 ALT+A：该快捷键已被其他程序占用\n可在“系统设置”的“热键设置”中换一个组合键。");

  CMoreUI* panel = frame_->more_panel();
  ASSERT_NE(panel, nullptr);
  auto click = [this](CSkinnedWindow* window, const char* name) {
    ClickNamed(window->GetHWND(), window->paint_manager(), name);
    loop_->Pump();
  };
  // The player clicks into the boss window's field and presses the keys.
  auto type = [](CBossSetUI* window, std::initializer_list<unsigned> keys) {
    ClickControl(window->GetHWND(), window->paint_manager(), *window->field());
    for (unsigned vk : keys) SendMessage(window->GetHWND(), WM_KEYDOWN, vk, 0);
    for (unsigned vk : keys) SendMessage(window->GetHWND(), WM_KEYUP, vk, 1u << 31);
  };
  auto label = [](CSkinnedWindow* window, const char* name) {
    return window->paint_manager().FindControl(name)->GetText();
  };

  // The settings window shows what is in force.
  click(panel, "bnset");
  CSystemSetUI* settings = panel->settings_window();
  ASSERT_NE(settings, nullptr);
  click(settings, "bnrj");
  EXPECT_EQ(label(settings, "lbcapstate"), "当前未生效：该快捷键已被其他程序占用");
  EXPECT_EQ(label(settings, "lbbossstate"), "当前生效：ALT+Q");
  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  EXPECT_TRUE(
      settings->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/settings-hotkeys-in-force.png"));
  settings->ShowWindow(false);

  // A combination another program holds is refused; the window stays and nothing is saved.
  hotkeys_->TakeByOtherProgram(MOD_CONTROL, 'W');
  click(panel, "bnboss");
  CBossSetUI* boss = panel->boss_window();
  ASSERT_NE(boss, nullptr);
  const HWND boss_hwnd = boss->GetHWND();
  EXPECT_EQ(label(boss, "lbbossstate"), "当前生效：ALT+Q");
  type(boss, {VK_CONTROL, 'W'});
  ASSERT_EQ(boss->field()->GetText(), "CTRL+W");
  click(boss, "bnok");
  EXPECT_TRUE(IsWindowVisible(boss_hwnd));
  EXPECT_EQ(boss->error_text(), "该快捷键已被其他程序占用");
  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  EXPECT_TRUE(boss->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/boss-key-refused.png"));
  EXPECT_EQ(services_->settings.ReadText("Hotkey", "boss"), "ALT+Q");
  EXPECT_FALSE(StatSent("200011"));
  // The old key still hides and shows the frame.
  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));

  // The capture key's combination is refused too, free or not.
  boss->ShowWindow(true);
  type(boss, {'A'});
  ASSERT_EQ(boss->field()->GetText(), "ALT+A");
  click(boss, "bnok");
  EXPECT_EQ(boss->error_text(), "该快捷键与截图热键相同");
  EXPECT_EQ(frame_->hotkeys().table()[1].key, 'Q');

  // Switched off, the boss key lets go of its combination; switched on, it takes it again.
  click(boss, "openbale");
  click(boss, "bnok");
  EXPECT_FALSE(IsWindowVisible(boss_hwnd));
  EXPECT_EQ(boss->error_text(), "");
  EXPECT_EQ(services_->settings.ReadText("Hotkey", "eboss"), "0");
  EXPECT_EQ(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Q'));
  click(panel, "bnboss");
  EXPECT_EQ(label(boss, "lbbossstate"), "老板键已关闭");
  click(boss, "openbale");
  type(boss, {VK_SHIFT, 'B'});
  click(boss, "bnok");
  EXPECT_FALSE(IsWindowVisible(boss_hwnd));
  EXPECT_EQ(services_->settings.ReadText("Hotkey", "eboss"), "1");
  EXPECT_EQ(services_->settings.ReadText("Hotkey", "boss"), "SHIFT+B");
  ASSERT_NE(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  EXPECT_EQ(hotkeys_->Find(hwnd(), kBossHotkeyId)->vk, 'B');
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Q'));  // the old combination is free again
  EXPECT_EQ(notifier.sent().size(), 1u);        // the start-up's report came once
}

// A settings file that came up with one combination for both keys: the capture key has it, and
// the boss key is reported instead of silently taking screenshots.
TEST_F(FrameHotkeysTest, BothKeysOnOneCombinationLeaveTheBossKeyUnbound) {
  RecordingNotifier& notifier = RecordingNotifier::Install();
  WriteSetting("Hotkey", "cap", "CTRL+K");
  WriteSetting("Hotkey", "boss", "CTRL+K");
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  ASSERT_NE(hotkeys_->Find(hwnd(), kCaptureHotkeyId), nullptr);
  EXPECT_EQ(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  ASSERT_EQ(notifier.sent().size(), 1u);
  EXPECT_NE(notifier.sent()[0].body.find("老板键 CTRL+K：该快捷键与截图热键相同"), std::string::npos);

  // Swapping the two keys in one change works although each takes the other's combination.
  auto change = std::make_unique<HotkeyChange>();
  change->entries = {{MOD_CONTROL, 'J', kCaptureHotkeyId}, {MOD_CONTROL, 'K', kBossHotkeyId}};
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0, std::move(change)));
  loop_->Pump();
  ASSERT_NE(hotkeys_->Find(hwnd(), kBossHotkeyId), nullptr);
  change = std::make_unique<HotkeyChange>();
  change->entries = {{MOD_CONTROL, 'K', kCaptureHotkeyId}, {MOD_CONTROL, 'J', kBossHotkeyId}};
  ASSERT_TRUE(PostMessage(hwnd(), kMsgHotkeyChanged, 0, std::move(change)));
  loop_->Pump();
  EXPECT_EQ(hotkeys_->Find(hwnd(), kCaptureHotkeyId)->vk, 'K');
  EXPECT_EQ(hotkeys_->Find(hwnd(), kBossHotkeyId)->vk, 'J');
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
