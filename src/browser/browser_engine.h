#pragma once
// The browser engine of the process: one WebKitWebContext over a persistent website data manager
// in the program's data folder, and the cookie mirror that ties WebKit's cookies to the store of
// the web clients. Every browser view of the process shows its pages through it.
//
// It lives in the WebKit module ("libqrv_webkit.so"): the first view that must show a page makes
// it through the module's entry point (web_engine.h), in the program's data folder, and it stays
// to the end of the process. Tests link it in and make their own in a temporary folder.

#include <webkit2/webkit2.h>

#include <memory>
#include <string>

#include "browser/browser_cookie_mirror.h"
#include "browser/browser_private_ca.h"
#include "browser/web_engine.h"
#include "net/web_context.h"

namespace qrv {

class BrowserEngine final : public WebEngine {
 public:
  // WebKit keeps its website data and its disk cache in `folders`. `web` (its cookie store and
  // hosts) must outlive the engine. The newest engine is the current one while it lives.
  BrowserEngine(const WebEngineFolders& folders, WebContext& web);
  ~BrowserEngine() override;
  BrowserEngine(const BrowserEngine&) = delete;
  BrowserEngine& operator=(const BrowserEngine&) = delete;

  // The current engine when it is a WebKit one.
  static BrowserEngine* Current();

  std::unique_ptr<PageView> CreatePageView(GtkContainer* host, BrowserClickSink& click_sink) override;
  void LoadWhenCookiesSettled(std::function<void()> load) override;
  // Through the website data manager (browser_website_data.cpp): the sites with cached data are
  // fetched and cleared one site after another, then whatever no site listed is cleared by type.
  void ClearCaches(std::function<void()> site_cleared, std::function<void()> done) override;

  WebKitWebContext* context() const { return context_; }
  // For the cache cleaner: website data is cleared by type through it.
  WebKitWebsiteDataManager* website_data() const { return website_data_; }
  CookieMirror& cookies() { return *cookies_; }

 private:
  WebKitWebsiteDataManager* website_data_ = nullptr;
  WebKitWebContext* context_ = nullptr;
  std::unique_ptr<CookieMirror> cookies_;
  std::unique_ptr<PrivateAuthorities> private_authorities_;  // null: the system's store only
  WebEngine* previous_ = nullptr;
};

}  // namespace qrv
