#pragma once
// CMyHtmlView: the browser view, a child window that shows web pages inside the launcher's
// windows (the game page and further browser tabs of the main frame), and the hidden view of
// no size that the login window and the More panel use only to open pages in the system's
// browser.
//
// The window is a WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN window named "MyWebBrowser" in the
// message core. Its pages are shown by a WebKit web view (BrowserWebView) in the window's native
// container, made only when the view must show a page: a hidden view or one of no size keeps the
// address and makes nothing until it is shown at a size. Navigate2 with the open-in-new-window
// flag hands the address to the system's browser and never makes a web view. Before a page is
// loaded the engine's cookie mirror has settled, so the page's request carries every cookie the
// web clients hold. Right clicks and the context menu are swallowed, new-window requests go to
// the system's browser, and the click sink reports clicked links.
//
// The view is owned by its opener (a member of the main frame, or held by a tab record); it never
// deletes itself. Where there is no native container (the headless back end), the view records
// its navigations and shows nothing, so window logic can be tested without a display.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "browser/browser_click_sink.h"
#include "platform/message_core.h"
#include "platform/window_system.h"

namespace qrv {

class PageView;
class WebContext;

// Navigate2 flags.
inline constexpr unsigned navOpenInNewWindow = 0x1;

class CMyHtmlView final : public MessageTarget {
 public:
  static constexpr char kWindowName[] = "MyWebBrowser";
  static constexpr int kFirstViewId = 10000;
  static constexpr int kBrowserTabId = 10001;

  // The click sink (and its web client) is made with the view object. `context` must outlive it.
  explicit CMyHtmlView(WebContext& context);
  ~CMyHtmlView() override;  // destroys the window when it is still there
  CMyHtmlView(const CMyHtmlView&) = delete;
  CMyHtmlView& operator=(const CMyHtmlView&) = delete;

  // Makes the view window as a child of `parent` at `rect` (parent client coordinates) with the
  // given style (WS_CLIPCHILDREN is always added). Returns its handle, or null when `parent` is
  // not a window or the view already has a window.
  HWND Create(HWND parent, const RECT& rect, int control_id, std::uint32_t style = WS_CHILD | WS_VISIBLE);

  // Shows `url` in the view; with navOpenInNewWindow in `flags`, opens it in the system's
  // browser instead (web addresses only) and leaves the view as it is.
  void Navigate2(const std::string& url, unsigned flags = 0);

  HWND GetHWND() const { return hwnd_; }
  int GetDlgCtrlID() const { return control_id_; }
  // Places the window (parent client coordinates); the web view follows its size.
  void MoveWindow(const RECT& rect);
  void DestroyWindow();

  // Every in-view navigation asked for, in order (the headless record of what was shown).
  const std::vector<std::string>& navigations() const { return navigations_; }
  // The address shown: the web view's, or the last one asked for while none is shown.
  std::string GetLocationURL() const;
  // The web view, once the view has made one; null for hidden and headless views.
  PageView* browser() const { return browser_.get(); }
  const BrowserClickSink& click_sink() const { return click_sink_; }

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  bool MustShowPages() const;
  // Makes the web view when the view must show its waiting address, then loads it once the
  // cookies are in the browser.
  void ShowWaitingPage();
  void FitWebView();
  void TearDownWebView();

  WebContext& context_;
  BrowserClickSink click_sink_;
  HWND hwnd_ = nullptr;
  int control_id_ = 0;
  std::vector<std::string> navigations_;
  std::string waiting_url_;
  bool has_waiting_url_ = false;
  std::unique_ptr<PageView> browser_;
  // Loads waiting for the cookie mirror hold this weakly, so a view destroyed meanwhile is not
  // touched.
  std::shared_ptr<CMyHtmlView*> alive_;
};

}  // namespace qrv
