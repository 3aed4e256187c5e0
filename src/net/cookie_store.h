#pragma once
// The one cookie store of the process. Every WebClient shares it (a libcurl share handle), so a
// cookie the platform sets on the login request is sent by the heartbeat; it is kept in a file
// under data/ across runs (Netscape cookies.txt lines); and the browser view mirrors it through
// All() and Add() and is told of changes through the change listener.
//
// The file is read once, at the store's first use (normally the first request, on a lane's
// thread, so that making the store opens no library at start-up); lines that do not parse (a
// damaged or foreign file) are skipped. It is replaced whole and durably whenever NotifyChanged finds a
// change, on Save and on destruction, with mode 0600 since it holds the platform's login.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct Cookie {
  // "127.0.0.1" for a host-only cookie; a cookie for the subdomains too (include_subdomains)
  // is listed with a leading dot, ".zelto.com", as in cookies.txt.
  std::string domain;
  bool include_subdomains = false;
  std::string path = "/";
  bool secure = false;
  std::int64_t expires = 0;  // seconds since 1970; 0 for a session cookie
  std::string name;
  std::string value;
  bool http_only = false;
  friend bool operator==(const Cookie&, const Cookie&) = default;
};

class CookieStore {
 public:
  // Loads `file` when it exists; an empty path keeps the store in memory only.
  explicit CookieStore(std::string file);
  ~CookieStore();  // saves
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;

  std::vector<Cookie> All() const;
  // Adds or replaces (same domain, path and name) a cookie. A cookie whose fields would not
  // survive a cookies.txt line or a Cookie header (control characters, "=" or ";" in the name,
  // ";" in the value, an empty name or domain, a path not starting with "/") is ignored.
  // Add and Clear are the mirror's own changes: they do not call the listener themselves.
  void Add(const Cookie& cookie);
  void Clear();
  // Writes the store to its file now (atomically). Only cookies with an expiry are written: a
  // session cookie ends with the launcher's run, as it ends with a browser's.
  void Save() const;

  // Called after a request may have changed the store, on any thread. When the cookies differ
  // from those at the last call, it writes the file and then calls the listener on the thread that
  // made the store (the UI thread; from another thread the call is posted there, and dropped when
  // the store has gone).
  void SetChangeListener(std::function<void()> listener);
  void NotifyChanged();

  // The libcurl share handle (CURLSH*) that WebClient attaches to its easy handles.
  void* share_handle() const;

 private:
  void CallListener();

  struct Impl;
  Impl* impl_;
};

}  // namespace qrv
