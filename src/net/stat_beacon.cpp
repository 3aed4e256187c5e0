#include "net/stat_beacon.h"

namespace qrv {

StatBeacon::StatBeacon(WebContext& context) : client_(context) {}

void StatBeacon::Bind(std::string host) { client_.SetHost(std::move(host)); }

void StatBeacon::Send(std::string_view code) {
  // The one client keeps its connection open, so a burst of events costs one TCP handshake.
  (void)client_.Fetch(PathFor(code));
}

void StatBeacon::Close() { client_.Close(); }

std::string StatBeacon::PathFor(std::string_view code) {
  std::string path = "stat.htm?app=qrvclient";
  path += code;
  path += "&from=74&pid=1";
  return path;
}

}  // namespace qrv
