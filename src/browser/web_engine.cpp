#include "browser/web_engine.h"

#include <gmodule.h>

#include <cstdio>
#include <cstring>

#include "browser/render_node.h"
#include "platform/debug_sink.h"
#include "platform/process.h"

namespace qrv {
namespace {

WebEngine*& Current() {
  static WebEngine* engine = nullptr;
  return engine;
}

WebEngineFactory& Factory() {
  static WebEngineFactory factory;
  return factory;
}

WebEngineFolders& Folders() {
  static WebEngineFolders folders;
  return folders;
}

// "data/<name>" in the program's folder.
std::string InProgramData(const char* name) {
  const std::string program = ProgramPath();
  g_autofree gchar* folder = g_path_get_dirname(program.empty() ? "." : program.c_str());
  g_autofree gchar* path = g_build_filename(folder, "data", name, nullptr);
  return path;
}

// Loads "libqrv_webkit.so" from the program's folder and makes the engine through its entry.
WebEngine* EngineFromModule(const WebEngineFolders& folders, WebContext& web) {
  static GModule* module = nullptr;
  static bool failed = false;
  if (module == nullptr && !failed) {
    const std::string program = ProgramPath();
    g_autofree gchar* folder = g_path_get_dirname(program.empty() ? "." : program.c_str());
    g_autofree gchar* path = g_module_build_path(folder, kWebKitModuleName);
    // Kept for the life of the process: WebKit's threads and types stay behind.
    module = g_module_open(path, G_MODULE_BIND_LOCAL);
    if (module == nullptr) {
      failed = true;
      std::fprintf(stderr, "zelto_qrv: the web engine %s cannot be loaded: %s\n", path, g_module_error());
      OutputDebugString(std::string("*****网页引擎无法加载*****\r\n"));
      return nullptr;
    }
    g_module_make_resident(module);
  }
  if (module == nullptr) return nullptr;
  gpointer entry = nullptr;
  if (!g_module_symbol(module, kWebKitModuleEntry, &entry) || entry == nullptr) return nullptr;
  return reinterpret_cast<WebKitModuleEntry>(entry)(folders.website_data.c_str(), folders.disk_cache.c_str(),
                                                    &web);
}

}  // namespace

void PrepareBrowserEnvironment() {
  g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);
  // WebKit takes the renderer as off for any value but "0".
  const char* dmabuf = g_getenv("WEBKIT_DISABLE_DMABUF_RENDERER");
  const bool dmabuf_renderer_off = dmabuf != nullptr && std::strcmp(dmabuf, "0") != 0;
  const std::string device =
      RenderDeviceSetting(dmabuf_renderer_off, g_getenv(kRenderDeviceVariable), "/dev/dri");
  if (!device.empty()) g_setenv(kRenderDeviceVariable, device.c_str(), TRUE);
}

WebEngine* CurrentWebEngine() { return Current(); }

WebEngine* ExchangeCurrentWebEngine(WebEngine* engine) {
  WebEngine* previous = Current();
  Current() = engine;
  return previous;
}

void SetWebEngineFactory(WebEngineFactory factory) { Factory() = std::move(factory); }

void SetWebEngineFolders(WebEngineFolders folders) { Folders() = std::move(folders); }

WebEngineFolders CurrentWebEngineFolders() {
  WebEngineFolders folders = Folders();
  if (folders.website_data.empty()) folders.website_data = InProgramData("webkit");
  if (folders.disk_cache.empty()) folders.disk_cache = InProgramData("webkit-cache");
  return folders;
}

std::string WebEngineCacheFolder() { return CurrentWebEngineFolders().disk_cache; }

WebEngine* ProcessWebEngine(WebContext& web) {
  if (WebEngine* engine = Current()) return engine;
  // The engine made here is kept to the end of the process on purpose: it holds the cookie
  // store's change listener, and the store may be gone before static destructors would run.
  const WebEngineFolders folders = CurrentWebEngineFolders();
  WebEngine* engine = Factory() ? Factory()(folders, web) : EngineFromModule(folders, web);
  // An engine registers itself; one that did not (or whose registration went to another copy of
  // this code) is made current here, so it is made once.
  if (engine != nullptr && Current() == nullptr) Current() = engine;
  return engine;
}

}  // namespace qrv
