#pragma once
// The web engine as the browser views see it. WebKit itself lives in a module of its own,
// "libqrv_webkit.so" beside the program, loaded when the first view must show a page: until then
// the program carries none of WebKit's hundred libraries, starts as fast as a plain GTK program and
// runs no web process (the login window only hands pages to the system's browser). Tests link the
// engine in and register it directly.

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class BrowserClickSink;
class WebContext;

// WebKit's DMA-BUF renderer leaves views blank on some drivers and under virtual displays; it is
// turned off unless the player has set WEBKIT_DISABLE_DMABUF_RENDERER. With it off, the program
// names the GPU's render node to WebKit itself, so that WebKit does not load the GL driver into the
// program's process to ask (render_node.h). Best called first thing in main, before any thread
// could read the environment; the engine calls it again in any case.
void PrepareBrowserEnvironment();

// One web view showing pages in a view window's native container.
class PageView {
 public:
  virtual ~PageView() = default;
  virtual void Load(const std::string& uri) = 0;
  // The size of the view window's client area, which the web view fills.
  virtual void SetSize(int width, int height) = 0;
  virtual void SetVisible(bool visible) = 0;
  // The address of the page shown (or being loaded); empty before the first load.
  virtual std::string uri() const = 0;
};

class WebEngine {
 public:
  virtual ~WebEngine() = default;
  // A web view in `host` (at its top-left corner) whose clicked links go to `click_sink`, which
  // must outlive it.
  virtual std::unique_ptr<PageView> CreatePageView(GtkContainer* host, BrowserClickSink& click_sink) = 0;
  // Runs `load` once the browser holds every cookie of the web clients' store, so the page's
  // request carries them all.
  virtual void LoadWhenCookiesSettled(std::function<void()> load) = 0;
  // Removes what the engine caches (its memory and disk caches, the offline application cache) and
  // nothing a page stored on purpose: cookies, web storage, databases and service workers stay, so
  // the player stays logged in and a game keeps its settings. `site_cleared` runs once for each
  // site whose cached data was removed, then `done` once; both on the UI thread, later.
  virtual void ClearCaches(std::function<void()> site_cleared, std::function<void()> done) = 0;
};

// The engine of the process: the current one, or else one made now in the data folder (by the
// registered factory, or by loading the WebKit module). Null when none can be had; the caller
// then shows nothing.
WebEngine* ProcessWebEngine(WebContext& web);

// The engine that registered itself last (engines do so while they live), or null.
WebEngine* CurrentWebEngine();
// Makes `engine` current and returns the previous one; engines call it from their constructor
// and give the previous one back from their destructor.
WebEngine* ExchangeCurrentWebEngine(WebEngine* engine);

// Where an engine keeps what it writes: its website data (storage, databases, ...) and its disk
// cache, which the cache cleaner empties.
struct WebEngineFolders {
  std::string website_data;
  std::string disk_cache;
};

// Makes the default engine in place of the module (tests, and programs that link WebKit in).
using WebEngineFactory = std::function<WebEngine*(const WebEngineFolders& folders, WebContext& web)>;
void SetWebEngineFactory(WebEngineFactory factory);

// Where the default engine keeps its data, as the program's paths decide. Unset (an empty
// folder), "data/webkit" and "data/webkit-cache" in the program's folder.
void SetWebEngineFolders(WebEngineFolders folders);
WebEngineFolders CurrentWebEngineFolders();
// The disk-cache folder of the default engine.
std::string WebEngineCacheFolder();

// The module's entry point, found by name in "libqrv_webkit.so": makes the engine.
inline constexpr const char* kWebKitModuleName = "qrv_webkit";
inline constexpr const char* kWebKitModuleEntry = "qrv_webkit_create_engine";
using WebKitModuleEntry = WebEngine* (*)(const char* website_data, const char* disk_cache, WebContext* web);

}  // namespace qrv
