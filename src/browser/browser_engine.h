#pragma once
// The browser engine of the process: one WebKitWebContext over a persistent website data manager
// in the program's data folder, and the cookie mirror that ties WebKit's cookies to the store of
// the web clients. Every browser view of the process shows its pages through it.
//
// The application makes one at start-up, after its WebContext, and keeps it to the end; a view
// that needs a web view while there is none makes the default one itself (program folder, kept
// for the life of the process). Tests make their own in a temporary folder.

#include <webkit2/webkit2.h>

#include <memory>
#include <string>

#include "app/web_context.h"
#include "browser/browser_cookie_mirror.h"

namespace qrv {

// WebKit's DMA-BUF renderer leaves views blank on some drivers and under virtual displays; it is
// turned off unless the player has set WEBKIT_DISABLE_DMABUF_RENDERER. Best called first thing in
// main, before any thread could read the environment; the engine calls it again before the
// first web view in any case.
void PrepareBrowserEnvironment();

class BrowserEngine {
 public:
  // `data_folder` is the program's "data" folder: WebKit keeps its website data in "webkit" and
  // its disk cache in "webkit-cache" below it. `web` (its cookie store and hosts) must outlive
  // the engine. The newest engine is the current one while it lives.
  BrowserEngine(const std::string& data_folder, WebContext& web);
  ~BrowserEngine();
  BrowserEngine(const BrowserEngine&) = delete;
  BrowserEngine& operator=(const BrowserEngine&) = delete;

  static BrowserEngine* Current();
  // The current engine, or else the default one for `web`, made now in DefaultDataFolder().
  static BrowserEngine& CurrentOrDefault(WebContext& web);
  // "<folder of the program>/data".
  static std::string DefaultDataFolder();
  // Where the default engine keeps its data. The program sets it at start-up and lets the first
  // view that shows a page make the engine: until then no web process runs and WebKit's memory
  // is not touched, which keeps the login window as light as a plain window.
  static void SetDefaultDataFolder(std::string folder);

  WebKitWebContext* context() const { return context_; }
  // For the cache cleaner: website data is cleared by type through it.
  WebKitWebsiteDataManager* website_data() const { return website_data_; }
  CookieMirror& cookies() { return *cookies_; }
  const std::string& data_folder() const { return data_folder_; }

 private:
  std::string data_folder_;
  WebKitWebsiteDataManager* website_data_ = nullptr;
  WebKitWebContext* context_ = nullptr;
  std::unique_ptr<CookieMirror> cookies_;
  BrowserEngine* previous_ = nullptr;
};

}  // namespace qrv
