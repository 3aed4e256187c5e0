#include "net/stat_beacon.h"

namespace qrv {

StatBeacon::StatBeacon(WebContext& context) : client_(context) {}

StatBeacon::~StatBeacon() = default;

void StatBeacon::Bind(std::string host) {
  lane_.Run([this, host = std::move(host)]() mutable { client_.SetHost(std::move(host)); });
}

void StatBeacon::Send(std::string_view code) {
  // The one client keeps its connection open, so a burst of events costs one TCP handshake.
  lane_.Run([this, path = PathFor(code)] { (void)client_.Fetch(path); });
}

void StatBeacon::Close() {
  lane_.Run([this] { client_.Close(); });
}

std::string StatBeacon::PathFor(std::string_view code) {
  std::string path = "stat.htm?app=qrvclient";
  path += code;
  path += "&from=74&pid=1";
  return path;
}

}  // namespace qrv
