#include "net/cookie_store.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <array>
#include <ctime>
#include <mutex>
#include <thread>

#include "net/cookie_line.h"
#include "net/curl_handles.h"
#include "platform/profile_file.h"
#include "platform/reply_port.h"

namespace qrv {
namespace {

constexpr char kFileHeader[] =
    "# Netscape HTTP Cookie File\n"
    "# The launcher's cookies. This file is rewritten whole; hand edits of a running launcher are lost.\n\n";

// A cookie file beyond this is not the launcher's own: it is left unread rather than held in memory.
constexpr gsize kMaxFileBytes = 8 * 1024 * 1024;

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

// Only cookies with an expiry are written. A session cookie asks to end with the browsing
// session, and the launcher's session ends with the process, as it does for a browser.
std::string PersistentText(const std::vector<Cookie>& cookies) {
  const std::int64_t now = Now();
  std::string text = kFileHeader;
  for (const Cookie& cookie : cookies) {
    if (cookie.expires == 0 || cookie.expires <= now) continue;
    text += FormatCookieLine(cookie);
    text += '\n';
  }
  return text;
}

std::string FullText(const std::vector<Cookie>& cookies) {
  std::string text;
  for (const Cookie& cookie : cookies) {
    text += FormatCookieLine(cookie);
    text += '\n';
  }
  return text;
}

}  // namespace

struct CookieStore::Impl {
  std::string file;
  bool opened = false;  // EnsureOpen has run
  CURLSH* share = nullptr;
  // Attached to the share, never used for a transfer: it reads and writes the shared cookies.
  CurlEasy handle;
  // Requests run on the request lanes' threads while the browser's mirror works on the UI
  // thread: libcurl locks the shared cookies with these, and `mutex` guards the store's own
  // handle and texts.
  std::array<std::recursive_mutex, CURL_LOCK_DATA_LAST> locks;
  std::mutex mutex;
  std::function<void()> listener;
  std::string notified_text;  // every cookie, at the last NotifyChanged
  std::string saved_text;     // the file's content, at the last load or save
  // The listener runs on the thread that made the store (the UI thread); a change noticed on a
  // lane's thread reaches it through this port.
  std::thread::id owner_thread = std::this_thread::get_id();
  ReplyPort port;

  // Guarded by `mutex`.
  void EnsureOpen();

  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<Impl*>(self)->locks.at(static_cast<std::size_t>(data)).lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<Impl*>(self)->locks.at(static_cast<std::size_t>(data)).unlock();
  }

  std::vector<Cookie> AllLocked() const {
    std::vector<Cookie> cookies;
    if (!handle) return cookies;
    curl_slist* list = nullptr;
    if (Curl()->easy_getinfo(handle.get(), CURLINFO_COOKIELIST, &list) != CURLE_OK) return cookies;
    CurlSlist owned(list);
    for (const curl_slist* item = list; item != nullptr; item = item->next) {
      if (auto cookie = ParseCookieLine(item->data)) cookies.push_back(std::move(*cookie));
    }
    return cookies;
  }

  void AddLine(const std::string& line) {
    if (handle) Curl()->easy_setopt(handle.get(), CURLOPT_COOKIELIST, line.c_str());
  }

  void Load() {
    g_autofree gchar* contents = nullptr;
    gsize length = 0;
    if (file.empty() || !g_file_get_contents(file.c_str(), &contents, &length, nullptr)) return;
    if (length > kMaxFileBytes) return;
    const std::string_view text(contents, length);
    const std::int64_t now = Now();
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      // The line is rebuilt from its parsed fields, so only what passed the checks reaches libcurl.
      const auto cookie = ParseCookieLine(text.substr(start, end - start));
      if (cookie && (cookie->expires == 0 || cookie->expires > now)) AddLine(FormatCookieLine(*cookie));
      start = end + 1;
    }
  }

  bool Write(const std::string& text) const {
    g_autofree gchar* folder = g_path_get_dirname(file.c_str());
    g_mkdir_with_parents(folder, 0700);
    // The cookies hold the platform's login: readable by the player only. The file is always a
    // new one (written beside and renamed over the old), so an old file's mode never carries over.
    return g_file_set_contents_full(
        file.c_str(), text.data(), static_cast<gssize>(text.size()),
        static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT | G_FILE_SET_CONTENTS_DURABLE),
        kPrivateFileMode, nullptr);
  }
};

// The store's libcurl side (the share, its handle, the file's cookies in them) is made by its first
// use, which is normally a request on a lane's thread: making the store at start-up then opens no
// library on the UI thread.
void CookieStore::Impl::EnsureOpen() {
  if (opened) return;
  opened = true;
  const CurlLibrary* curl = Curl();
  if (curl != nullptr) share = curl->share_init();
  if (share != nullptr) {
    curl->share_setopt(share, CURLSHOPT_LOCKFUNC, &Impl::Lock);
    curl->share_setopt(share, CURLSHOPT_UNLOCKFUNC, &Impl::Unlock);
    curl->share_setopt(share, CURLSHOPT_USERDATA, this);
    // Cookies and name look-ups only. Sharing connections would let one client's open connection
    // serve another, and a closed client's connection outlive its Close.
    curl->share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl->share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    handle = MakeCurlEasy();
    if (handle) curl->easy_setopt(handle.get(), CURLOPT_SHARE, share);
  }
  Load();
  const std::vector<Cookie> cookies = AllLocked();
  notified_text = FullText(cookies);
  saved_text = PersistentText(cookies);
}

CookieStore::CookieStore(std::string file) : impl_(new Impl) { impl_->file = std::move(file); }

CookieStore::~CookieStore() {
  // A store never used has nothing to write: its file is as it was read.
  if (impl_->opened && !impl_->file.empty()) {
    const std::string text = PersistentText(impl_->AllLocked());
    if (text != impl_->saved_text) impl_->Write(text);
  }
  impl_->handle.reset();
  if (impl_->share != nullptr) Curl()->share_cleanup(impl_->share);
  delete impl_;
}

std::vector<Cookie> CookieStore::All() const {
  std::lock_guard lock(impl_->mutex);
  impl_->EnsureOpen();
  return impl_->AllLocked();
}

void CookieStore::Add(const Cookie& cookie) {
  // Round-tripping through the parser rejects fields that would break the line or the header.
  const std::string line = FormatCookieLine(cookie);
  if (!ParseCookieLine(line)) return;
  std::lock_guard lock(impl_->mutex);
  impl_->EnsureOpen();
  impl_->AddLine(line);
}

void CookieStore::Clear() {
  std::lock_guard lock(impl_->mutex);
  impl_->EnsureOpen();
  if (impl_->handle) Curl()->easy_setopt(impl_->handle.get(), CURLOPT_COOKIELIST, "ALL");
}

void CookieStore::Save() const {
  if (impl_->file.empty()) return;
  std::lock_guard lock(impl_->mutex);
  impl_->EnsureOpen();
  const std::string text = PersistentText(impl_->AllLocked());
  if (impl_->Write(text)) impl_->saved_text = text;
}

void CookieStore::SetChangeListener(std::function<void()> listener) {
  std::lock_guard lock(impl_->mutex);
  impl_->listener = std::move(listener);
}

void CookieStore::NotifyChanged() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->EnsureOpen();
    const std::vector<Cookie> cookies = impl_->AllLocked();
    std::string text = FullText(cookies);
    if (text == impl_->notified_text) return;
    impl_->notified_text = std::move(text);
    if (!impl_->file.empty()) {
      std::string persistent = PersistentText(cookies);
      if (persistent != impl_->saved_text && impl_->Write(persistent))
        impl_->saved_text = std::move(persistent);
    }
    if (!impl_->listener) return;
  }
  if (std::this_thread::get_id() == impl_->owner_thread) {
    CallListener();
  } else {
    ReplyPort::Post(impl_->port.handle(), [this] { CallListener(); });
  }
}

void CookieStore::CallListener() {
  std::function<void()> listener;
  {
    std::lock_guard lock(impl_->mutex);
    listener = impl_->listener;
  }
  if (listener) listener();
}

void* CookieStore::share_handle() const {
  std::lock_guard lock(impl_->mutex);
  impl_->EnsureOpen();
  return impl_->share;
}

}  // namespace qrv
