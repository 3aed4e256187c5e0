#pragma once
// What the browser view tests share: GTK on the test's X display (run them under xvfb-run), the
// headless window system for the view windows, a page server, a web context whose platform
// hosts are that server, and the browser engine in a temporary data folder. The engine and the
// server live for the whole test program, as they do for the launcher.
//
// The view windows have no native container on the headless back end; each test lends them a
// GtkFixed in a real GtkWindow of its own, the container the GTK back end gives a child window.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/web_context.h"
#include "browser/browser_engine.h"
#include "browser/browser_host.h"
#include "browser/browser_view.h"
#include "browser/browser_web_view.h"
#include "browser/page_server.h"
#include "platform/debug_sink.h"
#include "platform/shell.h"

namespace qrv::test {

// Iterates the default main context until `done` holds or `limit` has passed; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

// The WebKit view behind a browser view (the engine the tests link in makes BrowserWebViews).
inline BrowserWebView* WebViewOf(CMyHtmlView& view) { return static_cast<BrowserWebView*>(view.browser()); }

// A toplevel stand-in for the view's parent window in the message core.
class ParentWindow;

class BrowserTest : public ::testing::Test {
 protected:
  BrowserTest();
  ~BrowserTest() override;
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  static PageServer& server();
  static WebContext& web();
  static BrowserEngine& engine();

  HWND parent_hwnd() const;
  // A view as the main frame makes its first one: child of the parent, visible, id 10000.
  CMyHtmlView& MakeView(RECT rect = RECT{0, 0, 800, 600});
  // Navigates and waits until the page has finished loading; false when it did not in time.
  bool LoadPage(CMyHtmlView& view, const std::string& url);
  // Waits for the view's current load to finish.
  bool WaitForLoad(CMyHtmlView& view);
  // Runs `script` in the page's main frame and gives its result as text ("" on failure).
  std::string RunScript(CMyHtmlView& view, const std::string& script);
  // The centre of the element `selector` of the main document, in view coordinates.
  bool CentreOf(CMyHtmlView& view, const std::string& selector, double* x, double* y);
  // A press and release of `button` at (x, y) of the web view, through GTK's event handling as
  // the display would deliver them.
  void Click(CMyHtmlView& view, double x, double y, guint button);
  // The click sink's lines written so far.
  std::vector<std::string> ClickLines() const;
  // Addresses handed to the system's browser.
  const std::vector<std::string>& opened() const { return opened_; }

  GtkWidget* toplevel_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  std::unique_ptr<ParentWindow> parent_;
  std::vector<std::unique_ptr<CMyHtmlView>> views_;
  std::vector<std::string> opened_;
  std::unique_ptr<ScopedBrowserOpener> opener_;
  std::unique_ptr<ScopedBrowserHost> host_;
  std::unique_ptr<DebugCapture> capture_;
  int host_lookups_ = 0;
};

}  // namespace qrv::test
