// The More panel against the simulator: made hidden below "bnmore", shown and hidden by it, by the
// mouse leaving and by a click on the frame; its tool windows made once and shown again (the
// settings reloaded on their first page, also through message 1049 from the tray menu); the
// alarm list asked for with the panel's rectangle; the feedback page of the account; the boss key
// hiding it all; and the hotkeys saved in the settings window re-registered by the frame.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_messages.h"
#include "frame/more_ui.h"
#include "frame_fixture.h"
#include "platform/shell.h"
#include "tools/boss_set_ui.h"
#include "tools/flash_repair_ui.h"
#include "tools/repair_tool.h"
#include "tools/system_set_ui.h"
#include "tools/tray_menu.h"
#include "tools/window_test_support.h"

namespace qrv::testing {
namespace {

class MorePanelTest : public FrameFixture {
 protected:
  CMoreUI* OpenFrameWithPanel() {
    LogIn();
    if (OpenFrame() == nullptr) return nullptr;
    return frame_->more_panel();
  }
  void ClickOn(CSkinnedWindow* window, const std::string& name) {
    ClickNamed(window->GetHWND(), window->paint_manager(), name);
    Settle();
  }
  static void Keys(HWND hwnd, const std::vector<std::pair<UINT, unsigned>>& keys) {
    for (const auto& [msg, vk] : keys) SendMessage(hwnd, msg, vk, 0);
  }
  // The centre of the work area, where every tool window opens.
  void ExpectCentred(HWND hwnd) {
    const RECT rect = windows_->WindowRect(hwnd);
    const RECT work = windows_->WorkArea();
    EXPECT_EQ(rect.left, work.left + (work.Width() - rect.Width()) / 2);
    EXPECT_EQ(rect.top, work.top + (work.Height() - rect.Height()) / 2);
  }
};

TEST_F(MorePanelTest, MadeHiddenBelowTheMoreButtonItComesAndGoes) {
  CMoreUI* panel = OpenFrameWithPanel();
  ASSERT_NE(panel, nullptr);
  const HWND hwnd = panel->GetHWND();
  EXPECT_EQ(panel->GetWindowClassName(), "UIMore");
  EXPECT_EQ(windows_->Title(hwnd), "更多选项");
  EXPECT_EQ(windows_->Parent(hwnd), this->hwnd());
  EXPECT_EQ(windows_->Style(hwnd) & WS_CAPTION, 0u);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  // Its hidden browser view takes no room.
  ASSERT_NE(panel->hidden_view().GetHWND(), nullptr);
  EXPECT_EQ(windows_->WindowRect(panel->hidden_view().GetHWND()).Width(), 0);

  Click("bnmore");
  EXPECT_TRUE(IsWindowVisible(hwnd));
  const RECT frame = GetWindowRect(this->hwnd());
  const RECT button = Find("bnmore")->GetPos();
  const RECT rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect.left, frame.left + button.left);
  EXPECT_EQ(rect.top, frame.top + button.top + 43);
  EXPECT_EQ(rect.Width(), 150);
  EXPECT_EQ(rect.Height(), 212);
  panel->paint_manager().UpdateLayout();
  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  EXPECT_TRUE(panel->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/more-panel.png"));
  Click("bnmore");
  EXPECT_FALSE(IsWindowVisible(hwnd));

  // Wherever the frame went, the panel opens below the button.
  SetWindowPos(this->hwnd(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Click("bnmore");
  EXPECT_EQ(windows_->WindowRect(hwnd).left, 40 + button.left);
  EXPECT_EQ(windows_->WindowRect(hwnd).top, 30 + button.top + 43);
  SendMessage(hwnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  Click("bnmore");
  ASSERT_TRUE(IsWindowVisible(hwnd));
  // A click anywhere on the frame hides it.
  SendMessage(this->hwnd(), WM_LBUTTONDOWN, 1, PointParam(POINT{500, 400}));
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(MorePanelTest, ToolWindowsAreMadeOnceCentredAndShownAgainAfterTheirResets) {
  CMoreUI* panel = OpenFrameWithPanel();
  ASSERT_NE(panel, nullptr);
  Click("bnmore");

  ClickOn(panel, "bnset");
  CSystemSetUI* settings = panel->settings_window();
  ASSERT_NE(settings, nullptr);
  const HWND settings_hwnd = settings->GetHWND();
  EXPECT_TRUE(IsWindowVisible(settings_hwnd));
  EXPECT_EQ(windows_->Parent(settings_hwnd), hwnd());
  EXPECT_EQ(windows_->Title(settings_hwnd), "");
  ExpectCentred(settings_hwnd);
  settings->paint_manager().UpdateLayout();
  ClickOn(settings, "bnrj");
  ClickOn(settings, "bnclose");
  WriteSetting("Runset", "showtop", "0");
  // The second click shows the same window, reloaded, on its first page.
  ClickOn(panel, "bnset");
  EXPECT_EQ(panel->settings_window(), settings);
  EXPECT_TRUE(IsWindowVisible(settings_hwnd));
  EXPECT_EQ(settings->CurrentPage(), CSystemSetUI::kGeneralPage);
  EXPECT_FALSE(settings->boss_field()->IsVisible());
  EXPECT_FALSE(static_cast<COptionUI*>(settings->paint_manager().FindControl("opshowtop"))->IsSelected());
  // The tray menu's settings entry reaches the same window through the panel.
  settings->ShowWindow(false);
  ASSERT_TRUE(PostMessage(panel->GetHWND(), kMsgOpenSettings));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(settings_hwnd));
  EXPECT_EQ(panel->settings_window(), settings);

  ClickOn(panel, "bnboss");
  CBossSetUI* boss = panel->boss_window();
  ASSERT_NE(boss, nullptr);
  EXPECT_TRUE(IsWindowVisible(boss->GetHWND()));
  ExpectCentred(boss->GetHWND());
  boss->ShowWindow(false);
  ClickOn(panel, "bnboss");
  EXPECT_EQ(panel->boss_window(), boss);
  EXPECT_TRUE(IsWindowVisible(boss->GetHWND()));

  // The flash repair is reset on a later click only when no run goes on.
  ClickOn(panel, "bnflashrepair");
  CFlashRepairUI* flash = panel->flash_window();
  ASSERT_NE(flash, nullptr);
  flash->paint_manager().UpdateLayout();
  ClickOn(flash, "bnok");
  loop_->Advance(30);
  ClickOn(flash, "bnblack");
  ClickOn(panel, "bnflashrepair");
  EXPECT_EQ(panel->flash_window(), flash);
  EXPECT_EQ(flash->steps(), 15);
  loop_->Advance(200);
  EXPECT_EQ(flash->steps(), 0);

  // The panel's cache cleaner is its own, apart from the frame's.
  ClickOn(panel, "bnclear");
  CRepairTool* cleaner = panel->cleaner_window();
  ASSERT_NE(cleaner, nullptr);
  ExpectCentred(cleaner->GetHWND());
  Click("clearcache");
  ASSERT_NE(frame_->cache_cleaner(), nullptr);
  EXPECT_NE(frame_->cache_cleaner(), cleaner);
  EXPECT_EQ(windows_->Title(frame_->cache_cleaner()->GetHWND()), "玄岚城GM为您服务");
  const RECT button = Find("clearcache")->GetPos();
  const RECT frame_rect = GetWindowRect(hwnd());
  EXPECT_EQ(windows_->WindowRect(frame_->cache_cleaner()->GetHWND()).left,
            frame_rect.left + button.left - 164);
  EXPECT_EQ(windows_->WindowRect(frame_->cache_cleaner()->GetHWND()).top, frame_rect.top + button.bottom);
  // "clearcache" again hides the frame's cleaner, and once more shows it.
  Click("clearcache");
  EXPECT_FALSE(IsWindowVisible(frame_->cache_cleaner()->GetHWND()));
  Click("clearcache");
  EXPECT_TRUE(IsWindowVisible(frame_->cache_cleaner()->GetHWND()));
}

TEST_F(MorePanelTest, TheBossKeyHidesThePanelAndEveryWindowItOpenedForGood) {
  CMoreUI* panel = OpenFrameWithPanel();
  ASSERT_NE(panel, nullptr);
  Click("clearcache");
  Click("bnmore");
  for (const char* name : {"bnset", "bnboss", "bnflashrepair", "bnclear"}) ClickOn(panel, name);
  const std::vector<HWND> windows = {panel->GetHWND(),
                                     panel->settings_window()->GetHWND(),
                                     panel->boss_window()->GetHWND(),
                                     panel->flash_window()->GetHWND(),
                                     panel->cleaner_window()->GetHWND(),
                                     frame_->cache_cleaner()->GetHWND()};
  for (HWND window : windows) ASSERT_TRUE(IsWindowVisible(window));

  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  for (HWND window : windows) EXPECT_FALSE(IsWindowVisible(window));
  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  for (HWND window : windows) EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(MorePanelTest, TheAlarmListIsAskedForWithThePanelsRectangleAndFeedbackNamesTheAccount) {
  RecordingFrame owner(RECT{0, 0, 1000, 700});
  std::vector<RECT> asked;
  owner.on_message = [&](UINT msg, WPARAM, LPARAM lparam) {
    if (msg != kMsgOpenAlarmList) return;
    auto rect = TakePayload<RECT>(lparam);
    ASSERT_NE(rect, nullptr);
    asked.push_back(*rect);
  };
  auto* panel = new CMoreUI(MorePanelDeps{*services_, {}, {}});
  panel->SetAccount("玄岚 侠客/1");
  ASSERT_NE(panel->Create(owner.hwnd(), CMoreUI::kTitle, kPopupStyle, 0, 620, 93, 0, 0), nullptr);
  panel->paint_manager().UpdateLayout();
  ClickNamed(panel->GetHWND(), panel->paint_manager(), "bnclock");
  EXPECT_TRUE(asked.empty());  // posted
  loop_->Pump();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], (RECT{620, 93, 770, 305}));

  std::vector<std::string> opened;
  ScopedBrowserOpener opener([&](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  ClickOn(panel, "bnfeedback");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "http://" + sim_->host() + "/boxfeedback/type/argee/u/" +
                           "%E7%8E%84%E5%B2%9A%20%E4%BE%A0%E5%AE%A2%2F1/");
  EXPECT_TRUE(panel->hidden_view().navigations().empty());  // the view itself shows nothing

  // A panel without a parent asks nobody for the alarm list.
  auto* orphan = new CMoreUI(MorePanelDeps{*services_, {}, {}});
  ASSERT_NE(orphan->Create(nullptr, CMoreUI::kTitle, kPopupStyle, 0, 0, 0, 0, 0), nullptr);
  orphan->paint_manager().UpdateLayout();
  ClickOn(orphan, "bnclock");
  loop_->Pump();
  EXPECT_EQ(asked.size(), 1u);
}

TEST_F(MorePanelTest, TheTrayMenusSettingsEntryOpensTheSettingsThroughThePanel) {
  CMoreUI* panel = OpenFrameWithPanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(tray_->Click(hwnd(), WM_RBUTTONUP));
  loop_->Pump();
  CTrayMenu* menu = nullptr;
  for (HWND window : AllWindows()) {
    if (auto* found = dynamic_cast<CTrayMenu*>(CWindowWnd::FromHandle(window))) menu = found;
  }
  ASSERT_NE(menu, nullptr);
  menu->paint_manager().UpdateLayout();
  ClickOn(menu, "menu_sysset");
  loop_->Pump();
  ASSERT_NE(panel->settings_window(), nullptr);
  EXPECT_TRUE(IsWindowVisible(panel->settings_window()->GetHWND()));
  EXPECT_EQ(CountWindowsOfClass("MenuTrayWnd"), 0);
}

TEST_F(MorePanelTest, HotkeysSavedInTheSettingsAreReRegisteredAndNoneIsNotRegisteredAtAll) {
  CMoreUI* panel = OpenFrameWithPanel();
  ASSERT_NE(panel, nullptr);
  panel->OpenSettings();
  CSystemSetUI* settings = panel->settings_window();
  ASSERT_NE(settings, nullptr);
  settings->paint_manager().UpdateLayout();
  ClickOn(settings, "bnrj");
  const HWND window = settings->GetHWND();
  Keys(window, {{WM_KEYDOWN, VK_CONTROL},
                {WM_KEYDOWN, VK_SHIFT},
                {WM_KEYDOWN, 'K'},
                {WM_KEYUP, 'K'},
                {WM_KEYUP, VK_SHIFT},
                {WM_KEYUP, VK_CONTROL}});
  settings->paint_manager().UpdateLayout();
  ClickControl(window, settings->paint_manager(), *settings->capture_field());
  Keys(window, {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYUP, VK_CONTROL}});
  ASSERT_EQ(settings->capture_field()->GetText(), "无");
  ClickOn(settings, "bnok");
  EXPECT_TRUE(StatSent("200011"));
  loop_->Pump();

  const auto* boss = hotkeys_->Find(hwnd(), 2);
  ASSERT_NE(boss, nullptr);
  EXPECT_EQ(boss->modifiers, MOD_CONTROL | MOD_SHIFT);
  EXPECT_EQ(boss->vk, 'K');
  // "无" leaves the screen capture without a hotkey rather than grabbing a key.
  EXPECT_EQ(hotkeys_->Find(hwnd(), 1), nullptr);
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'A'));
  EXPECT_FALSE(hotkeys_->Press(MOD_ALT, 'Q'));
  ASSERT_TRUE(hotkeys_->Press(MOD_CONTROL | MOD_SHIFT, 'K'));
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  ASSERT_TRUE(hotkeys_->Press(MOD_CONTROL | MOD_SHIFT, 'K'));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
}

}  // namespace
}  // namespace qrv::testing
