#pragma once
// Owning wrappers for libcurl handles and the one-time global set-up of the library. Internal to
// the web client layer.

#include <curl/curl.h>

#include <memory>

#include "net/deploy_config.h"
#include "net/request_lane.h"

namespace qrv {

// libcurl's global state must be set up once before any handle exists, and never torn down while
// a handle may still be alive; a function-local static gives both, from any thread.
inline void EnsureCurlGlobalInit() {
  static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)result;
}

struct CurlEasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlUrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;

// libcurl asks this while a transfer runs (at least once a second, also while it connects): a
// transfer on a lane that is stopping gives up instead of running into its time-out.
inline int GiveUpWhenTheLaneStops(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return RequestLane::StoppingOnThisThread() ? 1 : 0;
}

inline CurlEasy MakeCurlEasy() {
  EnsureCurlGlobalInit();
  CurlEasy handle(curl_easy_init());
  if (handle) {
    curl_easy_setopt(handle.get(), CURLOPT_XFERINFOFUNCTION, &GiveUpWhenTheLaneStops);
    curl_easy_setopt(handle.get(), CURLOPT_NOPROGRESS, 0L);
  }
  return handle;
}

// The certificates a TLS peer of the platform is checked against: the deployment's own
// authorities when it names a file, the system's store otherwise. libcurl's checks of the
// certificate and of the host name stay on (its defaults); they are set here once more so that no
// environment or build default can have turned them off.
inline void ApplyTrust(CURL* curl, const DeployConfig& deploy) {
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!deploy.cafile.empty()) {
    curl_easy_setopt(curl, CURLOPT_CAINFO, deploy.cafile.c_str());
    curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
  }
}

// Appends `line` to a header list; the list keeps its order, which is the order on the wire.
inline void AppendHeader(CurlSlist& list, const char* line) {
  curl_slist* grown = curl_slist_append(list.get(), line);
  if (grown != nullptr) {
    (void)list.release();
    list.reset(grown);
  }
}

}  // namespace qrv
