// Input synthesised through the X server (xdotool) arrives as Windows-style messages.

#include <algorithm>

#include "gtk_test_support.h"
// Xlib after GoogleTest: Xlib's macros (None) would rename GoogleTest's own names.
// clang-format off
#include <gdk/gdkx.h>
// clang-format on

namespace qrv::testing {
namespace {

class GtkInputTest : public GtkPlatformTest {
 protected:
  // Shows the window, makes it the active one and puts the pointer over it, so keys reach it.
  void Activate(TestWindow& window, int pointer_x, int pointer_y) {
    ShowAndWait(window);
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(pointer_x) + " " + std::to_string(pointer_y)));
    windows_->SetForeground(window.hwnd());
    GtkWidget* top = windows_->ToplevelWidget(window.hwnd());
    ASSERT_TRUE(WaitFor([&] { return gtk_window_is_active(GTK_WINDOW(top)); }));
    Settle(50);
  }
};

TEST_F(GtkInputTest, ClickArrivesAsHitTestThenPressAndReleaseInClientCoordinates) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  ShowAndWait(window);
  window.Clear();
  ASSERT_TRUE(Xdotool("mousemove 150 190 click 1"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_LBUTTONUP); }));
  const auto hits = window.Of(WM_NCHITTEST);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(ClientX(hits[0].lparam), 150);  // screen coordinates
  EXPECT_EQ(ClientY(hits[0].lparam), 190);
  const auto downs = window.Of(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(ClientX(downs[0].lparam), 30);
  EXPECT_EQ(ClientY(downs[0].lparam), 50);
  EXPECT_NE(downs[0].wparam & 0x0001, 0u);  // MK_LBUTTON held
  const auto ups = window.Of(WM_LBUTTONUP);
  EXPECT_EQ(ClientX(ups[0].lparam), 30);
  EXPECT_EQ(ups[0].wparam & 0x0001, 0u);
  EXPECT_TRUE(window.Saw(WM_MOUSEMOVE));
}

TEST_F(GtkInputTest, DoubleClickIsDownUpDblclkUpAndRightClickToo) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  ShowAndWait(window);
  window.Clear();
  ASSERT_TRUE(Xdotool("mousemove 200 200 click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return window.Of(WM_LBUTTONUP).size() == 2; }));
  EXPECT_EQ(window.MouseButtonMessages(),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

  window.Clear();
  Settle(600);  // beyond the double-click time, so the next press is a single one
  ASSERT_TRUE(Xdotool("click 3"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_RBUTTONUP); }));
  EXPECT_EQ(window.MouseButtonMessages(), (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
  EXPECT_EQ(ClientX(window.Of(WM_RBUTTONUP)[0].lparam), 80);
}

TEST_F(GtkInputTest, HitTestOrderAndCaptionDragMovesTheWindowInsteadOfPressing) {
  TestWindow window(Toplevel(300, 300, 200, 150));
  std::vector<UINT> order;
  window.on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_NCHITTEST || msg == WM_LBUTTONDOWN) order.push_back(msg);
    return false;
  };
  ShowAndWait(window);
  ASSERT_TRUE(Xdotool("mousemove 350 350 click 1"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_LBUTTONUP); }));
  EXPECT_EQ(order, (std::vector<UINT>{WM_NCHITTEST, WM_LBUTTONDOWN}));

  window.Clear();
  window.set_hit_test(HTCAPTION);
  ASSERT_TRUE(Xdotool("mousemove 320 310 mousedown 1"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_NCHITTEST); }));
  Settle(100);
  ASSERT_TRUE(Xdotool("mousemove 360 330"));
  Settle(100);
  ASSERT_TRUE(Xdotool("mousemove 420 370"));
  Settle(100);
  ASSERT_TRUE(Xdotool("mouseup 1"));
  // The window went with the pointer; the client saw no press or release.
  ASSERT_TRUE(WaitFor([&] { return windows_->WindowRect(window.hwnd()).left == 400; }))
      << windows_->WindowRect(window.hwnd()).left;
  EXPECT_EQ(windows_->WindowRect(window.hwnd()).top, 360);
  Settle(100);
  EXPECT_FALSE(window.Saw(WM_LBUTTONDOWN));
  EXPECT_FALSE(window.Saw(WM_LBUTTONUP));
}

TEST_F(GtkInputTest, WheelAndLeave) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  ShowAndWait(window);
  ASSERT_TRUE(Xdotool("mousemove 170 160"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_MOUSEMOVE); }));
  ASSERT_TRUE(Xdotool("click 4"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_MOUSEWHEEL); }));
  ASSERT_TRUE(Xdotool("click 5"));
  ASSERT_TRUE(WaitFor([&] { return window.Of(WM_MOUSEWHEEL).size() >= 2; }));
  const auto wheel = window.Of(WM_MOUSEWHEEL);
  EXPECT_EQ(static_cast<std::int16_t>(HIWORD(wheel[0].wparam)), 120);
  EXPECT_EQ(static_cast<std::int16_t>(HIWORD(wheel.back().wparam)), -120);
  EXPECT_EQ(ClientX(wheel[0].lparam), 50);
  EXPECT_EQ(ClientY(wheel[0].lparam), 20);
  EXPECT_FALSE(window.Saw(WM_LBUTTONDOWN));

  ASSERT_TRUE(Xdotool("mousemove 10 10"));
  EXPECT_TRUE(WaitFor([&] { return window.Saw(WM_MOUSELEAVE); }));
}

TEST_F(GtkInputTest, DisabledWindowGetsNoInput) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  ShowAndWait(window);
  windows_->Enable(window.hwnd(), false);
  window.Clear();
  ASSERT_TRUE(Xdotool("mousemove 150 190 click 1"));
  Settle(300);
  EXPECT_TRUE(window.MouseButtonMessages().empty());
  windows_->Enable(window.hwnd(), true);
  ASSERT_TRUE(Xdotool("click 1"));
  EXPECT_TRUE(WaitFor([&] { return window.Saw(WM_LBUTTONUP); }));
}

TEST_F(GtkInputTest, KeysArriveAsVirtualKeysAndPrintableOnesAsCharacters) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  Activate(window, 200, 200);
  EXPECT_EQ(windows_->Focus(), window.hwnd());
  window.Clear();
  ASSERT_TRUE(Xdotool("key F5 q shift+1 Escape"));
  ASSERT_TRUE(WaitFor([&] { return window.Of(WM_KEYUP).size() >= 5; }));
  std::vector<WPARAM> downs;
  for (const auto& r : window.Of(WM_KEYDOWN)) downs.push_back(r.wparam);
  EXPECT_EQ(downs, (std::vector<WPARAM>{VK_F5, 'Q', VK_SHIFT, '1', VK_ESCAPE}));
  std::vector<WPARAM> chars;
  for (const auto& r : window.Of(WM_CHAR)) chars.push_back(r.wparam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'q', '!'}));
  // Key-up flags carry the transition bit, key-down ones do not.
  EXPECT_EQ(static_cast<std::uintptr_t>(window.Of(WM_KEYDOWN)[0].lparam) >> 31, 0u);
  EXPECT_EQ(static_cast<std::uintptr_t>(window.Of(WM_KEYUP)[0].lparam) >> 31, 1u);
}

TEST_F(GtkInputTest, ModifierKeysArriveAsKeysOfTheirOwnAroundTheLetterTheyHold) {
  // What a hotkey field sees: Ctrl, Shift and Alt going down and up as VK_CONTROL, VK_SHIFT and
  // VK_MENU, and the letter they hold as its upper-case virtual key, whatever the modifiers.
  TestWindow window(Toplevel(120, 140, 200, 150));
  Activate(window, 200, 200);
  window.Clear();
  ASSERT_TRUE(Xdotool("key ctrl+shift+k alt+w"));
  ASSERT_TRUE(WaitFor([&] { return window.Of(WM_KEYUP).size() >= 5; }));
  Settle(50);
  std::vector<WPARAM> downs;
  for (const auto& r : window.Of(WM_KEYDOWN)) downs.push_back(r.wparam);
  EXPECT_EQ(downs, (std::vector<WPARAM>{VK_CONTROL, VK_SHIFT, 'K', VK_MENU, 'W'}));
  std::vector<WPARAM> ups;
  for (const auto& r : window.Of(WM_KEYUP)) ups.push_back(r.wparam);
  ASSERT_EQ(ups.size(), 5u);
  // Each key that went down came up again.
  std::vector<WPARAM> sorted_downs = downs;
  std::vector<WPARAM> sorted_ups = ups;
  std::sort(sorted_downs.begin(), sorted_downs.end());
  std::sort(sorted_ups.begin(), sorted_ups.end());
  EXPECT_EQ(sorted_ups, sorted_downs);
  // A letter held with Ctrl or Alt is a command, not text.
  EXPECT_TRUE(window.Of(WM_CHAR).empty());
}

TEST_F(GtkInputTest, TextInputCommitsCharactersAfterTheKeyAndPasswordsBypassTheInputMethod) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  Activate(window, 200, 200);
  windows_->SetTextInput(window.hwnd(), true, false, RECT{10, 10, 11, 26});
  window.Clear();
  std::vector<UINT> order;
  window.on_message_ = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_KEYDOWN || msg == WM_CHAR) order.push_back(msg);
    return false;
  };
  ASSERT_TRUE(Xdotool("type --delay 30 ab"));
  ASSERT_TRUE(WaitFor([&] { return window.Of(WM_CHAR).size() >= 2; }));
  EXPECT_EQ(window.Of(WM_CHAR)[0].wparam, 'a');
  EXPECT_EQ(window.Of(WM_CHAR)[1].wparam, 'b');
  EXPECT_EQ(window.Of(WM_KEYDOWN)[0].wparam, 'A');
  EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR}));

  windows_->SetTextInput(window.hwnd(), true, true, RECT{10, 10, 11, 26});
  window.Clear();
  ASSERT_TRUE(Xdotool("type --delay 30 c"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_CHAR); }));
  EXPECT_EQ(window.Of(WM_CHAR)[0].wparam, 'c');
  EXPECT_EQ(window.Of(WM_CHAR).size(), 1u);
}

TEST_F(GtkInputTest, FocusMovesBetweenWindowsWithKillAndSetFocus) {
  TestWindow first(Toplevel(100, 100, 150, 100));
  TestWindow second(Toplevel(300, 100, 150, 100));
  ShowAndWait(second);
  Activate(first, 150, 150);
  first.Clear();
  windows_->SetFocus(second.hwnd());
  EXPECT_EQ(windows_->Focus(), second.hwnd());
  ASSERT_EQ(first.Of(WM_KILLFOCUS).size(), 1u);
  EXPECT_EQ(first.Of(WM_KILLFOCUS)[0].wparam, reinterpret_cast<WPARAM>(second.hwnd()));
  ASSERT_EQ(second.Of(WM_SETFOCUS).size(), 1u);
  EXPECT_EQ(second.Of(WM_SETFOCUS)[0].wparam, reinterpret_cast<WPARAM>(first.hwnd()));
  // GTK follows: the second toplevel becomes the active one, without a second round of messages.
  GtkWidget* second_top = windows_->ToplevelWidget(second.hwnd());
  ASSERT_TRUE(WaitFor([&] { return gtk_window_is_active(GTK_WINDOW(second_top)); }));
  Settle(100);
  EXPECT_EQ(windows_->Focus(), second.hwnd());
  EXPECT_EQ(second.Of(WM_SETFOCUS).size(), 1u);
}

// A pop-up opened right after its owner was brought forward (the tray menu after restoring the
// frame) keeps the focus when the owner's activation arrives late: a menu that loses the focus
// closes. The owner's activation still counts once the program stops asking for another window.
TEST_F(GtkInputTest, ALateActivationOfAnOlderRequestLeavesTheFocusWithTheNewerWindow) {
  TestWindow owner(Toplevel(100, 100, 150, 100));
  TestWindow popup(Toplevel(300, 100, 150, 100));
  TestWindow other(Toplevel(500, 100, 150, 100));
  ShowAndWait(owner);
  ShowAndWait(popup);
  Activate(other, 550, 150);
  windows_->SetForeground(owner.hwnd());
  windows_->SetForeground(popup.hwnd());
  popup.Clear();
  GtkWidget* popup_top = windows_->ToplevelWidget(popup.hwnd());
  GtkWidget* owner_top = windows_->ToplevelWidget(owner.hwnd());
  ASSERT_TRUE(WaitFor([&] { return gtk_window_is_active(GTK_WINDOW(popup_top)); }));
  Settle(100);
  EXPECT_EQ(windows_->Focus(), popup.hwnd());
  EXPECT_FALSE(popup.Saw(WM_KILLFOCUS));

  // An activation the program did not ask for (the window manager's, after a click) takes the
  // focus as always.
  const auto owner_xid = gdk_x11_window_get_xid(gtk_widget_get_window(owner_top));
  ASSERT_TRUE(Xdotool("windowfocus --sync " + std::to_string(owner_xid)));
  ASSERT_TRUE(WaitFor([&] { return windows_->Focus() == owner.hwnd(); }));
  EXPECT_TRUE(popup.Saw(WM_KILLFOCUS));
}

TEST_F(GtkInputTest, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
  TestWindow window(Toplevel(120, 140, 200, 150));
  Activate(window, 200, 200);
  std::vector<WPARAM> previewed;
  windows_->SetKeyPreview(window.hwnd(), [&](UINT msg, WPARAM vk, LPARAM) {
    if (msg == WM_KEYDOWN) previewed.push_back(vk);
    return vk == VK_F2;
  });
  window.Clear();
  ASSERT_TRUE(Xdotool("key F2 F3"));
  ASSERT_TRUE(WaitFor([&] { return window.Saw(WM_KEYUP) && previewed.size() >= 2; }));
  Settle(100);
  EXPECT_EQ(previewed, (std::vector<WPARAM>{VK_F2, VK_F3}));
  std::vector<WPARAM> downs;
  for (const auto& r : window.Of(WM_KEYDOWN)) downs.push_back(r.wparam);
  EXPECT_EQ(downs, (std::vector<WPARAM>{VK_F3}));
}

}  // namespace
}  // namespace qrv::testing
