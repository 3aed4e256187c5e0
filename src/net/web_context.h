#pragma once
// What every WebClient of the process shares: the deployment hosts, the cookie store and the
// time-outs. The application creates one at start-up and passes it to whatever makes requests.

#include <chrono>
#include <string>

#include "net/cookie_store.h"
#include "net/deploy_config.h"

namespace qrv {

// Bounds on one request, so a silent host cannot freeze the window (requests run on the UI
// thread). Tests shorten them to keep the time-out paths quick.
struct WebTimeouts {
  std::chrono::milliseconds connect{10'000};
  std::chrono::milliseconds total{30'000};
};

class WebContext {
 public:
  WebContext(DeployConfig deploy, std::string cookie_file)
      : deploy_(std::move(deploy)), cookies_(std::move(cookie_file)) {}

  const DeployConfig& deploy() const { return deploy_; }
  CookieStore& cookies() { return cookies_; }

  // Read by every request when it starts, so a change applies to open clients too.
  const WebTimeouts& timeouts() const { return timeouts_; }
  void set_timeouts(WebTimeouts timeouts) { timeouts_ = timeouts; }

 private:
  DeployConfig deploy_;
  CookieStore cookies_;
  WebTimeouts timeouts_;
};

}  // namespace qrv
