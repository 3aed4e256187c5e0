// What the player can do in a page that would open windows or menus: links with a target,
// window.open, the right button and the menu key.

#include <gtest/gtest.h>

#include "browser/browser_fixture.h"
#include "browser/browser_web_view.h"

namespace qrv::test {
namespace {

constexpr char kHead[] =
    "<!DOCTYPE html><html><head><meta charset=utf-8><style>body{margin:0} "
    ".box{position:absolute;display:block;width:200px;height:60px}</style></head><body>";

int VisibleToplevels() {
  int count = 0;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    if (gtk_widget_get_visible(GTK_WIDGET(item->data))) ++count;
  }
  g_list_free(toplevels);
  return count;
}

class NewWindowTest : public BrowserTest {};

TEST_F(NewWindowTest, LinksWithATargetAndWindowOpenGoToTheSystemBrowser) {
  const std::string elsewhere = server().Url("/elsewhere");
  const std::string popup = server().Url("/popup");
  server().SetPage("/targets",
                   Page{std::string(kHead) +
                        "<a id=blank class=box style='left:0;top:0' target=_blank href='" + elsewhere +
                        "'>new window</a><button id=open class=box style='left:0;top:100px' "
                        "onclick=\"window.open('" +
                        popup + "')\">open</button></body></html>"});
  CMyHtmlView& view = MakeView();
  const std::string page = server().Url("/targets");
  ASSERT_TRUE(LoadPage(view, page));
  const int toplevels = VisibleToplevels();

  double x = 0;
  double y = 0;
  ASSERT_TRUE(CentreOf(view, "#blank", &x, &y));
  Click(view, x, y, 1);
  ASSERT_TRUE(WaitUntil([&] { return opened().size() == 1; }));
  EXPECT_EQ(opened()[0], elsewhere);

  ASSERT_TRUE(CentreOf(view, "#open", &x, &y));
  Click(view, x, y, 1);
  ASSERT_TRUE(WaitUntil([&] { return opened().size() == 2; }));
  EXPECT_EQ(opened()[1], popup);

  // The view stayed on its page, the launcher made no window, and neither address was fetched
  // by the launcher's own browser.
  EXPECT_EQ(view.browser()->uri(), page);
  EXPECT_EQ(VisibleToplevels(), toplevels);
  EXPECT_TRUE(server().RequestsFor("/elsewhere").empty());
  EXPECT_TRUE(server().RequestsFor("/popup").empty());
}

TEST_F(NewWindowTest, APageCannotOpenWindowsWithoutTheUsersClickOrForOtherSchemes) {
  const std::string allowed = server().Url("/allowed");
  server().SetPage("/quiet",
                   Page{std::string(kHead) +
                        "<a id=file class=box style='left:0;top:0' target=_blank href='file:///etc/passwd'>"
                        "file</a><a id=web class=box style='left:0;top:100px' target=_blank href='" +
                        allowed + "'>web</a><script>window.open('" + server().Url("/unasked") +
                        "')</script></body></html>"});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/quiet")));
  // The pop-up the page opened by itself while loading was blocked before it reached anyone.
  // A new-window link to a local file is not handed to the desktop.
  double x = 0;
  double y = 0;
  ASSERT_TRUE(CentreOf(view, "#file", &x, &y));
  Click(view, x, y, 1);
  // The web link after them is the barrier: once it has arrived, the others would have.
  ASSERT_TRUE(CentreOf(view, "#web", &x, &y));
  Click(view, x, y, 1);
  ASSERT_TRUE(WaitUntil([&] { return !opened().empty(); }));
  EXPECT_EQ(opened(), std::vector<std::string>{allowed});
}

TEST_F(NewWindowTest, TheRightButtonNeverReachesThePageAndNoMenuComesUp) {
  server().SetPage(
      "/menu", Page{std::string(kHead) +
                    "<div id=area class=box style='left:0;top:0;width:400px;height:300px'>area</div><script>"
                    "window.seen = [];"
                    "document.addEventListener('mousedown', e => seen.push('down' + e.button));"
                    "document.addEventListener('contextmenu', e => seen.push('menu'));"
                    "</script></body></html>"});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/menu")));

  Click(view, 100, 100, 3);
  // The left click after it is the barrier: once the page has seen it, it would have seen the
  // right one before.
  Click(view, 100, 100, 1);
  ASSERT_TRUE(
      WaitUntil([&] { return RunScript(view, "seen.join(',')").find("down0") != std::string::npos; }));
  EXPECT_EQ(RunScript(view, "seen.join(',')"), "down0");

  // The menu key asks WebKit for the page's menu; the request is refused and no menu shows.
  gboolean handled = FALSE;
  g_signal_emit_by_name(WebViewOf(view)->widget(), "popup-menu", &handled);
  ASSERT_TRUE(WaitUntil([&] { return WebViewOf(view)->context_menus_refused() == 1; }));
  GList* toplevels = gtk_window_list_toplevels();
  int visible_menus = 0;
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(item->data));
    if (child != nullptr && GTK_IS_MENU(child) && gtk_widget_get_visible(GTK_WIDGET(item->data)))
      ++visible_menus;
  }
  g_list_free(toplevels);
  EXPECT_EQ(visible_menus, 0);
}

}  // namespace
}  // namespace qrv::test
