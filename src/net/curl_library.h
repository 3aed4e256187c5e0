#pragma once
// libcurl, opened when the first request needs it rather than linked into the program. libcurl
// brings GnuTLS, SSH (with OpenSSL's crypto library), Kerberos and LDAP with it: linking them and
// setting them up cost the login window's first frame about a tenth of its time. Opened here, that
// work happens on the thread of the first request (a request lane), while the window paints.
// Internal to the web client layer.

#include <curl/curl.h>

#include <string>

namespace qrv {

// The libcurl functions the web client calls, taken from the opened library.
struct CurlLibrary {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_share_init) share_init = nullptr;
  decltype(&curl_share_setopt) share_setopt = nullptr;
  decltype(&curl_share_cleanup) share_cleanup = nullptr;
  decltype(&curl_slist_append) slist_append = nullptr;
  decltype(&curl_slist_free_all) slist_free_all = nullptr;
  decltype(&curl_url) url = nullptr;
  decltype(&curl_url_set) url_set = nullptr;
  decltype(&curl_url_cleanup) url_cleanup = nullptr;

  // Opens `file` (a library name the dynamic linker looks up, or a path) and takes every function
  // from it. On failure the result has no functions and `error` says what failed.
  static CurlLibrary Open(const char* file, std::string* error);
  bool loaded() const { return global_init != nullptr; }
};

// The file the web client opens: libcurl's current interface, in its build on GnuTLS, the TLS
// library the rest of the process (GLib's TLS for the web engine) already uses.
inline constexpr char kCurlLibraryFile[] = "libcurl-gnutls.so.4";

// The process's libcurl, opened and globally set up by the first caller (on any thread; callers
// at the same time wait for the one that opens it). Null when it cannot be opened: the reason was
// written to stderr once, and every request then fails as one to an unreachable host does.
const CurlLibrary* Curl();

}  // namespace qrv
