#pragma once
// What the web client tests share: a temporary folder for cookie files and a web context whose
// hosts point at loopback test servers and whose time-outs are short.

#include <glib.h>
#include <glib/gstdio.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "net/web_context.h"
#include "support/temp_dir.h"

namespace qrv::test {

inline DeployConfig LoopbackDeploy(const std::string& site_host) {
  DeployConfig deploy;
  deploy.site = site_host;
  deploy.domain = "zelto.test";
  return deploy;
}

// The follow-up visit honours the system's proxy settings; a proxy set on the test machine must
// not swallow requests meant for loopback.
inline void KeepLoopbackOffProxies() {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
}

inline void UseShortTimeouts(WebContext& context) {
  context.set_timeouts({std::chrono::milliseconds(1000), std::chrono::milliseconds(1000)});
}

}  // namespace qrv::test
