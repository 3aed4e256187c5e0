#pragma once
// The one cookie store of the process. Every WebClient shares it (a libcurl share handle), so a
// cookie the platform sets on the login request is sent by the heartbeat; it is kept in a file
// under data/ across runs; and the browser view mirrors it through All() and Add() and is told of
// changes through the change listener.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct Cookie {
  std::string domain;  // "127.0.0.1", ".zelto.com"
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
  void Add(const Cookie& cookie);
  void Clear();
  // Writes the store to its file now (atomically). Session cookies are kept too: the platform's
  // session must survive a restart of the launcher only as long as the platform allows.
  void Save() const;

  // Called on the UI thread after a request may have changed the store.
  void SetChangeListener(std::function<void()> listener);
  void NotifyChanged();

  // The libcurl share handle (CURLSH*) that WebClient attaches to its easy handles.
  void* share_handle() const;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace qrv
