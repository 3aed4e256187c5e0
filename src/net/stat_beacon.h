#pragma once
// The statistics beacon: one process-wide client of the statistics host that reports the
// player's actions as six-digit event codes, reusing its connection across events.

#include <string>
#include <string_view>

#include "net/web_client.h"

namespace qrv {

class StatBeacon {
 public:
  explicit StatBeacon(WebContext& context);

  void Bind(std::string host);
  // Sends event `code` ("200020"); the response is ignored.
  void Send(std::string_view code);
  void Close();

  // "stat.htm?app=qrvclient<code>&from=74&pid=1"
  static std::string PathFor(std::string_view code);

 private:
  WebClient client_;
};

}  // namespace qrv
