// The view on the real GTK back end: the web view goes into the native container the window
// system gives the view's child window, and goes with it.

#include <gtest/gtest.h>

#include "browser/browser_fixture.h"
#include "browser/browser_web_view.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"

namespace qrv::test {
namespace {

class GtkBackEndTest : public BrowserTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallGtkPlatform());
    BrowserTest::SetUp();
    host_.reset();  // no lent container: the window system's own
  }
  void TearDown() override {
    BrowserTest::TearDown();
    HeadlessLoop::Install();
    HeadlessWindows::Install();
  }
};

TEST_F(GtkBackEndTest, TheWebViewFillsTheChildWindowsContainerAndGoesWithItsParent) {
  server().SetPage("/native",
                   Page{"<!DOCTYPE html><body style='margin:0'><a href='/n'><b id=b>n</b></a></body>"});
  CMyHtmlView& view = MakeView(RECT{0, 50, 800, 650});
  ASSERT_TRUE(LoadPage(view, server().Url("/native")));
  GtkWidget* widget = GTK_WIDGET(WebViewOf(view)->widget());
  EXPECT_EQ(gtk_widget_get_parent(widget), WindowSystem::Get().NativeHandle(view.GetHWND()));
  int width = 0;
  int height = 0;
  gtk_widget_get_size_request(widget, &width, &height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);

  RunScript(view, "document.getElementById('b').click()");
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() == 1; }));
  EXPECT_EQ(ClickLines()[0], "单击事件:/n\r\n");

  SetWindowPos(view.GetHWND(), nullptr, 0, 80, 640, 400, SWP_NOZORDER);
  gtk_widget_get_size_request(widget, &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 400);

  // Closing the parent takes the view's window with it, and the view lets its page go.
  DestroyWindow(parent_hwnd());
  EXPECT_EQ(view.GetHWND(), nullptr);
  EXPECT_EQ(view.browser(), nullptr);
}

}  // namespace
}  // namespace qrv::test
