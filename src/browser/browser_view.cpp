#include "browser/browser_view.h"

#include "browser/browser_host.h"
#include "browser/web_engine.h"
#include "platform/messages.h"
#include "platform/shell.h"

namespace qrv {

CMyHtmlView::CMyHtmlView(WebContext& context)
    : context_(context), click_sink_(context), alive_(std::make_shared<CMyHtmlView*>(this)) {}

CMyHtmlView::~CMyHtmlView() {
  alive_.reset();
  DestroyWindow();
  TearDownWebView();
}

HWND CMyHtmlView::Create(HWND parent, const RECT& rect, int control_id, std::uint32_t style) {
  if (hwnd_ != nullptr || !IsWindow(parent)) return nullptr;
  hwnd_ = RegisterWindow(this);
  control_id_ = control_id;
  WindowCreateParams params;
  params.parent = parent;
  params.title = kWindowName;
  // The page's own windows draw over the view's area; the view never paints beneath them.
  params.style = style | WS_CHILD | WS_CLIPCHILDREN;
  params.rect = rect;
  WindowSystem::Get().Create(hwnd_, params);
  SendMessage(hwnd_, WM_CREATE, 0, 0);
  return hwnd_;
}

void CMyHtmlView::Navigate2(const std::string& url, unsigned flags) {
  if ((flags & navOpenInNewWindow) != 0) {
    // A page for the system's browser: this view shows nothing and makes no web view for it.
    OpenInSystemBrowser(url);
    return;
  }
  navigations_.push_back(url);
  waiting_url_ = url;
  has_waiting_url_ = true;
  ShowWaitingPage();
}

void CMyHtmlView::MoveWindow(const RECT& rect) {
  if (hwnd_ == nullptr) return;
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  // The window system reports a new size with WM_SIZE; a move alone changes nothing here, and
  // fitting again is harmless.
  FitWebView();
  ShowWaitingPage();
}

void CMyHtmlView::DestroyWindow() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) qrv::DestroyWindow(hwnd_);
}

std::string CMyHtmlView::GetLocationURL() const {
  if (browser_ != nullptr) {
    std::string shown = browser_->uri();
    if (!shown.empty()) return shown;
  }
  return navigations_.empty() ? std::string() : navigations_.back();
}

LRESULT CMyHtmlView::HandleMessage(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_SIZE:
      FitWebView();
      ShowWaitingPage();
      return 0;
    case WM_SHOWWINDOW:
      if (browser_ != nullptr) browser_->SetVisible(wparam != 0);
      if (wparam != 0) ShowWaitingPage();
      return 0;
    // The page never sees a right click and no menu comes up.
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_CONTEXTMENU:
      return 0;
    case WM_DESTROY:
      TearDownWebView();
      return 0;
    case WM_NCDESTROY:
      WindowSystem::Get().Destroy(hwnd_);
      hwnd_ = nullptr;
      return 0;
    default:
      return 0;
  }
}

bool CMyHtmlView::MustShowPages() const {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return false;
  // The view's own visibility, not its parent's: the main frame navigates its first view while
  // the frame itself is still being made and not yet shown.
  if ((WindowSystem::Get().Style(hwnd_) & WS_VISIBLE) == 0) return false;
  const RECT client = GetClientRect(hwnd_);
  return client.Width() > 0 && client.Height() > 0;
}

void CMyHtmlView::ShowWaitingPage() {
  if (!has_waiting_url_) return;
  if (browser_ == nullptr) {
    if (!MustShowPages()) return;
    GtkContainer* host = BrowserHostFor(hwnd_);
    if (host == nullptr) return;  // no native window (headless): the navigation stays recorded
    WebEngine* engine = ProcessWebEngine(context_);
    if (engine == nullptr) return;  // no web engine to be had: the address stays waiting
    browser_ = engine->CreatePageView(host, click_sink_);
    FitWebView();
  }
  const std::string url = std::move(waiting_url_);
  has_waiting_url_ = false;
  // The page's request must carry every cookie the web clients hold, including any set since
  // the store last announced a change.
  WebEngine* engine = CurrentWebEngine();
  if (engine == nullptr) {
    browser_->Load(url);
    return;
  }
  engine->LoadWhenCookiesSettled([alive = std::weak_ptr<CMyHtmlView*>(alive_), url] {
    auto self = alive.lock();
    if (self != nullptr && (*self)->browser_ != nullptr) (*self)->browser_->Load(url);
  });
}

void CMyHtmlView::FitWebView() {
  if (browser_ == nullptr || hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  const RECT client = GetClientRect(hwnd_);
  browser_->SetSize(client.Width(), client.Height());
}

void CMyHtmlView::TearDownWebView() {
  browser_.reset();
  has_waiting_url_ = false;
  waiting_url_.clear();
}

}  // namespace qrv
