#pragma once
// Owning wrappers for libcurl handles. Internal to the web client layer. Every libcurl function is
// called through Curl() (net/curl_library.h); a handle exists only when the library is open.

#include <curl/curl.h>

#include <memory>

#include "net/curl_library.h"
#include "net/deploy_config.h"
#include "net/request_lane.h"

namespace qrv {

struct CurlEasyDeleter {
  void operator()(CURL* handle) const { Curl()->easy_cleanup(handle); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { Curl()->slist_free_all(list); }
};
struct CurlUrlDeleter {
  void operator()(CURLU* url) const { Curl()->url_cleanup(url); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

// libcurl asks this while a transfer runs (at least once a second, also while it connects): a
// transfer on a lane that is stopping gives up instead of running into its time-out.
inline int GiveUpWhenTheLaneStops(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return RequestLane::StoppingOnThisThread() ? 1 : 0;
}

// A new easy handle; null when libcurl cannot be opened.
inline CurlEasy MakeCurlEasy() {
  const CurlLibrary* curl = Curl();
  if (curl == nullptr) return {};
  CurlEasy handle(curl->easy_init());
  if (handle) {
    Curl()->easy_setopt(handle.get(), CURLOPT_XFERINFOFUNCTION, &GiveUpWhenTheLaneStops);
    Curl()->easy_setopt(handle.get(), CURLOPT_NOPROGRESS, 0L);
  }
  return handle;
}

// The certificates a TLS peer of the platform is checked against: the deployment's own
// authorities when it names a file, the system's store otherwise. libcurl's checks of the
// certificate and of the host name stay on (its defaults); they are set here once more so that no
// environment or build default can have turned them off.
inline void ApplyTrust(CURL* curl, const DeployConfig& deploy) {
  Curl()->easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  Curl()->easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!deploy.cafile.empty()) {
    Curl()->easy_setopt(curl, CURLOPT_CAINFO, deploy.cafile.c_str());
    Curl()->easy_setopt(curl, CURLOPT_CAPATH, nullptr);
  }
}

// Appends `line` to a header list; the list keeps its order, which is the order on the wire.
inline void AppendHeader(CurlSlist& list, const char* line) {
  curl_slist* grown = Curl()->slist_append(list.get(), line);
  if (grown != nullptr) {
    (void)list.release();
    list.reset(grown);
  }
}

}  // namespace qrv
