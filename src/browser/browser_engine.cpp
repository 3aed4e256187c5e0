#include "browser/browser_engine.h"

#include <glib.h>

#include <utility>
#include <vector>

#include "browser/browser_cookie_convert.h"
#include "browser/browser_private_ca.h"
#include "browser/browser_web_view.h"
#include "net/deploy_config.h"
#include "platform/debug_sink.h"

namespace qrv {
namespace {

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

// No page saves files on the player's machine: a download a page starts (a link with
// "download", a response the view cannot show) is cancelled before it has a destination, and
// noted in the debug output.
gboolean RefuseDestination(WebKitDownload*, gchar*, gpointer) { return TRUE; }

void CancelDownload(WebKitWebContext*, WebKitDownload* download, gpointer) {
  WebKitURIRequest* request = webkit_download_get_request(download);
  const char* uri = request != nullptr ? webkit_uri_request_get_uri(request) : nullptr;
  // Handled, with no destination set: nothing is written even if the cancel came too late.
  g_signal_connect(download, "decide-destination", G_CALLBACK(&RefuseDestination), nullptr);
  webkit_download_cancel(download);
  OutputDebugString(std::string("*****下载已取消*****") + (uri != nullptr ? uri : "") + "\r\n");
}

}  // namespace

BrowserEngine::BrowserEngine(const WebEngineFolders& folders, WebContext& web)
    : private_authorities_(PrivateAuthorities::Load(web.deploy().cafile)) {
  PrepareBrowserEnvironment();
  website_data_ =
      webkit_website_data_manager_new("base-data-directory", folders.website_data.c_str(),
                                      "base-cache-directory", folders.disk_cache.c_str(), nullptr);
  // A certificate that does not check out ends the load; no page can click its way past it.
  webkit_website_data_manager_set_tls_errors_policy(website_data_, WEBKIT_TLS_ERRORS_POLICY_FAIL);
  context_ = webkit_web_context_new_with_website_data_manager(website_data_);
  // Pages run in web processes confined by the engine's sandbox (bubblewrap): namespaces of
  // their own (mounts, process ids, and users unless the program runs as root), a system-call
  // filter, a file system of the system's libraries and fonts only, no home folder. It must be on before the
  // first web process starts. The views load no web extension, so nothing of the program's own needs adding
  // to the sandbox.
  webkit_web_context_set_sandbox_enabled(context_, TRUE);
  g_signal_connect(context_, "download-started", G_CALLBACK(&CancelDownload), nullptr);
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
  return std::make_unique<BrowserWebView>(context_, host, click_sink, private_authorities_.get());
}

void BrowserEngine::LoadWhenCookiesSettled(std::function<void()> load) {
  // Changes made since the store last announced one go out first.
  cookies_->PushStoreChanges();
  cookies_->WhenSettled(std::move(load));
}

}  // namespace qrv
