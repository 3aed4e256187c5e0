#include "net/curl_library.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>

#include "platform/first_frame.h"

namespace qrv {
namespace {

constexpr std::chrono::milliseconds kFirstFrameWaitLimit{500};

template <class Function>
bool Take(void* library, const char* name, Function& function, std::string* error) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (function == nullptr && error != nullptr && error->empty()) *error = std::string(name) + " is missing";
  return function != nullptr;
}

}  // namespace

CurlLibrary CurlLibrary::Open(const char* file, std::string* error) {
  // The library stays open for the life of the process: handles may outlive any one user.
  void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    if (error != nullptr) *error = dlerror();
    return {};
  }
  CurlLibrary curl;
  bool complete = Take(library, "curl_global_init", curl.global_init, error);
  complete = Take(library, "curl_easy_init", curl.easy_init, error) && complete;
  complete = Take(library, "curl_easy_setopt", curl.easy_setopt, error) && complete;
  complete = Take(library, "curl_easy_perform", curl.easy_perform, error) && complete;
  complete = Take(library, "curl_easy_getinfo", curl.easy_getinfo, error) && complete;
  complete = Take(library, "curl_easy_cleanup", curl.easy_cleanup, error) && complete;
  complete = Take(library, "curl_share_init", curl.share_init, error) && complete;
  complete = Take(library, "curl_share_setopt", curl.share_setopt, error) && complete;
  complete = Take(library, "curl_share_cleanup", curl.share_cleanup, error) && complete;
  complete = Take(library, "curl_slist_append", curl.slist_append, error) && complete;
  complete = Take(library, "curl_slist_free_all", curl.slist_free_all, error) && complete;
  complete = Take(library, "curl_url", curl.url, error) && complete;
  complete = Take(library, "curl_url_set", curl.url_set, error) && complete;
  complete = Take(library, "curl_url_cleanup", curl.url_cleanup, error) && complete;
  if (!complete) {
    if (error != nullptr) *error = std::string(file) + ": " + *error;
    dlclose(library);
    return {};
  }
  // libcurl brings libssh2 for SCP and SFTP, which the web client never speaks (its requests
  // allow HTTP and HTTPS only). Set up by libcurl's global set-up, libssh2 would set up all of
  // OpenSSL's crypto library too (some 2 MiB of its pages); set up first without it, it stays so.
  using Ssh2Init = int (*)(int);
  constexpr int kSsh2InitNoCrypto = 0x0001;  // LIBSSH2_INIT_NO_CRYPTO
  if (auto ssh2_init = reinterpret_cast<Ssh2Init>(dlsym(library, "libssh2_init"))) ssh2_init(kSsh2InitNoCrypto);
  return curl;
}

}  // namespace qrv

namespace qrv {

const CurlLibrary* Curl() {
  // A function-local static: opened once, from whichever thread asks first, and never closed
  // while a handle may still be alive.
  static const CurlLibrary* const library = []() -> const CurlLibrary* {
    // Opening libcurl and its libraries holds the dynamic linker's lock for some milliseconds and
    // takes a processor: a request made while the first window is still being built waits for
    // its first frame. A request never waits longer than a moment, though.
    FirstFrame::Wait(kFirstFrameWaitLimit);
    std::string error;
    static CurlLibrary opened = CurlLibrary::Open(kCurlLibraryFile, &error);
    if (!opened.loaded()) {
      std::fprintf(stderr, "zelto_qrv: the web client cannot open %s (%s); no request can be made\n",
                   kCurlLibraryFile, error.c_str());
      return nullptr;
    }
    // libcurl's global state must be set up once before any handle exists.
    if (opened.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      std::fprintf(stderr, "zelto_qrv: the web client cannot set up %s; no request can be made\n",
                   kCurlLibraryFile);
      return nullptr;
    }
    return &opened;
  }();
  return library;
}

}  // namespace qrv
