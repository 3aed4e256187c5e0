#include "browser/browser_cookie_mirror.h"

#include <utility>

#include "browser/browser_cookie_convert.h"

namespace qrv {
namespace {

// The store's live cookies by identity. Libcurl goes on listing a cookie whose expiry has passed
// until it next sweeps; such a cookie is never sent, so here it counts as gone.
std::map<std::string, Cookie> LiveByIdentity(const std::vector<Cookie>& cookies) {
  const std::int64_t now = g_get_real_time() / G_USEC_PER_SEC;
  std::map<std::string, Cookie> keyed;
  for (const Cookie& cookie : cookies) {
    if (cookie.expires != 0 && cookie.expires <= now) continue;
    keyed[CookieIdentity(cookie)] = NormalizedCookie(cookie);
  }
  return keyed;
}

bool Cancelled(const GError* error) { return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED); }

// A cookie added already expired replaces the live one and is never sent again: the store has no
// other way to be told that the browser dropped it.
constexpr std::int64_t kLongExpired = 1;

}  // namespace

CookieMirror::CookieMirror(CookieStore& store, WebKitCookieManager* manager, Filter copy_back)
    : store_(store),
      manager_(WEBKIT_COOKIE_MANAGER(g_object_ref(manager))),
      copy_back_(std::move(copy_back)),
      cancellable_(g_cancellable_new()) {
  g_signal_connect(manager_, "changed", G_CALLBACK(&CookieMirror::OnBrowserChanged), this);
  store_.SetChangeListener([this] { PushStoreChanges(); });
  PushStoreChanges();
}

CookieMirror::~CookieMirror() {
  store_.SetChangeListener(nullptr);
  // Calls still under way finish with a cancellation error and no longer reach this object.
  g_cancellable_cancel(cancellable_);
  g_signal_handlers_disconnect_by_data(manager_, this);
  g_object_unref(cancellable_);
  g_object_unref(manager_);
}

void CookieMirror::PushStoreChanges() {
  const std::map<std::string, Cookie> current = LiveByIdentity(store_.All());
  for (const auto& [key, cookie] : current) {
    auto known = mirrored_.find(key);
    if (known != mirrored_.end() && SameCookie(known->second, cookie)) continue;
    mirrored_[key] = cookie;
    ++pending_;
    ++send_generation_;
    g_autoptr(SoupCookie) soup = NewSoupCookie(cookie);
    webkit_cookie_manager_add_cookie(manager_, soup, cancellable_, &CookieMirror::OnCookieSent, this);
  }
  for (auto it = mirrored_.begin(); it != mirrored_.end();) {
    if (current.contains(it->first)) {
      ++it;
      continue;
    }
    ++pending_;
    ++send_generation_;
    g_autoptr(SoupCookie) soup = NewSoupCookie(it->second);
    webkit_cookie_manager_delete_cookie(manager_, soup, cancellable_, &CookieMirror::OnCookieDeleted, this);
    it = mirrored_.erase(it);
  }
  if (pending_ == 0) {
    // Nothing was sent: waiters need not wait for a completion that will not come.
    ++pending_;
    OperationDone();
  }
}

void CookieMirror::WhenSettled(std::function<void()> done) {
  if (pending_ == 0 && waiters_.empty()) {
    done();
    return;
  }
  waiters_.push_back(std::move(done));
}

void CookieMirror::OnCookieSent(GObject* source, GAsyncResult* result, gpointer self) {
  g_autoptr(GError) error = nullptr;
  webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, &error);
  if (Cancelled(error)) return;  // the mirror has gone
  static_cast<CookieMirror*>(self)->OperationDone();
}

void CookieMirror::OnCookieDeleted(GObject* source, GAsyncResult* result, gpointer self) {
  g_autoptr(GError) error = nullptr;
  webkit_cookie_manager_delete_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, &error);
  if (Cancelled(error)) return;
  static_cast<CookieMirror*>(self)->OperationDone();
}

void CookieMirror::OperationDone() {
  if (--pending_ > 0) return;
  // A waiter may navigate, which may push again; it then waits its own turn.
  std::vector<std::function<void()>> waiters = std::exchange(waiters_, {});
  for (auto& waiter : waiters) waiter();
  if (browser_changed_again_ && !reading_browser_ && pending_ == 0) RequestBrowserCookies();
}

void CookieMirror::OnBrowserChanged(WebKitCookieManager*, gpointer self) {
  auto* mirror = static_cast<CookieMirror*>(self);
  // While our own cookies are on their way, a look would see the browser half updated; look
  // once they have arrived.
  if (mirror->pending_ > 0 || mirror->reading_browser_) {
    mirror->browser_changed_again_ = true;
    return;
  }
  mirror->RequestBrowserCookies();
}

void CookieMirror::RequestBrowserCookies() {
  reading_browser_ = true;
  browser_changed_again_ = false;
  read_generation_ = send_generation_;
  webkit_cookie_manager_get_all_cookies(manager_, cancellable_, &CookieMirror::OnBrowserCookies, this);
}

void CookieMirror::OnBrowserCookies(GObject* source, GAsyncResult* result, gpointer self) {
  g_autoptr(GError) error = nullptr;
  GList* list = webkit_cookie_manager_get_all_cookies_finish(WEBKIT_COOKIE_MANAGER(source), result, &error);
  if (Cancelled(error)) {
    g_list_free_full(list, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
    return;
  }
  auto* mirror = static_cast<CookieMirror*>(self);
  mirror->reading_browser_ = false;
  if (error == nullptr && mirror->read_generation_ == mirror->send_generation_) {
    std::map<std::string, Cookie> browser;
    for (GList* item = list; item != nullptr; item = item->next) {
      auto cookie = CookieFromSoup(static_cast<SoupCookie*>(item->data));
      if (cookie && (!mirror->copy_back_ || mirror->copy_back_(*cookie)))
        browser[CookieIdentity(*cookie)] = *cookie;
    }
    mirror->TakeBrowserCookies(browser);
  } else if (error == nullptr) {
    // We sent cookies while reading: what we read may predate them. Read again once they are in.
    mirror->browser_changed_again_ = true;
  }
  g_list_free_full(list, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
  if (mirror->browser_changed_again_ && mirror->pending_ == 0) mirror->RequestBrowserCookies();
}

void CookieMirror::TakeBrowserCookies(const std::map<std::string, Cookie>& browser) {
  const std::map<std::string, Cookie> in_store = LiveByIdentity(store_.All());
  bool changed = false;
  for (const auto& [key, cookie] : browser) {
    auto stored = in_store.find(key);
    if (stored == in_store.end() || !SameCookie(stored->second, cookie)) {
      store_.Add(cookie);
      changed = true;
    }
    mirrored_[key] = cookie;
  }
  for (const auto& [key, cookie] : browser_seen_) {
    if (browser.contains(key)) continue;
    auto stored = in_store.find(key);
    if (stored != in_store.end()) {
      Cookie gone = stored->second;
      gone.expires = kLongExpired;
      store_.Add(gone);
      changed = true;
    }
    mirrored_.erase(key);
  }
  browser_seen_ = browser;
  // Announcing the change lets the store save itself; its listener (PushStoreChanges) then finds
  // nothing to send, since what came from the browser is already marked as mirrored.
  if (changed) store_.NotifyChanged();
}

}  // namespace qrv
