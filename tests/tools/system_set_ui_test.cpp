// The settings window: what each page shows from the settings file, the pairs of which exactly
// one option stays selected, saving only the page shown (the autostart entry and "showtop" at
// once for the general page; both hotkeys with two re-register messages and the event for the
// hotkey page), and the window shown again on its first page.

#include "tools/system_set_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/frame_messages.h"
#include "support/temp_dir.h"
#include "tools/hotkey_text.h"
#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

class SystemSetTest : public testing::ToolsWindowFixture {
 protected:
  void SetUp() override {
    ToolsWindowFixture::SetUp();
    windows_->set_work_area(RECT{0, 0, 1600, 1000});
    // The frame binds what it is asked to, or refuses the boss key as another program's.
    frame_->on_message = [this](UINT msg, WPARAM, LPARAM lparam) {
      if (msg != kMsgHotkeyChanged) return;
      auto change = TakePayload<HotkeyChange>(lparam);
      ASSERT_NE(change, nullptr);
      for (const HotkeyTableEntry& entry : change->entries) posts_.push_back(entry);
      auto answer = std::make_unique<HotkeyAnswer>();
      answer->serial = change->serial;
      answer->accepted = !refuse_boss_;
      if (refuse_boss_) {
        answer->refused_id = kBossHotkeyId;
        answer->refusal = HotkeyRefusal::kHeldElsewhere;
      }
      // The old keys, still in force.
      for (const auto& [id, key] : {std::pair{kCaptureHotkeyId, 'A'}, std::pair{kBossHotkeyId, 'Q'}}) {
        HotkeyInForce in_force;
        in_force.id = id;
        in_force.hotkey = Hotkey{MOD_ALT, static_cast<std::uint16_t>(key)};
        in_force.bound = true;
        answer->in_force.push_back(in_force);
      }
      PostMessage(change->reply_to, kMsgHotkeyAnswer, 0, std::move(answer));
    };
  }

  CSystemSetUI* Open(POINT at = POINT{200, 100}) {
    auto* window = new CSystemSetUI(
        SystemSetDeps{settings_, [this](std::string_view code) { stats_.emplace_back(code); },
                      LaunchEntry{autostart_entry(), "/opt/玄岚城/zelto_qrv", "/opt/玄岚城/"}, {}});
    if (window->Create(frame_->hwnd(), "", kPopupStyle, 0, at.x, at.y, 0, 0) == nullptr) return nullptr;
    window_ = window;
    pm().UpdateLayout();
    return window;
  }
  CPaintManagerUI& pm() { return window_->paint_manager(); }
  COptionUI* Option(const std::string& name) { return static_cast<COptionUI*>(pm().FindControl(name)); }
  bool Selected(const std::string& name) { return Option(name)->IsSelected(); }
  void Click(const std::string& name) { testing::ClickNamed(window_->GetHWND(), pm(), name); }
  void Keys(const std::vector<std::pair<UINT, unsigned>>& keys) {
    for (const auto& [msg, vk] : keys) SendMessage(window_->GetHWND(), msg, vk, 0);
  }
  std::string autostart_dir() const { return dir_.File("autostart"); }
  std::string autostart_entry() const { return autostart_dir() + "/KRAVO.desktop"; }
  bool FrameTopmost() const { return windows_->IsTopmost(frame_->hwnd()); }

  test::TempDir dir_;
  SettingsFile settings_{dir_.File("systemset.ini")};
  std::vector<std::string> stats_;
  std::vector<HotkeyTableEntry> posts_;
  bool refuse_boss_ = false;
  CSystemSetUI* window_ = nullptr;
};

TEST_F(SystemSetTest, WithoutRunsetEveryGeneralOptionIsOnAndAutoLoginWaitsForARememberedPassword) {
  settings_.WriteText("Runset", "autologin", "0");
  ASSERT_NE(Open(POINT{1500, 100}), nullptr);
  const HWND hwnd = window_->GetHWND();
  EXPECT_EQ(window_->GetWindowClassName(), "UIClockList");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  // Made past the work area's right edge, it moves left to end 50 pixels inside it.
  const RECT rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect.right, 1600 - 50);
  EXPECT_EQ(rect.Width(), 480);
  EXPECT_EQ(rect.top, 100);

  EXPECT_EQ(window_->CurrentPage(), CSystemSetUI::kGeneralPage);
  EXPECT_TRUE(Selected("opautorun"));
  EXPECT_TRUE(Selected("opshowtop"));
  EXPECT_TRUE(Selected("opminsize"));
  EXPECT_FALSE(Selected("opexit"));
  // No remembered password ("update"/"note" 0): shown disabled, selected as stored.
  EXPECT_FALSE(Option("opautologin")->IsEnabled());
  EXPECT_FALSE(Selected("opautologin"));
  SaveRendering(pm(), "settings-general.png");

  // Once a password is remembered the option can be used again.
  settings_.WriteText("update", "note", "1");
  settings_.WriteText("Runset", "autologin", "1");
  settings_.WriteText("Runset", "exit", "2");
  window_->Reopen();
  EXPECT_TRUE(Option("opautologin")->IsEnabled());
  EXPECT_TRUE(Selected("opautologin"));
  EXPECT_TRUE(Selected("opexit"));
  EXPECT_FALSE(Selected("opminsize"));
  // An exit value the window does not know leaves the pair as it is.
  settings_.WriteText("Runset", "exit", "7");
  window_->Reopen();
  EXPECT_TRUE(Selected("opexit"));
  EXPECT_FALSE(Selected("opminsize"));
}

TEST_F(SystemSetTest, OfEachPairExactlyOneStaysSelected) {
  ASSERT_NE(Open(), nullptr);
  ASSERT_TRUE(Selected("opminsize"));
  // Clearing "opminsize" while "opexit" is clear leaves it selected.
  Click("opminsize");
  EXPECT_TRUE(Selected("opminsize"));
  EXPECT_FALSE(Selected("opexit"));
  Click("opexit");
  EXPECT_TRUE(Selected("opexit"));
  EXPECT_FALSE(Selected("opminsize"));
  Click("opexit");
  EXPECT_TRUE(Selected("opexit"));
  Click("opminsize");
  EXPECT_TRUE(Selected("opminsize"));
  EXPECT_FALSE(Selected("opexit"));

  settings_.WriteText("Update", "type", "2");
  Click("bngx");
  EXPECT_EQ(window_->CurrentPage(), CSystemSetUI::kUpdatePage);
  EXPECT_TRUE(Selected("tishigengxin"));
  EXPECT_FALSE(Selected("zidonggengxin"));
  Click("tishigengxin");
  EXPECT_TRUE(Selected("tishigengxin"));
  Click("zidonggengxin");
  EXPECT_TRUE(Selected("zidonggengxin"));
  EXPECT_FALSE(Selected("tishigengxin"));
  SaveRendering(pm(), "settings-updates.png");
}

TEST_F(SystemSetTest, TheGeneralPageSavesOnlyRunsetAndTheAutostartEntryAndShowTopAtOnce) {
  settings_.WriteText("Hotkey", "boss", "CTRL+B");
  ASSERT_NE(Open(), nullptr);
  const HWND hwnd = window_->GetHWND();
  SetWindowPos(frame_->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  // "bnapp" saves the page and keeps the window open.
  Click("bnapp");
  EXPECT_TRUE(IsWindowVisible(hwnd));
  ASSERT_TRUE(std::filesystem::exists(autostart_entry()));
  EXPECT_EQ(settings_.ReadText("Runset", "autorun"), "1");

  Click("opautorun");
  Click("opshowtop");
  Click("opexit");
  Click("bncancle");  // nothing saved
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(std::filesystem::exists(autostart_entry()));
  EXPECT_TRUE(FrameTopmost());
  EXPECT_EQ(settings_.ReadText("Runset", "exit"), "1");

  window_->ShowWindow(true);
  Click("bnok");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(std::filesystem::exists(autostart_entry()));
  EXPECT_FALSE(FrameTopmost());
  EXPECT_EQ(settings_.ReadText("Runset", "autorun"), "0");
  EXPECT_EQ(settings_.ReadText("Runset", "autologin"), "1");
  EXPECT_EQ(settings_.ReadText("Runset", "showtop"), "0");
  EXPECT_EQ(settings_.ReadText("Runset", "exit"), "2");
  // Nothing of the other pages.
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "CTRL+B");
  EXPECT_EQ(settings_.ReadText("Hotkey", "cap"), "");
  EXPECT_EQ(settings_.ReadText("Update", "type"), "");
  loop_->Pump();
  EXPECT_TRUE(posts_.empty());
  EXPECT_TRUE(stats_.empty());

  window_->ShowWindow(true);
  Click("opshowtop");
  Click("bnapp");
  EXPECT_TRUE(FrameTopmost());
  EXPECT_EQ(settings_.ReadText("Runset", "showtop"), "1");
}

TEST_F(SystemSetTest, TheHotkeyPageCapturesBothKeysAndSavesThemWithTwoReRegisterMessages) {
  settings_.WriteText("Runset", "exit", "2");
  ASSERT_NE(Open(), nullptr);
  const HWND hwnd = window_->GetHWND();
  EXPECT_EQ(window_->boss_field(), nullptr);  // made when the page is first shown
  Click("bnrj");
  EXPECT_EQ(window_->CurrentPage(), CSystemSetUI::kHotkeyPage);
  CEditEx* capture = window_->capture_field();
  CEditEx* boss = window_->boss_field();
  ASSERT_NE(capture, nullptr);
  ASSERT_NE(boss, nullptr);
  pm().UpdateLayout();
  EXPECT_EQ(capture->GetPos(), (RECT{263, 86, 438, 101}));
  EXPECT_EQ(boss->GetPos(), (RECT{263, 162, 438, 177}));
  EXPECT_TRUE(capture->IsVisible());
  EXPECT_EQ(pm().GetFocus(), boss);
  EXPECT_EQ(capture->GetText(), "ALT+A");
  EXPECT_EQ(boss->GetText(), "ALT+Q");

  // The keys go to the field with the focus.
  Keys({{WM_KEYDOWN, VK_CONTROL},
        {WM_KEYDOWN, VK_SHIFT},
        {WM_KEYDOWN, 'K'},
        {WM_KEYUP, 'K'},
        {WM_KEYUP, VK_SHIFT},
        {WM_KEYUP, VK_CONTROL}});
  EXPECT_EQ(boss->GetText(), "CTRL+SHIFT+K");
  testing::ClickControl(hwnd, pm(), *capture);
  EXPECT_EQ(pm().GetFocus(), capture);
  // Tab is a key like any other here: it does not move the focus to the other field.
  Keys({{WM_KEYDOWN, VK_TAB}, {WM_KEYUP, VK_TAB}});
  EXPECT_EQ(pm().GetFocus(), capture);
  EXPECT_EQ(capture->GetText(), std::string(kNoHotkeyText));
  Keys({{WM_KEYDOWN, 'S'}, {WM_KEYUP, 'S'}});
  EXPECT_EQ(capture->GetText(), "ALT+S");
  EXPECT_EQ(boss->GetText(), "CTRL+SHIFT+K");
  SaveRendering(pm(), "settings-hotkeys.png");

  // Another program holds the new boss key: the window stays, says so, and writes nothing.
  refuse_boss_ = true;
  Click("bnok");
  EXPECT_TRUE(window_->waiting());
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(window_->error_text(), "老板键：该快捷键已被其他程序占用");
  EXPECT_EQ(settings_.ReadText("Hotkey", "cap"), "");
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "");
  EXPECT_TRUE(stats_.empty());
  EXPECT_EQ(static_cast<CLabelUI*>(pm().FindControl("lbbossstate"))->GetText(), "当前生效：ALT+Q");
  posts_.clear();

  refuse_boss_ = false;
  Click("bnok");
  EXPECT_TRUE(IsWindowVisible(hwnd));  // until the frame has the keys in force
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "");
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(window_->error_text(), "");
  EXPECT_EQ(settings_.ReadText("Hotkey", "cap"), "ALT+S");
  EXPECT_EQ(settings_.ReadText("Hotkey", "boss"), "CTRL+SHIFT+K");
  EXPECT_EQ(settings_.ReadText("Runset", "autorun"), "");  // the general page is not saved
  EXPECT_EQ(settings_.ReadText("Runset", "exit"), "2");
  EXPECT_FALSE(std::filesystem::exists(autostart_entry()));
  EXPECT_EQ(stats_, (std::vector<std::string>{"200011"}));
  ASSERT_EQ(posts_.size(), 2u);
  EXPECT_EQ(posts_[0].id, kCaptureHotkeyId);
  EXPECT_EQ(posts_[0].modifiers, MOD_ALT);
  EXPECT_EQ(posts_[0].key, 'S');
  EXPECT_EQ(posts_[1].id, kBossHotkeyId);
  EXPECT_EQ(posts_[1].modifiers, MOD_CONTROL | MOD_SHIFT);
  EXPECT_EQ(posts_[1].key, 'K');
}

TEST_F(SystemSetTest, ShownAgainItIsReloadedOnTheFirstPageWithTheHotkeyFieldsHidden) {
  ASSERT_NE(Open(), nullptr);
  const HWND hwnd = window_->GetHWND();
  Click("opautorun");  // not saved
  Click("bnrj");
  ASSERT_NE(window_->boss_field(), nullptr);
  Keys({{WM_KEYDOWN, 'P'}, {WM_KEYUP, 'P'}});
  Click("bnclose");
  EXPECT_FALSE(IsWindowVisible(hwnd));

  window_->Reopen();
  window_->ShowWindow(true);
  EXPECT_EQ(window_->CurrentPage(), CSystemSetUI::kGeneralPage);
  EXPECT_TRUE(Selected("opautorun"));
  EXPECT_FALSE(window_->boss_field()->IsVisible());
  EXPECT_FALSE(window_->capture_field()->IsVisible());
  // Without a field to take them, keys to the window go nowhere.
  Keys({{WM_KEYDOWN, 'Q'}, {WM_KEYUP, 'Q'}});
  EXPECT_EQ(window_->boss_field()->GetText(), "ALT+P");

  // The hotkey page reads the file again: what was pressed and not saved is gone.
  Click("bnrj");
  EXPECT_EQ(window_->boss_field()->GetText(), "ALT+Q");
  Click("bncg");
  EXPECT_EQ(window_->CurrentPage(), CSystemSetUI::kGeneralPage);
  EXPECT_FALSE(window_->boss_field()->IsVisible());
}

}  // namespace
}  // namespace qrv
