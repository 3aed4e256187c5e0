#include "browser/browser_engine.h"

#include <glib.h>

#include <utility>
#include <vector>

#include "net/deploy_config.h"
#include "browser/browser_cookie_convert.h"
#include "browser/browser_web_view.h"

namespace qrv {
namespace {

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

BrowserEngine::BrowserEngine(const WebEngineFolders& folders, WebContext& web) {
  PrepareBrowserEnvironment();
  website_data_ =
      webkit_website_data_manager_new("base-data-directory", folders.website_data.c_str(),
                                      "base-cache-directory", folders.disk_cache.c_str(), nullptr);
  context_ = webkit_web_context_new_with_website_data_manager(website_data_);
  // WebKit's own cookies stay in memory: the cookie store's file is the one kept across runs, and
  // the mirror fills the browser from it.
  cookies_ = std::make_unique<CookieMirror>(web.cookies(),
                                            webkit_website_data_manager_get_cookie_manager(website_data_),
                                            PlatformHostsFilter(web.deploy()));
  previous_ = ExchangeCurrentWebEngine(this);
}

BrowserEngine::~BrowserEngine() {
  if (CurrentWebEngine() == this) ExchangeCurrentWebEngine(previous_);
  cookies_.reset();
  g_object_unref(context_);
  g_object_unref(website_data_);
}

BrowserEngine* BrowserEngine::Current() { return dynamic_cast<BrowserEngine*>(CurrentWebEngine()); }

std::unique_ptr<PageView> BrowserEngine::CreatePageView(GtkContainer* host, BrowserClickSink& click_sink) {
  return std::make_unique<BrowserWebView>(context_, host, click_sink);
}

void BrowserEngine::LoadWhenCookiesSettled(std::function<void()> load) {
  // Changes made since the store last announced one go out first.
  cookies_->PushStoreChanges();
  cookies_->WhenSettled(std::move(load));
}

}  // namespace qrv
