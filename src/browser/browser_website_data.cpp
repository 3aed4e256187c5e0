// Clearing the engine's caches for the cache cleaner, one site after another so the cleaner can
// count them, then a clear by type for whatever no site listed (WebKit keeps some data, such as
// the disk cache's own records, outside any site).

#include <webkit2/webkit2.h>

#include <functional>
#include <vector>

#include "browser/browser_engine.h"

namespace qrv {
namespace {

// What the engine keeps only to load pages faster: its memory and disk caches and the offline
// application cache. What a page stored on purpose (local and session storage, IndexedDB, service
// workers and their caches, HSTS decisions) and the cookies stay: a game keeps its settings or a
// login token there, and a cache cleaner must not log the player out of the game.
constexpr auto kCaches =
    static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE |
                                        WEBKIT_WEBSITE_DATA_OFFLINE_APPLICATION_CACHE);

// One clearing, alive from the fetch to the final clear; it holds what WebKit's callbacks need.
struct ClearJob {
  ClearJob(WebKitWebsiteDataManager* data_manager, std::function<void()> cleared,
           std::function<void()> finished)
      : manager(WEBKIT_WEBSITE_DATA_MANAGER(g_object_ref(data_manager))),
        site_cleared(std::move(cleared)),
        done(std::move(finished)) {}
  ~ClearJob() {
    for (WebKitWebsiteData* site : sites) webkit_website_data_unref(site);
    g_object_unref(manager);
  }
  ClearJob(const ClearJob&) = delete;
  ClearJob& operator=(const ClearJob&) = delete;

  WebKitWebsiteDataManager* manager;
  std::vector<WebKitWebsiteData*> sites;
  std::size_t next = 0;
  std::function<void()> site_cleared;
  std::function<void()> done;
};

void RemoveNextSite(ClearJob* job);

void OnCleared(GObject* source, GAsyncResult* result, gpointer data) {
  auto* job = static_cast<ClearJob*>(data);
  // A failure leaves that data where it was; the cleaner goes on all the same.
  webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
  if (job->done) job->done();
  delete job;
}

void OnSiteRemoved(GObject* source, GAsyncResult* result, gpointer data) {
  auto* job = static_cast<ClearJob*>(data);
  webkit_website_data_manager_remove_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
  ++job->next;
  if (job->site_cleared) job->site_cleared();
  RemoveNextSite(job);
}

void RemoveNextSite(ClearJob* job) {
  if (job->next >= job->sites.size()) {
    webkit_website_data_manager_clear(job->manager, kCaches, 0, nullptr, OnCleared, job);
    return;
  }
  // WebKit reads the list during the call.
  GList* one = g_list_prepend(nullptr, job->sites[job->next]);
  webkit_website_data_manager_remove(job->manager, kCaches, one, nullptr, OnSiteRemoved, job);
  g_list_free(one);
}

void OnFetched(GObject* source, GAsyncResult* result, gpointer data) {
  auto* job = static_cast<ClearJob*>(data);
  GList* sites =
      webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
  // The job takes the list's references over.
  for (GList* it = sites; it != nullptr; it = it->next)
    job->sites.push_back(static_cast<WebKitWebsiteData*>(it->data));
  g_list_free(sites);
  RemoveNextSite(job);
}

}  // namespace

void BrowserEngine::ClearCaches(std::function<void()> site_cleared, std::function<void()> done) {
  auto* job = new ClearJob(website_data_, std::move(site_cleared), std::move(done));
  webkit_website_data_manager_fetch(website_data_, kCaches, nullptr, OnFetched, job);
}

}  // namespace qrv
