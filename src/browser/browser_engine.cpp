#include "browser/browser_engine.h"

#include <glib.h>

#include <utility>
#include <vector>

#include "app/deploy_config.h"
#include "browser/browser_cookie_convert.h"
#include "platform/process.h"

namespace qrv {
namespace {

BrowserEngine*& CurrentEngine() {
  static BrowserEngine* engine = nullptr;
  return engine;
}

std::string HostOfAddress(const std::string& address) {
  g_autoptr(GUri) uri = g_uri_parse(address.c_str(), G_URI_FLAGS_NONE, nullptr);
  const char* host = uri != nullptr ? g_uri_get_host(uri) : nullptr;
  return host != nullptr ? host : "";
}

// Cookies the launcher's own requests could send: those of the platform's hosts. What the page
// gets from other hosts (advertising, counters) stays in the browser, so the store and its file
// are not rewritten for every third-party cookie.
CookieMirror::Filter PlatformHostsFilter(const DeployConfig& deploy) {
  std::vector<std::string> hosts;
  for (const std::string* value : {&deploy.site, &deploy.interface, &deploy.game, &deploy.stat,
                                   &deploy.account, &deploy.forum, &deploy.pay, &deploy.domain}) {
    std::string host = SplitHostPort(*value).host;
    if (!host.empty()) hosts.push_back(std::move(host));
  }
  if (std::string host = HostOfAddress(deploy.service); !host.empty()) hosts.push_back(std::move(host));
  return [hosts = std::move(hosts)](const Cookie& cookie) {
    for (const std::string& host : hosts) {
      if (CookieDomainMatchesHost(cookie, host)) return true;
    }
    return false;
  };
}

}  // namespace

void PrepareBrowserEnvironment() { g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE); }

BrowserEngine::BrowserEngine(const std::string& data_folder, WebContext& web) : data_folder_(data_folder) {
  PrepareBrowserEnvironment();
  g_autofree gchar* data_dir = g_build_filename(data_folder.c_str(), "webkit", nullptr);
  g_autofree gchar* cache_dir = g_build_filename(data_folder.c_str(), "webkit-cache", nullptr);
  website_data_ = webkit_website_data_manager_new("base-data-directory", data_dir, "base-cache-directory",
                                                  cache_dir, nullptr);
  context_ = webkit_web_context_new_with_website_data_manager(website_data_);
  // WebKit's own cookies stay in memory: the cookie store's file is the one kept across runs, and
  // the mirror fills the browser from it.
  cookies_ = std::make_unique<CookieMirror>(web.cookies(),
                                            webkit_website_data_manager_get_cookie_manager(website_data_),
                                            PlatformHostsFilter(web.deploy()));
  previous_ = std::exchange(CurrentEngine(), this);
}

BrowserEngine::~BrowserEngine() {
  if (CurrentEngine() == this) CurrentEngine() = previous_;
  cookies_.reset();
  g_object_unref(context_);
  g_object_unref(website_data_);
}

BrowserEngine* BrowserEngine::Current() { return CurrentEngine(); }

BrowserEngine& BrowserEngine::CurrentOrDefault(WebContext& web) {
  if (BrowserEngine* engine = Current()) return *engine;
  // Kept to the end of the process on purpose: it holds the store's change listener, and the
  // store may be destroyed before static destructors would run.
  return *new BrowserEngine(DefaultDataFolder(), web);
}

namespace {
std::string& ConfiguredDataFolder() {
  static std::string folder;
  return folder;
}
}  // namespace

void BrowserEngine::SetDefaultDataFolder(std::string folder) { ConfiguredDataFolder() = std::move(folder); }

std::string BrowserEngine::DefaultDataFolder() {
  if (!ConfiguredDataFolder().empty()) return ConfiguredDataFolder();
  const std::string program = ProgramPath();
  g_autofree gchar* folder = g_path_get_dirname(program.empty() ? "." : program.c_str());
  g_autofree gchar* data = g_build_filename(folder, "data", nullptr);
  return data;
}

}  // namespace qrv
