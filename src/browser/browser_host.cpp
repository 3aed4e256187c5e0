#include "browser/browser_host.h"

#include "platform/window_system.h"

namespace qrv {
namespace {

ScopedBrowserHost*& InstalledHost() {
  static ScopedBrowserHost* host = nullptr;
  return host;
}

}  // namespace

GtkContainer* BrowserHostFor(HWND hwnd) {
  if (ScopedBrowserHost* host = InstalledHost()) return host->lookup_ ? host->lookup_(hwnd) : nullptr;
  auto* native = static_cast<GtkWidget*>(WindowSystem::Get().NativeHandle(hwnd));
  return native != nullptr && GTK_IS_CONTAINER(native) ? GTK_CONTAINER(native) : nullptr;
}

ScopedBrowserHost::ScopedBrowserHost(Lookup lookup) : lookup_(std::move(lookup)), previous_(InstalledHost()) {
  InstalledHost() = this;
}

ScopedBrowserHost::~ScopedBrowserHost() { InstalledHost() = previous_; }

}  // namespace qrv
