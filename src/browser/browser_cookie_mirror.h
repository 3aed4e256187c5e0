#pragma once
// Keeps WebKit's cookies in step with the launcher's cookie store, so a cookie the platform sets
// on a web request is sent by the game page, and one the game page receives is sent by the next
// web request (the heartbeat keeps the session the page renewed).
//
// Store to browser: every cookie of the store is added to WebKit's cookie manager when the mirror
// starts, and after each change of the store (its change listener) the difference is sent: added
// or changed cookies are added, cookies that left the store are deleted. Views wait for these
// asynchronous calls (WhenSettled) before they load a page, so the page's request carries them.
//
// Browser to store: when WebKit's cookies change, the ones the filter accepts (the platform's own
// hosts; third-party cookies of the page stay in the browser) are copied into the store, and a
// cookie the browser dropped is dropped from the store by adding it already expired. What either
// side receives from the other is remembered as mirrored, so nothing is echoed back.

#include <webkit2/webkit2.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/cookie_store.h"

namespace qrv {

class CookieMirror {
 public:
  using Filter = std::function<bool(const Cookie&)>;

  // `store` must outlive the mirror; the mirror takes the store's change listener.
  CookieMirror(CookieStore& store, WebKitCookieManager* manager, Filter copy_back);
  ~CookieMirror();
  CookieMirror(const CookieMirror&) = delete;
  CookieMirror& operator=(const CookieMirror&) = delete;

  // Sends the store's changes to the browser now (the listener does this too; views call it
  // before a load in case a change was not announced).
  void PushStoreChanges();

  // Runs `done` once every cookie sent to the browser so far has arrived there: at once when
  // nothing is under way.
  void WhenSettled(std::function<void()> done);
  bool settled() const { return pending_ == 0; }

 private:
  static void OnCookieSent(GObject* source, GAsyncResult* result, gpointer self);
  static void OnCookieDeleted(GObject* source, GAsyncResult* result, gpointer self);
  static void OnBrowserChanged(WebKitCookieManager* manager, gpointer self);
  static void OnBrowserCookies(GObject* source, GAsyncResult* result, gpointer self);

  void OperationDone();
  void RequestBrowserCookies();
  void TakeBrowserCookies(const std::map<std::string, Cookie>& browser);

  CookieStore& store_;
  WebKitCookieManager* manager_;  // owned by the website data manager, which outlives us
  Filter copy_back_;
  GCancellable* cancellable_;

  // What the browser holds of the store's cookies, as far as we know: sent there, or taken from
  // there.
  std::map<std::string, Cookie> mirrored_;
  // The browser's cookies (those the filter accepts) at the last look.
  std::map<std::string, Cookie> browser_seen_;

  int pending_ = 0;
  std::vector<std::function<void()>> waiters_;
  // A look at the browser's cookies is under way / was asked for meanwhile.
  bool reading_browser_ = false;
  bool browser_changed_again_ = false;
  // Raised by every send; a look at the browser begun before a send may miss it and is redone.
  std::uint64_t send_generation_ = 0;
  std::uint64_t read_generation_ = 0;
};

}  // namespace qrv
