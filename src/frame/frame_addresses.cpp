// The main frame's web addresses.

#include "frame/frame_addresses.h"

#include "net/deploy_config.h"
#include "platform/codepage.h"
#include "webapi/platform_requests.h"

namespace qrv {

std::string GamePageAddress(const std::string& site_host, const std::string& server_code) {
  return HttpAddress(site_host, "/joinGame/code/" + PercentEncode(server_code) + "/gamebarhide/1/");
}

std::string PayServerSegment(const std::string& server_name) {
  const auto bracket = server_name.find(']');
  if (bracket == std::string::npos) return {};
  std::string s = server_name.substr(0, bracket);
  if (s.empty()) return {};
  s.erase(0, CharLengthAt(s, 0));  // a whole character, never half of one
  const auto fu = s.find("服");
  if (fu == std::string::npos) return {};
  return s.substr(0, fu);
}

std::string PayPageAddress(const std::string& account_host, const std::string& server_name,
                           const std::string& user_code) {
  // Values from the platform's data are percent-encoded, so they can never change the shape of
  // the address.
  return "https://" + HostWithoutScheme(account_host) + "/pay/g/qrv/s/" +
         PercentEncode(PayServerSegment(server_name)) + "/u/" + PercentEncode(user_code) + "/";
}

std::string FeedbackPageAddress(const std::string& site_host, const std::string& account) {
  return HttpAddress(site_host, "/boxfeedback/type/argee/u/" + PercentEncode(account) + "/");
}

}  // namespace qrv
