// The tray menu: placed from the cursor only when a system tray is there, a tool pop-up with a
// small round corner, rows selected under the mouse, and its three entries: show the frame, ask
// the More panel for the settings, and end the program without the exit question.

#include "tools/tray_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame_messages.h"
#include "platform/debug_sink.h"
#include "platform/process.h"
#include "platform/tray_headless.h"
#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

class TrayMenuTest : public testing::ToolsWindowFixture {
 protected:
  void SetUp() override {
    ToolsWindowFixture::SetUp();
    tray_ = &HeadlessTray::Install();
    windows_->set_cursor(POINT{500, 700});
    // Anything that asks the player a question (the exit question) is recorded and refused.
    windows_->SetModalResponder([this](HWND) {
      ++questions_;
      return IDCANCEL;
    });
    windows_->SetMessageBoxResponder([this](const std::string&, const std::string&) {
      ++questions_;
      return IDNO;
    });
  }

  // Opens a menu as the frame does on a right click, with a recorder of statistics events that
  // also notes how many messages the frame had received when each event went out.
  CTrayMenu* OpenMenu(HWND more_panel = nullptr) {
    CTrayMenu* menu = CTrayMenu::Open(frame_->hwnd(), more_panel, [this](std::string_view code) {
      stats_.push_back(std::string(code));
      frame_messages_at_stat_.push_back(frame_->received.size());
    });
    loop_->Pump();
    if (menu != nullptr) menu->paint_manager().UpdateLayout();
    return menu;
  }

  static CControlUI* Item(CTrayMenu* menu, const std::string& name) {
    return menu->paint_manager().FindControl(name);
  }
  static CListUI* ListOf(CTrayMenu* menu) {
    CControlUI* parent = Item(menu, "menu_show")->GetParent();
    return static_cast<CListUI*>(parent->GetInterface("List"));
  }
  static void MoveTo(CTrayMenu* menu, POINT pt) {
    SendMessage(menu->GetHWND(), WM_MOUSEMOVE, 0, testing::PointParam(pt));
  }

  HeadlessTray* tray_ = nullptr;
  int questions_ = 0;
  std::vector<std::string> stats_;
  std::vector<std::size_t> frame_messages_at_stat_;
};

TEST_F(TrayMenuTest, OpensAboveAndLeftOfTheCursorAsARoundedToolPopup) {
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  const HWND hwnd = menu->GetHWND();
  EXPECT_EQ(CWindowWnd::FromHandle(hwnd), menu);
  EXPECT_EQ(menu->GetWindowClassName(), "MenuTrayWnd");
  EXPECT_EQ(menu->GetClassStyle() & CS_DBLCLKS, 0u);

  const RECT rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect, (RECT{371, 600, 497, 705}));
  // Near a corner of the screen (a tray at the top left) the menu stays on the screen.
  const RECT screen{0, 0, 1600, 1000};
  EXPECT_EQ(CTrayMenu::RectAtCursor(POINT{1500, 990}, screen), (RECT{1371, 890, 1497, 995}));
  EXPECT_EQ(CTrayMenu::RectAtCursor(POINT{10, 20}, screen), (RECT{0, 0, 126, 105}));
  EXPECT_EQ(CTrayMenu::RectAtCursor(POINT{1599, 999}, screen), (RECT{1470, 895, 1596, 1000}));
  // At a host's anchor it opens as a context menu does: down and right of the point, turned up
  // or left where the screen ends.
  EXPECT_EQ(CTrayMenu::RectAtAnchor(POINT{400, 300}, screen), (RECT{400, 300, 526, 405}));
  EXPECT_EQ(CTrayMenu::RectAtAnchor(POINT{1590, 990}, screen), (RECT{1464, 885, 1590, 990}));
  EXPECT_EQ(CTrayMenu::RectAtAnchor(POINT{1590, 12}, screen), (RECT{1464, 12, 1590, 117}));
  EXPECT_EQ(CTrayMenu::RectAtAnchor(POINT{50, 60}, RECT{100, 0, 800, 600}), (RECT{100, 60, 226, 165}));

  const HeadlessWindows::State* state = windows_->StateOf(hwnd);
  ASSERT_NE(state, nullptr);
  EXPECT_NE(state->style & WS_POPUP, 0u);
  EXPECT_EQ(state->style & WS_CHILD, 0u);
  EXPECT_NE(state->params.ex_style & WS_EX_TOOLWINDOW, 0u);
  EXPECT_EQ(state->corner_width, 3);
  EXPECT_EQ(state->corner_height, 3);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(windows_->Focus(), hwnd);

  // Every entry the menu acts on is a row of one list, in the order the player sees them.
  CListUI* list = ListOf(menu);
  ASSERT_NE(list, nullptr);
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"menu_show", "显示主界面"}, {"menu_sysset", "系统设置"}, {"menu_exit", "退出游戏"}};
  ASSERT_EQ(list->GetCount(), 3);
  for (int i = 0; i < 3; ++i) {
    CControlUI* item = Item(menu, rows[i].first);
    ASSERT_NE(item, nullptr) << rows[i].first;
    EXPECT_EQ(list->GetItemAt(i), item);
    EXPECT_EQ(item->GetText(), rows[i].second);
    EXPECT_NE(item->GetInterface("ListItem"), nullptr);
    // The rows fill the menu, inside its border.
    const RECT pos = item->GetPos();
    EXPECT_GT(pos.Height(), 20);
    EXPECT_GE(pos.top, 0);
    EXPECT_LE(pos.bottom, CTrayMenu::kHeight);
  }
  SaveRendering(menu->paint_manager(), "tray_menu.png");
}

TEST_F(TrayMenuTest, AMenuAskedForAtAPointOpensThereInsideTheWorkArea) {
  // The work area ends 40 pixels above the screen's bottom (a panel): a menu asked for at the
  // bottom-right corner turns up and left and stays above the panel.
  windows_->set_work_area(RECT{0, 0, 1600, 960});
  CTrayMenu* menu = CTrayMenu::Open(frame_->hwnd(), nullptr, nullptr, POINT{1599, 999});
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(windows_->WindowRect(menu->GetHWND()), (RECT{1473, 855, 1599, 960}));
  menu->Close();
  loop_->Pump();
  menu = CTrayMenu::Open(frame_->hwnd(), nullptr, nullptr, POINT{400, 300});
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(windows_->WindowRect(menu->GetHWND()), (RECT{400, 300, 526, 405}));
}

TEST_F(TrayMenuTest, NoSystemTrayNoMenu) {
  tray_->set_taskbar_found(false);
  EXPECT_EQ(OpenMenu(), nullptr);
  EXPECT_EQ(testing::CountWindowsOfClass("MenuTrayWnd"), 0);

  tray_->set_taskbar_found(true);
  EXPECT_NE(OpenMenu(), nullptr);
  EXPECT_EQ(testing::CountWindowsOfClass("MenuTrayWnd"), 1);
}

TEST_F(TrayMenuTest, ExitReportsHasTheFrameTakeItsStepsAndEndsWithoutAQuestion) {
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  DebugCapture debug;
  ScopedExitHook exit_hook;
  int exit_code = 0;
  try {
    testing::ClickNamed(menu->GetHWND(), menu->paint_manager(), "menu_exit");
    ADD_FAILURE() << "the program did not end";
  } catch (const ProcessExit& exit) {
    exit_code = exit.code;
  }
  EXPECT_EQ(exit_code, -1);
  EXPECT_EQ(questions_, 0);
  ASSERT_EQ(stats_, std::vector<std::string>{"200012"});
  // The event goes out before the frame is asked for its exit steps, which it was, once.
  EXPECT_EQ(frame_messages_at_stat_.at(0), 0u);
  EXPECT_EQ(frame_->Count(kMsgExitSteps), 1);
  EXPECT_TRUE(debug.Contains("**************itemclick***************\r\n"));
}

TEST_F(TrayMenuTest, ShowFocusesAVisibleFrameAndCloses) {
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  const HWND hwnd = menu->GetHWND();
  testing::ClickNamed(hwnd, menu->paint_manager(), "menu_show");
  EXPECT_EQ(windows_->Focus(), frame_->hwnd());
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(testing::CountWindowsOfClass("MenuTrayWnd"), 0);
  EXPECT_TRUE(stats_.empty());
  EXPECT_EQ(frame_->Count(kMsgExitSteps), 0);
}

TEST_F(TrayMenuTest, ShowBringsBackAHiddenOrMinimisedFrame) {
  ShowWindow(frame_->hwnd(), SW_HIDE);
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  HWND hwnd = menu->GetHWND();
  testing::ClickNamed(hwnd, menu->paint_manager(), "menu_show");
  EXPECT_TRUE(IsWindowVisible(frame_->hwnd()));
  EXPECT_EQ(windows_->Focus(), frame_->hwnd());
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));

  ShowWindow(frame_->hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(windows_->IsMinimized(frame_->hwnd()));
  menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  hwnd = menu->GetHWND();
  testing::ClickNamed(hwnd, menu->paint_manager(), "menu_show");
  EXPECT_FALSE(windows_->IsMinimized(frame_->hwnd()));
  EXPECT_TRUE(IsWindowVisible(frame_->hwnd()));
  EXPECT_EQ(windows_->Focus(), frame_->hwnd());
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(TrayMenuTest, SettingsAsksTheMorePanelAndCloses) {
  testing::RecordingFrame more_panel(RECT{900, 60, 1050, 272});
  CTrayMenu* menu = OpenMenu(more_panel.hwnd());
  ASSERT_NE(menu, nullptr);
  const HWND hwnd = menu->GetHWND();
  testing::ClickNamed(hwnd, menu->paint_manager(), "menu_sysset");
  loop_->Pump();
  EXPECT_EQ(more_panel.Count(kMsgOpenSettings), 1);
  EXPECT_EQ(frame_->Count(kMsgOpenSettings), 0);
  EXPECT_FALSE(IsWindow(hwnd));

  // Without a More panel the entry only closes the menu.
  menu = OpenMenu(nullptr);
  ASSERT_NE(menu, nullptr);
  const HWND second = menu->GetHWND();
  testing::ClickNamed(second, menu->paint_manager(), "menu_sysset");
  loop_->Pump();
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(more_panel.Count(kMsgOpenSettings), 1);
  EXPECT_EQ(frame_->Count(kMsgOpenSettings), 0);
}

TEST_F(TrayMenuTest, ClosesWhenTheFocusGoesToAnotherWindowOnly) {
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  const HWND hwnd = menu->GetHWND();

  // Losing the focus to itself (as a window system may report while re-activating) keeps it.
  SendMessage(hwnd, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  loop_->Pump();
  ASSERT_TRUE(IsWindow(hwnd));

  windows_->SetFocus(frame_->hwnd());
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(testing::CountWindowsOfClass("MenuTrayWnd"), 0);
}

TEST_F(TrayMenuTest, MouseMoveSelectsTheRowUnderTheCursor) {
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  CListUI* list = ListOf(menu);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCurSel(), -1);

  MoveTo(menu, testing::CentreOf(*Item(menu, "menu_sysset")));
  EXPECT_EQ(list->GetCurSel(), 1);
  MoveTo(menu, testing::CentreOf(*Item(menu, "menu_exit")));
  EXPECT_EQ(list->GetCurSel(), 2);
  // The rows' edges count: the top-left pixel of the first row selects it.
  const RECT first = Item(menu, "menu_show")->GetPos();
  MoveTo(menu, POINT{first.left, first.top});
  EXPECT_EQ(list->GetCurSel(), 0);
  // Over the border, outside every row, the last row stays selected.
  MoveTo(menu, POINT{1, 1});
  EXPECT_EQ(list->GetCurSel(), 0);
  // Hovering is not choosing.
  EXPECT_TRUE(stats_.empty());
  EXPECT_TRUE(IsWindow(menu->GetHWND()));
}

TEST_F(TrayMenuTest, RoundCornerFollowsTheSizeButNotAMinimise) {
  CTrayMenu* menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  const HWND hwnd = menu->GetHWND();
  // Clear the clip as a back end would when the window is re-shaped, then resize.
  windows_->SetRoundCorners(hwnd, 0, 0);
  SendMessage(hwnd, WM_SIZE, 1, MAKELPARAM(0, 0));
  EXPECT_EQ(windows_->StateOf(hwnd)->corner_width, 0);
  SetWindowPos(hwnd, nullptr, 0, 0, 140, 120, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(windows_->StateOf(hwnd)->corner_width, 3);
  EXPECT_EQ(windows_->StateOf(hwnd)->corner_height, 3);
}

}  // namespace
}  // namespace qrv
