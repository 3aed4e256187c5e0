// The boss-key window: its field placed over the layout's frame with the focus, the keys the
// player presses turned into the field's text, saving the combination with the frame's re-register
// message and the event, and the enable switch that saves only itself.

#include "tools/boss_set_ui.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/frame_messages.h"
#include "platform/debug_sink.h"
#include "support/temp_dir.h"
#include "tools/hotkey_text.h"
#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

class BossSetTest : public testing::ToolsWindowFixture {
 protected:
  CBossSetUI* Open() {
    auto* window = new CBossSetUI(settings_, [this](std::string_view code) { stats_.emplace_back(code); });
    if (window->Create(frame_->hwnd(), "", kPopupStyle, 0, 300, 200, 0, 0) == nullptr) return nullptr;
    window->paint_manager().UpdateLayout();
    return window;
  }
  static void Press(HWND hwnd, unsigned vk) { SendMessage(hwnd, WM_KEYDOWN, vk, 0); }
  static void Release(HWND hwnd, unsigned vk) { SendMessage(hwnd, WM_KEYUP, vk, 1u << 31); }
  void SetUp() override {
    ToolsWindowFixture::SetUp();
    // The frame binds what it is asked to and answers.
    frame_->on_message = [this](UINT msg, WPARAM, LPARAM lparam) {
      if (msg != kMsgHotkeyChanged) return;
      auto change = TakePayload<HotkeyChange>(lparam);
      ASSERT_NE(change, nullptr);
      for (const HotkeyTableEntry& entry : change->entries) posts_.push_back(entry);
      switches_.push_back(change->boss_enabled);
      auto answer = std::make_unique<HotkeyAnswer>();
      answer->serial = change->serial;
      answer->accepted = true;
      PostMessage(change->reply_to, kMsgHotkeyAnswer, 0, std::move(answer));
    };
  }
  const std::vector<HotkeyTableEntry>& HotkeyPosts() const { return posts_; }

  test::TempDir dir_;
  SettingsFile settings_{dir_.File("systemset.ini")};
  std::vector<std::string> stats_;
  std::vector<HotkeyTableEntry> posts_;
  std::vector<std::optional<bool>> switches_;
};

TEST_F(BossSetTest, FieldLiesOverItsFrameWithTheStoredKeyAndTheFocus) {
  settings_.WriteText("Hotkey", "boss", "ctrl+b");
  CBossSetUI* window = Open();
  ASSERT_NE(window, nullptr);
  const HWND hwnd = window->GetHWND();
  EXPECT_EQ(window->GetWindowClassName(), "UIBossSet");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  EXPECT_EQ(windows_->Style(hwnd) & WS_CAPTION, 0u);
  CEditEx* field = window->field();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->GetPos(), (RECT{125, 98, 300, 113}));
  EXPECT_EQ(window->paint_manager().GetFocus(), field);
  EXPECT_EQ(field->GetText(), "CTRL+B");  // always shown upper case
  auto* enabled = static_cast<COptionUI*>(window->paint_manager().FindControl("openbale"));
  ASSERT_NE(enabled, nullptr);
  EXPECT_TRUE(enabled->IsSelected());
  EXPECT_TRUE(field->IsEnabled());

  // A press in the band above the field drags the window; below it, it does not.
  SendMessage(hwnd, WM_LBUTTONDOWN, 1, testing::PointParam(POINT{100, 20}));
  loop_->Pump();
  EXPECT_EQ(windows_->move_drags(), 1);
  SendMessage(hwnd, WM_LBUTTONDOWN, 1, testing::PointParam(POINT{310, 20}));
  loop_->Pump();
  EXPECT_EQ(windows_->move_drags(), 1);
}

TEST_F(BossSetTest, PressedKeysBecomeTheFieldsTextAndSavingReRegistersTheBossKey) {
  CBossSetUI* window = Open();
  ASSERT_NE(window, nullptr);
  const HWND hwnd = window->GetHWND();
  CEditEx* field = window->field();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->GetText(), "ALT+Q");  // nothing stored yet

  DebugCapture debug;
  Press(hwnd, VK_CONTROL);
  EXPECT_EQ(field->GetText(), "CTRL+");
  Press(hwnd, VK_SHIFT);
  Press(hwnd, 'K');
  // Typed characters and a paste (Ctrl+V arrives as character 22) never reach the field.
  SendMessage(hwnd, WM_CHAR, 'k', 0);
  SendMessage(hwnd, WM_CHAR, 22, 0);
  Release(hwnd, 'K');
  Release(hwnd, VK_SHIFT);
  Release(hwnd, VK_CONTROL);
  EXPECT_EQ(field->GetText(), "CTRL+SHIFT+K");
  EXPECT_TRUE(debug.Contains("------------------256------------------\r\n"));
  EXPECT_TRUE(debug.Contains("------------------257------------------\r\n"));

  testing::ClickNamed(hwnd, window->paint_manager(), "bnok");
  // Posted, not sent; nothing is written before the frame answers.
  EXPECT_TRUE(HotkeyPosts().empty());
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "");
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "CTRL+SHIFT+K");
  EXPECT_EQ(settings_.ReadText("Hotkey", "eboss"), "1");
  EXPECT_EQ(stats_, (std::vector<std::string>{"200011"}));
  const auto& posts = HotkeyPosts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].modifiers, MOD_CONTROL | MOD_SHIFT);
  EXPECT_EQ(posts[0].key, 'K');
  EXPECT_EQ(posts[0].id, kBossHotkeyId);

  // Shown again, the window keeps what was pressed last, and "bnclose" saves nothing.
  window->ShowWindow(true);
  // Ctrl goes down in the field, which loses the keyboard (the switch turns it off and on again)
  // before Ctrl comes up: Ctrl counts as released, so the next letter makes no Ctrl combination.
  testing::ClickControl(hwnd, window->paint_manager(), *field);
  Press(hwnd, VK_CONTROL);
  testing::ClickNamed(hwnd, window->paint_manager(), "openbale");
  testing::ClickNamed(hwnd, window->paint_manager(), "openbale");
  EXPECT_FALSE(field->capture().control_held());
  testing::ClickControl(hwnd, window->paint_manager(), *field);
  Press(hwnd, 'W');
  Release(hwnd, 'W');
  EXPECT_EQ(field->GetText(), "ALT+W");
  testing::ClickNamed(hwnd, window->paint_manager(), "bnclose");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  loop_->Pump();
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "CTRL+SHIFT+K");
  EXPECT_EQ(HotkeyPosts().size(), 1u);
}

TEST_F(BossSetTest, ClearingTheSwitchDisablesTheFieldAndSavesOnlyTheSwitch) {
  settings_.WriteText("Hotkey", "boss", "SHIFT+B");
  CBossSetUI* window = Open();
  ASSERT_NE(window, nullptr);
  const HWND hwnd = window->GetHWND();
  CEditEx* field = window->field();
  ASSERT_NE(field, nullptr);

  testing::ClickNamed(hwnd, window->paint_manager(), "openbale");
  EXPECT_FALSE(field->IsEnabled());
  EXPECT_NE(window->paint_manager().GetFocus(), field);
  // A disabled field takes no keys.
  Press(hwnd, 'Z');
  Release(hwnd, 'Z');
  EXPECT_EQ(field->GetText(), "SHIFT+B");
  SaveRendering(window->paint_manager(), "boss-key-disabled.png");

  testing::ClickNamed(hwnd, window->paint_manager(), "bnok");
  loop_->Pump();
  EXPECT_EQ(settings_.ReadText("Hotkey", "eboss"), "0");
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "SHIFT+B");
  // The frame hears only that the boss key is off, so that it lets go of the combination.
  EXPECT_TRUE(HotkeyPosts().empty());
  EXPECT_EQ(switches_, (std::vector<std::optional<bool>>{false}));
  EXPECT_EQ(stats_, (std::vector<std::string>{"200011"}));

  // The next window reads the switch as saved; selecting it again enables the field.
  DestroyWindow(hwnd);
  CBossSetUI* again = Open();
  ASSERT_NE(again, nullptr);
  auto* enabled = static_cast<COptionUI*>(again->paint_manager().FindControl("openbale"));
  EXPECT_FALSE(enabled->IsSelected());
  EXPECT_FALSE(again->field()->IsEnabled());
  testing::ClickNamed(again->GetHWND(), again->paint_manager(), "openbale");
  EXPECT_TRUE(again->field()->IsEnabled());
  SaveRendering(again->paint_manager(), "boss-key.png");
}

}  // namespace
}  // namespace qrv
