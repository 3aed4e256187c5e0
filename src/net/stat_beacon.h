#pragma once
// The statistics beacon: one process-wide client of the statistics host that reports the
// player's actions as six-digit event codes. The events go out on a request lane of their own, in
// the order they were sent, over one kept-alive connection; sending never waits for the network.

#include <string>
#include <string_view>

#include "net/request_lane.h"
#include "net/web_client.h"

namespace qrv {

class StatBeacon {
 public:
  explicit StatBeacon(WebContext& context);
  ~StatBeacon();

  void Bind(std::string host);
  // Sends event `code` ("200020") after the events sent before it; the response is ignored.
  void Send(std::string_view code);
  // Closes the kept-alive connection once the events sent before have gone out.
  void Close();
  // Waits until the events sent so far have gone out (or failed), at most `limit`.
  bool WaitSent(std::chrono::milliseconds limit) const { return lane_.WaitIdle(limit); }

  // "stat.htm?app=qrvclient<code>&from=74&pid=1"
  static std::string PathFor(std::string_view code);

 private:
  WebClient client_;  // used on the lane's thread only
  RequestLane lane_;  // declared last: it stops (and its thread ends) before the client goes
};

}  // namespace qrv
