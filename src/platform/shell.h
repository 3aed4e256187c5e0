#pragma once
// Handing addresses to the desktop: pages that the launcher does not show itself (new-window
// requests of its browser views, links opened "in a new window") go to the player's own browser.

#include <functional>
#include <string>

namespace qrv {

// Opens `uri` in the system's default browser. Only http and https addresses with a host are
// handed over: anything else (file:, javascript:, about:, a custom protocol handler, a malformed
// address) could run a local program or script through the desktop's handlers, so it is refused
// with a debug line. Returns whether the browser was started.
bool OpenInSystemBrowser(const std::string& uri);

// True when OpenInSystemBrowser would hand `uri` over.
bool IsWebAddress(const std::string& uri);

// While one lives, addresses that pass the check go to `opener` instead of the desktop (tests
// record them). Openers nest; the newest wins. UI thread only.
class ScopedBrowserOpener {
 public:
  using Opener = std::function<bool(const std::string& uri)>;
  explicit ScopedBrowserOpener(Opener opener);
  ~ScopedBrowserOpener();
  ScopedBrowserOpener(const ScopedBrowserOpener&) = delete;
  ScopedBrowserOpener& operator=(const ScopedBrowserOpener&) = delete;

 private:
  Opener opener_;
  ScopedBrowserOpener* previous_;
  friend bool OpenInSystemBrowser(const std::string& uri);
};

}  // namespace qrv
