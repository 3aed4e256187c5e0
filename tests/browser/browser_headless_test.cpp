// The view on the headless window system: its window, and the record of its navigations that
// window logic tests read. No display is needed.

#include <glib.h>
#include <gtest/gtest.h>

#include "net/web_context.h"
#include "browser/browser_engine.h"
#include "browser/browser_view.h"
#include "platform/debug_sink.h"
#include "platform/headless_windows.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/shell.h"

namespace qrv {
namespace {

class Parent final : public MessageTarget {
 public:
  Parent() : hwnd(RegisterWindow(this)) {
    WindowCreateParams params;
    params.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    params.rect = RECT{0, 0, 1000, 700};
    WindowSystem::Get().Create(hwnd, params);
  }
  ~Parent() override { DestroyWindow(hwnd); }
  LRESULT HandleMessage(UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_NCDESTROY) WindowSystem::Get().Destroy(hwnd);
    return 0;
  }
  HWND hwnd;
};

class HeadlessViewTest : public ::testing::Test {
 protected:
  HeadlessViewTest() : windows_(HeadlessWindows::Install()), web_(DeployConfig{}, "") {}

  HeadlessWindows& windows_;
  WebContext web_;
  Parent parent_;
  std::vector<std::string> opened_;
  ScopedBrowserOpener opener_{[this](const std::string& uri) {
    opened_.push_back(uri);
    return true;
  }};
};

TEST_F(HeadlessViewTest, CreatesAVisibleClippingChildNamedMyWebBrowser) {
  CMyHtmlView view(web_);
  const HWND hwnd = view.Create(parent_.hwnd, RECT{0, 50, 1000, 700}, CMyHtmlView::kFirstViewId);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(view.GetHWND(), hwnd);
  EXPECT_EQ(view.GetDlgCtrlID(), 10000);
  const HeadlessWindows::State* state = windows_.StateOf(hwnd);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->params.title, "MyWebBrowser");
  EXPECT_EQ(state->params.parent, parent_.hwnd);
  EXPECT_EQ(state->rect, (RECT{0, 50, 1000, 700}));
  const std::uint32_t style = WindowSystem::Get().Style(hwnd);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  // One window per view object.
  EXPECT_EQ(view.Create(parent_.hwnd, RECT{0, 0, 10, 10}, CMyHtmlView::kFirstViewId), nullptr);
}

TEST_F(HeadlessViewTest, RefusesAParentThatIsNotAWindow) {
  CMyHtmlView view(web_);
  EXPECT_EQ(view.Create(nullptr, RECT{0, 0, 10, 10}, CMyHtmlView::kFirstViewId), nullptr);
  EXPECT_EQ(view.GetHWND(), nullptr);
}

TEST_F(HeadlessViewTest, RecordsNavigationsAndShowsNothingWithoutANativeWindow) {
  CMyHtmlView view(web_);
  view.Create(parent_.hwnd, RECT{0, 50, 1000, 700}, CMyHtmlView::kFirstViewId);
  view.Navigate2("http://www.zelto.com/game.php?code=s1");
  view.Navigate2("http://www.zelto.com/game.php?code=s2");
  view.Navigate2("http://qrv.zelto.com/", navOpenInNewWindow);
  EXPECT_EQ(view.navigations(), (std::vector<std::string>{"http://www.zelto.com/game.php?code=s1",
                                                          "http://www.zelto.com/game.php?code=s2"}));
  EXPECT_EQ(view.GetLocationURL(), "http://www.zelto.com/game.php?code=s2");
  EXPECT_EQ(view.browser(), nullptr);
  EXPECT_EQ(opened_, std::vector<std::string>{"http://qrv.zelto.com/"});
}

TEST_F(HeadlessViewTest, RightClicksAndTheMenuMessageAreSwallowedAndDestroyingForgetsTheWindow) {
  const std::size_t windows_before = MessageCore::WindowCount();
  {
    CMyHtmlView view(web_);
    const HWND hwnd = view.Create(parent_.hwnd, RECT{0, 0, 100, 100}, CMyHtmlView::kBrowserTabId);
    EXPECT_EQ(SendMessage(hwnd, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5)), 0);
    EXPECT_EQ(SendMessage(hwnd, WM_CONTEXTMENU, 0, 0), 0);
    EXPECT_EQ(MessageCore::WindowCount(), windows_before + 1);
    view.DestroyWindow();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(windows_.StateOf(hwnd), nullptr);
    EXPECT_EQ(view.GetHWND(), nullptr);
  }
  {
    // A view whose window is still there when it goes takes the window with it.
    CMyHtmlView view(web_);
    view.Create(parent_.hwnd, RECT{0, 0, 100, 100}, CMyHtmlView::kBrowserTabId);
  }
  EXPECT_EQ(MessageCore::WindowCount(), windows_before);
}

TEST_F(HeadlessViewTest, TheClickSinksWebClientIsBoundToTheSiteHostAndOpensNothing) {
  DeployConfig deploy;
  deploy.site = "127.0.0.1:9";
  WebContext web(deploy, "");
  CMyHtmlView view(web);
  EXPECT_EQ(view.click_sink().web_client().host(), "127.0.0.1:9");
  EXPECT_FALSE(view.click_sink().web_client().IsOpen());

  DebugCapture capture;
  view.click_sink().ReportClick("/x");
  EXPECT_EQ(capture.Lines(), std::vector<std::string>{"单击事件:/x\r\n"});
}

}  // namespace
}  // namespace qrv

namespace qrv {
namespace {

TEST(BrowserEngineSetting, TurnsTheDmaBufRendererOffUnlessThePlayerChoseOtherwise) {
  g_unsetenv("WEBKIT_DISABLE_DMABUF_RENDERER");
  PrepareBrowserEnvironment();
  EXPECT_STREQ(g_getenv("WEBKIT_DISABLE_DMABUF_RENDERER"), "1");
  g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "0", TRUE);
  PrepareBrowserEnvironment();
  EXPECT_STREQ(g_getenv("WEBKIT_DISABLE_DMABUF_RENDERER"), "0");
  g_unsetenv("WEBKIT_DISABLE_DMABUF_RENDERER");
}

TEST(BrowserEngineSetting, KeepsWebsiteDataInTheDataFolderBesideTheProgramUnlessTold) {
  g_autofree gchar* folder = g_path_get_dirname(ProgramPath().c_str());
  g_autofree gchar* data = g_build_filename(folder, "data", "webkit", nullptr);
  g_autofree gchar* cache = g_build_filename(folder, "data", "webkit-cache", nullptr);
  EXPECT_EQ(CurrentWebEngineFolders().website_data, data);
  EXPECT_EQ(WebEngineCacheFolder(), cache);
  SetWebEngineFolders({"/home/p/.local/share/zelto-qrv/webkit", "/home/p/.cache/zelto-qrv/webkit"});
  EXPECT_EQ(WebEngineCacheFolder(), "/home/p/.cache/zelto-qrv/webkit");
  SetWebEngineFolders({});
}

}  // namespace
}  // namespace qrv
