// The entry point of the WebKit module "libqrv_webkit.so": the program loads it when the first
// view must show a page and makes the process's engine through it.

#include "net/web_context.h"
#include "browser/browser_engine.h"

extern "C" __attribute__((visibility("default"))) qrv::WebEngine* qrv_webkit_create_engine(
    const char* website_data, const char* disk_cache, qrv::WebContext* web) {
  if (website_data == nullptr || disk_cache == nullptr || web == nullptr) return nullptr;
  // Kept to the end of the process: it holds the cookie store's change listener.
  return new qrv::BrowserEngine(qrv::WebEngineFolders{website_data, disk_cache}, *web);
}
