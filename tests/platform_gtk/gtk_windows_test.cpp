// Real windows under X: where they are, whether they show, what they paint, and their shapes.

#include "gtk_test_support.h"

namespace qrv::testing {
namespace {

using GtkWindowsTest = GtkPlatformTest;

TEST_F(GtkWindowsTest, WindowSitsExactlyWhereAndAsLargeAsAskedAndFollowsMoves) {
  TestWindow window(Toplevel(130, 90, 240, 160));
  ShowAndWait(window);
  const RECT expected{130, 90, 370, 250};
  ASSERT_TRUE(WaitFor([&] { return ServerGeometry(window.hwnd()) == expected; }))
      << "server has " << ServerGeometry(window.hwnd()).left << "," << ServerGeometry(window.hwnd()).top;
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), expected);
  EXPECT_EQ(windows_->ClientRect(window.hwnd()), (RECT{0, 0, 240, 160}));

  window.Clear();
  SetWindowPos(window.hwnd(), nullptr, 300, 200, 320, 180, SWP_NOZORDER);
  // The program sees the new rectangle at once, and the X server follows.
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), (RECT{300, 200, 620, 380}));
  ASSERT_EQ(window.Of(WM_SIZE).size(), 1u);
  EXPECT_EQ(ClientX(window.Of(WM_SIZE)[0].lparam), 320);
  EXPECT_EQ(ClientY(window.Of(WM_SIZE)[0].lparam), 180);
  EXPECT_TRUE(window.Saw(WM_MOVE));
  ASSERT_TRUE(WaitFor([&] { return ServerGeometry(window.hwnd()) == RECT{300, 200, 620, 380}; }));
  // No configure event afterwards takes the rectangle back.
  Settle();
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), (RECT{300, 200, 620, 380}));

  SetWindowPos(window.hwnd(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), (RECT{300, 200, 500, 300}));
  SetWindowPos(window.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(windows_->IsTopmost(window.hwnd()));
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), (RECT{300, 200, 500, 300}));
  SetWindowPos(window.hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_FALSE(windows_->IsTopmost(window.hwnd()));
}

TEST_F(GtkWindowsTest, ShowHideMinimizeMaximizeAndRestore) {
  TestWindow window(Toplevel(100, 100, 200, 120));
  GtkWidget* top = windows_->ToplevelWidget(window.hwnd());
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  ShowAndWait(window);
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  ASSERT_EQ(window.Of(WM_SHOWWINDOW).size(), 1u);
  EXPECT_EQ(window.Of(WM_SHOWWINDOW)[0].wparam, 1u);

  ShowWindow(window.hwnd(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  EXPECT_TRUE(WaitFor([&] { return !gtk_widget_get_mapped(top); }));

  ShowWindow(window.hwnd(), SW_SHOW);
  EXPECT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(top); }));

  // Minimised: still "visible" to the program, but off the screen.
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  EXPECT_TRUE(windows_->IsMinimized(window.hwnd()));
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  if (!windows_->WindowManagerPresent()) {
    EXPECT_TRUE(WaitFor([&] { return !gtk_widget_get_mapped(top); }));
  }
  ShowWindow(window.hwnd(), SW_RESTORE);
  EXPECT_FALSE(windows_->IsMinimized(window.hwnd()));
  EXPECT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(top); }));
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), (RECT{100, 100, 300, 220}));

  // Maximised: the work area; restored: the old rectangle.
  ShowWindow(window.hwnd(), SW_MAXIMIZE);
  EXPECT_TRUE(windows_->IsMaximized(window.hwnd()));
  const RECT work = windows_->WorkArea();
  EXPECT_GT(work.Width(), 0);
  ASSERT_TRUE(WaitFor([&] { return windows_->WindowRect(window.hwnd()) == work; }));
  ASSERT_TRUE(WaitFor([&] { return ServerGeometry(window.hwnd()) == work; }));
  ShowWindow(window.hwnd(), SW_RESTORE);
  EXPECT_FALSE(windows_->IsMaximized(window.hwnd()));
  ASSERT_TRUE(WaitFor([&] { return ServerGeometry(window.hwnd()) == RECT{100, 100, 300, 220}; }));
  EXPECT_EQ(windows_->WindowRect(window.hwnd()), (RECT{100, 100, 300, 220}));
}

TEST_F(GtkWindowsTest, PaintReachesTheScreenAndInvalidateRepaints) {
  TestWindow window(Toplevel(200, 150, 160, 100));
  window.set_fill(0x2040E0);
  ShowAndWait(window);
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(280, 200), 0x2040E0); }))
      << std::hex << ScreenPixel(280, 200);

  window.set_fill(0x20C040);
  const RECT area{0, 0, 80, 100};
  windows_->Invalidate(window.hwnd(), &area);
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(220, 200), 0x20C040); }));
  // Only the invalidated half was painted again.
  EXPECT_TRUE(SameColor(ScreenPixel(340, 200), 0x2040E0)) << std::hex << ScreenPixel(340, 200);
}

TEST_F(GtkWindowsTest, ColorKeyCutsAHoleThroughWhichTheWindowBelowShows) {
  TestWindow below(Toplevel(400, 300, 200, 200));
  below.set_fill(0x1010F0);
  ShowAndWait(below);
  TestWindow layered(Toplevel(400, 300, 200, 200));
  layered.set_fill(0xF01010);
  // A square of the key colour in the middle of the window.
  layered.set_paint_extra([](cairo_t* cr) {
    cairo_set_source_rgb(cr, 10 / 255.0, 10 / 255.0, 10 / 255.0);
    cairo_rectangle(cr, 50, 50, 100, 100);
    cairo_fill(cr);
  });
  windows_->SetLayered(layered.hwnd(), 0x0A0A0A, 250);
  ShowAndWait(layered);
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(410, 310), 0xF01010); })) << std::hex << ScreenPixel(410, 310);
  EXPECT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(500, 400), 0x1010F0); })) << std::hex << ScreenPixel(500, 400);

  // The window keeps what it painted in its buffer: an invalidated part is painted again, an
  // exposed part shows the buffer.
  layered.set_fill(0x10F0F0);
  const RECT left_edge{0, 0, 40, 200};
  windows_->Invalidate(layered.hwnd(), &left_edge);
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(410, 310), 0x10F0F0); })) << std::hex << ScreenPixel(410, 310);
  EXPECT_TRUE(SameColor(ScreenPixel(590, 490), 0xF01010)) << std::hex << ScreenPixel(590, 490);
  windows_->Invalidate(layered.hwnd(), nullptr);  // repaints all of it, the hole included
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(590, 490), 0x10F0F0); })) << std::hex << ScreenPixel(590, 490);
  EXPECT_TRUE(SameColor(ScreenPixel(500, 400), 0x1010F0)) << std::hex << ScreenPixel(500, 400);

  // A click in the hole reaches the window below, not the layered one.
  layered.Clear();
  below.Clear();
  ASSERT_TRUE(Xdotool("mousemove 500 400 click 1"));
  EXPECT_TRUE(WaitFor([&] { return below.Saw(WM_LBUTTONUP); }));
  EXPECT_FALSE(layered.Saw(WM_LBUTTONDOWN));
}

TEST_F(GtkWindowsTest, RoundCornersClipTheCorners) {
  TestWindow below(Toplevel(700, 100, 300, 300));
  below.set_fill(0x10F010);
  ShowAndWait(below);
  TestWindow round(Toplevel(700, 100, 200, 200));
  round.set_fill(0xF01010);
  windows_->SetRoundCorners(round.hwnd(), 40, 40);
  ShowAndWait(round);
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(800, 200), 0xF01010); }));
  EXPECT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(701, 101), 0x10F010); })) << std::hex << ScreenPixel(701, 101);
  EXPECT_TRUE(SameColor(ScreenPixel(898, 298), 0x10F010));
  // The edges between the corners stay.
  EXPECT_TRUE(SameColor(ScreenPixel(800, 101), 0xF01010));

  // The corners follow the window's size.
  SetWindowPos(round.hwnd(), nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(998, 250), 0xF01010); })) << std::hex << ScreenPixel(998, 250);
  EXPECT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(998, 398), 0x10F010); })) << std::hex << ScreenPixel(998, 398);
  EXPECT_TRUE(SameColor(ScreenPixel(701, 101), 0x10F010)) << std::hex << ScreenPixel(701, 101);
}

TEST_F(GtkWindowsTest, ChildWindowsSitInTheirParentAndGoWithIt) {
  auto parent = std::make_unique<TestWindow>(Toplevel(150, 500, 300, 200));
  parent->set_fill(0x1010F0);
  WindowCreateParams child_params;
  child_params.parent = parent->hwnd();
  child_params.style = WS_CHILD | WS_VISIBLE;
  child_params.rect = RECT{40, 30, 140, 90};
  TestWindow child(child_params);
  child.set_fill(0xF0F010);
  ShowAndWait(*parent);
  EXPECT_EQ(windows_->WindowRect(child.hwnd()), (RECT{190, 530, 290, 590}));
  EXPECT_EQ(windows_->Parent(child.hwnd()), parent->hwnd());
  EXPECT_TRUE(IsWindowVisible(child.hwnd()));
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(200, 540), 0xF0F010); }));
  EXPECT_TRUE(SameColor(ScreenPixel(160, 510), 0x1010F0));
  EXPECT_NE(windows_->NativeHandle(child.hwnd()), nullptr);

  // A click on the child goes to the child, in the child's coordinates.
  ASSERT_TRUE(Xdotool("mousemove 200 545 click 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Saw(WM_LBUTTONUP); }));
  EXPECT_FALSE(parent->Saw(WM_LBUTTONDOWN));
  ASSERT_EQ(child.Of(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(ClientX(child.Of(WM_LBUTTONDOWN)[0].lparam), 10);
  EXPECT_EQ(ClientY(child.Of(WM_LBUTTONDOWN)[0].lparam), 15);

  SetWindowPos(child.hwnd(), nullptr, 200, 100, 50, 50, SWP_NOZORDER);
  EXPECT_EQ(windows_->WindowRect(child.hwnd()), (RECT{350, 600, 400, 650}));
  ASSERT_TRUE(WaitFor([&] { return SameColor(ScreenPixel(370, 620), 0xF0F010); }));

  // Destroying the parent destroys the child too.
  parent.reset();
  EXPECT_FALSE(IsWindow(child.hwnd()));
  EXPECT_TRUE(child.Saw(WM_DESTROY));
  EXPECT_EQ(windows_->NativeHandle(child.hwnd()), nullptr);
}

TEST_F(GtkWindowsTest, StyleTitleAndEnableAreKept) {
  TestWindow window(Toplevel(50, 50, 100, 80, WS_POPUP | WS_CAPTION | WS_SYSMENU));
  GtkWidget* top = windows_->ToplevelWidget(window.hwnd());
  EXPECT_TRUE(gtk_window_get_decorated(GTK_WINDOW(top)));
  windows_->SetStyle(window.hwnd(), windows_->Style(window.hwnd()) & ~WS_CAPTION);
  EXPECT_FALSE(gtk_window_get_decorated(GTK_WINDOW(top)));
  EXPECT_EQ(windows_->Style(window.hwnd()) & WS_CAPTION, 0u);

  windows_->SetTitle(window.hwnd(), "玄岚城");
  EXPECT_EQ(windows_->Title(window.hwnd()), "玄岚城");
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(top)), "玄岚城");

  windows_->Enable(window.hwnd(), false);
  EXPECT_NE(windows_->Style(window.hwnd()) & WS_DISABLED, 0u);
  windows_->Enable(window.hwnd(), true);
  EXPECT_EQ(windows_->Style(window.hwnd()) & WS_DISABLED, 0u);

  const RECT screen = windows_->ScreenRect();
  const RECT work = windows_->WorkArea();
  EXPECT_GT(screen.Width(), 0);
  EXPECT_LE(work.Width(), screen.Width());
  EXPECT_LE(work.Height(), screen.Height());
}

TEST_F(GtkWindowsTest, CloseRequestBecomesScCloseAndNeverDestroysTheWindow) {
  TestWindow window(Toplevel(60, 60, 120, 80));
  ShowAndWait(window);
  GtkWidget* top = windows_->ToplevelWidget(window.hwnd());
  GdkEvent* event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(top)));
  gtk_main_do_event(event);
  gdk_event_free(event);
  ASSERT_EQ(window.Of(WM_SYSCOMMAND).size(), 1u);
  EXPECT_EQ(window.Of(WM_SYSCOMMAND)[0].wparam, SC_CLOSE);
  EXPECT_TRUE(IsWindow(window.hwnd()));
  EXPECT_TRUE(gtk_widget_get_mapped(top));
}

}  // namespace
}  // namespace qrv::testing
