// The view's window and its web view: when a web view is made, where it goes, how it follows the
// window, and what the open-in-new-window flag does.

#include <gtest/gtest.h>

#include "browser/browser_fixture.h"
#include "browser/browser_web_view.h"
#include "platform/window_system.h"

namespace qrv::test {
namespace {

class BrowserViewTest : public BrowserTest {};

TEST_F(BrowserViewTest, AViewOfNoSizeMakesNoWebViewUntilItIsGivenOne) {
  server().SetPage("/late", Page{"<!DOCTYPE html><p>late</p>"});
  CMyHtmlView& view = MakeView(RECT{0, 0, 0, 0});
  view.Navigate2(server().Url("/late"));
  EXPECT_EQ(view.browser(), nullptr);
  EXPECT_EQ(host_lookups_, 0);
  EXPECT_EQ(view.GetLocationURL(), server().Url("/late"));

  // The login window's use of its hidden view: pages for the system's browser only.
  view.Navigate2(server().Url("/news"), navOpenInNewWindow);
  EXPECT_EQ(opened(), std::vector<std::string>{server().Url("/news")});
  EXPECT_EQ(view.browser(), nullptr);

  // Given a size, it shows the address it was last asked for.
  view.MoveWindow(RECT{10, 20, 410, 320});
  ASSERT_NE(view.browser(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return view.browser()->uri() == server().Url("/late"); }));
  ASSERT_TRUE(WaitForLoad(view));
  EXPECT_EQ(server().RequestsFor("/late").size(), 1u);
  EXPECT_TRUE(server().RequestsFor("/news").empty());
  int width = 0;
  int height = 0;
  gtk_widget_get_size_request(GTK_WIDGET(WebViewOf(view)->widget()), &width, &height);
  EXPECT_EQ(width, 400);
  EXPECT_EQ(height, 300);
}

TEST_F(BrowserViewTest, AHiddenViewMakesItsWebViewWhenShown) {
  server().SetPage("/shown", Page{"<!DOCTYPE html><p>shown</p>"});
  views_.push_back(std::make_unique<CMyHtmlView>(web()));
  CMyHtmlView& view = *views_.back();
  ASSERT_NE(view.Create(parent_hwnd(), RECT{0, 0, 300, 200}, CMyHtmlView::kBrowserTabId, WS_CHILD), nullptr);
  view.Navigate2(server().Url("/shown"));
  EXPECT_EQ(view.browser(), nullptr);
  ShowWindow(view.GetHWND(), SW_SHOW);
  ASSERT_NE(view.browser(), nullptr);
  ASSERT_TRUE(WaitForLoad(view));
  EXPECT_EQ(view.browser()->uri(), server().Url("/shown"));
}

TEST_F(BrowserViewTest, OpenInNewWindowHandsOnlyWebAddressesToTheSystemBrowser) {
  CMyHtmlView& view = MakeView();
  view.Navigate2(server().Url("/game"), navOpenInNewWindow);
  view.Navigate2("javascript:alert(document.cookie)", navOpenInNewWindow);
  view.Navigate2("file:///etc/passwd", navOpenInNewWindow);
  view.Navigate2("tencent://message/?uin=1", navOpenInNewWindow);

  EXPECT_EQ(opened(), std::vector<std::string>{server().Url("/game")});
  // No web view was made for any of them, and nothing was shown in the view.
  EXPECT_EQ(view.browser(), nullptr);
  EXPECT_TRUE(view.navigations().empty());
  EXPECT_EQ(host_lookups_, 0);
  int refusals = 0;
  for (const std::string& line : capture_->Lines()) {
    if (line.find("拒绝") != std::string::npos) ++refusals;
  }
  EXPECT_EQ(refusals, 3);
}

TEST_F(BrowserViewTest, TheWebViewFillsTheWindowAndGoesWithIt) {
  server().SetPage("/fill", Page{"<!DOCTYPE html><p>fill</p>"});
  CMyHtmlView& view = MakeView(RECT{0, 50, 1000, 700});
  ASSERT_TRUE(LoadPage(view, server().Url("/fill")));
  GtkWidget* widget = GTK_WIDGET(WebViewOf(view)->widget());
  EXPECT_EQ(gtk_widget_get_parent(widget), fixed_);
  int width = 0;
  int height = 0;
  gtk_widget_get_size_request(widget, &width, &height);
  EXPECT_EQ(width, 1000);
  EXPECT_EQ(height, 650);

  // A window resize (as the main frame's layout does) reaches the web view.
  SetWindowPos(view.GetHWND(), nullptr, 0, 80, 640, 480, SWP_NOZORDER);
  gtk_widget_get_size_request(widget, &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);

  // Hiding the window hides the page (the screen lock does this to the game).
  ShowWindow(view.GetHWND(), SW_HIDE);
  EXPECT_FALSE(gtk_widget_get_visible(widget));
  ShowWindow(view.GetHWND(), SW_SHOW);
  EXPECT_TRUE(gtk_widget_get_visible(widget));

  view.DestroyWindow();
  EXPECT_EQ(view.GetHWND(), nullptr);
  EXPECT_EQ(view.browser(), nullptr);
  g_autoptr(GList) children = gtk_container_get_children(GTK_CONTAINER(fixed_));
  EXPECT_EQ(children, nullptr);
}

TEST_F(BrowserViewTest, NavigationsWhileTheCookiesAreOnTheirWayEndOnTheLastAddress) {
  server().SetPage("/one", Page{"<!DOCTYPE html><p>one</p>"});
  server().SetPage("/two", Page{"<!DOCTYPE html><p>two</p>"});
  CMyHtmlView& view = MakeView();
  // A fresh cookie makes the first load wait for the mirror; the second address is asked for
  // meanwhile and the view ends on it.
  web().cookies().Add(Cookie{"127.0.0.1", false, "/", false, 0, "order_check", "1", false});
  view.Navigate2(server().Url("/one"));
  view.Navigate2(server().Url("/two"));
  ASSERT_TRUE(
      WaitUntil([&] { return view.browser() != nullptr && view.browser()->uri() == server().Url("/two"); }));
  ASSERT_TRUE(WaitForLoad(view));
  EXPECT_EQ(view.browser()->uri(), server().Url("/two"));
  EXPECT_EQ(view.navigations(), (std::vector<std::string>{server().Url("/one"), server().Url("/two")}));
}

}  // namespace
}  // namespace qrv::test
