// The entry point of the WebKit module "libqrv_webkit.so": the program loads it when the first
// view must show a page and makes the process's engine through it.

#include "net/web_context.h"
#include "browser/browser_engine.h"

extern "C" __attribute__((visibility("default"))) qrv::WebEngine* qrv_webkit_create_engine(const char* data_folder,
                                                                                          qrv::WebContext* web) {
  if (data_folder == nullptr || web == nullptr) return nullptr;
  // Kept to the end of the process: it holds the cookie store's change listener.
  return new qrv::BrowserEngine(data_folder, *web);
}
