#include "platform/shell.h"

#include <gio/gio.h>

#include "platform/debug_sink.h"

namespace qrv {
namespace {

ScopedBrowserOpener*& InstalledOpener() {
  static ScopedBrowserOpener* opener = nullptr;
  return opener;
}

// Whitespace and control characters have no place in an address; a desktop handler that splits
// its command line could take what follows them for further arguments.
bool HasControlOrSpace(const std::string& text) {
  for (unsigned char c : text) {
    if (c <= 0x20 || c == 0x7f) return true;
  }
  return false;
}

}  // namespace

bool IsWebAddress(const std::string& uri) {
  if (uri.empty() || HasControlOrSpace(uri)) return false;
  g_autoptr(GUri) parsed = g_uri_parse(uri.c_str(), G_URI_FLAGS_NONE, nullptr);
  if (parsed == nullptr) return false;
  const char* scheme = g_uri_get_scheme(parsed);
  const char* host = g_uri_get_host(parsed);
  if (scheme == nullptr || host == nullptr || *host == '\0') return false;
  return g_ascii_strcasecmp(scheme, "http") == 0 || g_ascii_strcasecmp(scheme, "https") == 0;
}

bool OpenInSystemBrowser(const std::string& uri) {
  if (!IsWebAddress(uri)) {
    OutputDebugString("*****拒绝用系统浏览器打开非网页地址:" + uri + "*****\r\n");
    return false;
  }
  if (ScopedBrowserOpener* opener = InstalledOpener()) return opener->opener_ ? opener->opener_(uri) : false;
  g_autoptr(GError) error = nullptr;
  if (!g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) {
    OutputDebugString("*****无法打开系统浏览器:" + std::string(error != nullptr ? error->message : "") +
                      "*****\r\n");
    return false;
  }
  return true;
}

ScopedBrowserOpener::ScopedBrowserOpener(Opener opener)
    : opener_(std::move(opener)), previous_(InstalledOpener()) {
  InstalledOpener() = this;
}

ScopedBrowserOpener::~ScopedBrowserOpener() { InstalledOpener() = previous_; }

}  // namespace qrv
