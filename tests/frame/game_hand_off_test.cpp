// From the login window to the main frame: there is only ever one main frame. The list the login
// window opened closes when the frame opens, and a choice made once the frame exists switches its
// server instead of opening another.

#include "frame/game_hand_off.h"

#include "frame_fixture.h"
#include "servers/server_list_ui.h"

namespace qrv::testing {
namespace {

class GameHandOffTest : public FrameFixture {
 protected:
  std::size_t Frames() const { return CountWindowsOfClass("UIMainFrame"); }
  static std::size_t CountWindowsOfClass(const std::string& cls) {
    std::size_t count = 0;
    for (HWND hwnd : AllWindows()) {
      CWindowWnd* window = CWindowWnd::FromHandle(hwnd);
      if (window != nullptr && window->GetWindowClassName() == cls) ++count;
    }
    return count;
  }
  // Chooses the server whose button is `button` in the list as the player would.
  void ChooseInList(GameHandOff& hand_off, const std::string& button) {
    auto* list = dynamic_cast<CServerListUI*>(CWindowWnd::FromHandle(hand_off.server_list_window()));
    ASSERT_NE(list, nullptr);
    CPaintManagerUI& pm = list->paint_manager();
    pm.UpdateLayout();
    CControlUI* control = pm.FindControl(button);
    ASSERT_NE(control, nullptr) << button;
    const RECT r = control->GetPos();
    const LPARAM at = MAKELPARAM(static_cast<std::uint16_t>((r.left + r.right) / 2),
                                 static_cast<std::uint16_t>((r.top + r.bottom) / 2));
    SendMessage(list->GetHWND(), WM_MOUSEMOVE, 0, at);
    SendMessage(list->GetHWND(), WM_LBUTTONDOWN, 1, at);
    SendMessage(list->GetHWND(), WM_LBUTTONUP, 0, at);
    Settle();
  }
};

TEST_F(GameHandOffTest, TheLoginWindowsListClosesWithTheFrameAndALaterChoiceSwitchesItsServer) {
  LogIn();
  GameHandOff hand_off(FrameDeps{*services_, *platform_});
  // "bnstart" showed the list; then the recommended server was chosen in the login window.
  hand_off.ShowServerList(session_, POINT{100, 100}, nullptr);
  const HWND list = hand_off.server_list_window();
  ASSERT_TRUE(IsWindow(list));
  hand_off.OpenGameFrame(session_, session_.servers.at(1));
  loop_->Pump();
  EXPECT_FALSE(IsWindow(list));
  ASSERT_EQ(Frames(), 1u);
  auto* frame = dynamic_cast<CMainFrameWnd*>(CWindowWnd::FromHandle(hand_off.frame_window()));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->current_server().id, session_.servers.at(1).id);

  // A list shown again (the login window is still there) hands its choice to that frame.
  hand_off.ShowServerList(session_, POINT{100, 100}, nullptr);
  ChooseInList(hand_off, "serbutton" + session_.servers.at(2).code.substr(3));
  EXPECT_EQ(Frames(), 1u);
  EXPECT_EQ(frame->current_server().id, session_.servers.at(2).id);
  EXPECT_FALSE(IsWindow(hand_off.server_list_window()));
  // So does a second server button of the login window.
  hand_off.OpenGameFrame(session_, session_.servers.at(3));
  Settle();
  EXPECT_EQ(Frames(), 1u);
  EXPECT_EQ(frame->current_server().id, session_.servers.at(3).id);
}

}  // namespace
}  // namespace qrv::testing
