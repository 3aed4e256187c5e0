#pragma once
// What every WebClient of the process shares: the deployment hosts and the cookie store. The
// application creates one at start-up and passes it to whatever makes requests.

#include <string>

#include "app/cookie_store.h"
#include "app/deploy_config.h"

namespace qrv {

class WebContext {
 public:
  WebContext(DeployConfig deploy, std::string cookie_file)
      : deploy_(std::move(deploy)), cookies_(std::move(cookie_file)) {}

  const DeployConfig& deploy() const { return deploy_; }
  CookieStore& cookies() { return cookies_; }

 private:
  DeployConfig deploy_;
  CookieStore cookies_;
};

}  // namespace qrv
