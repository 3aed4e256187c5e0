// The main frame's web addresses.

#include "frame/frame_addresses.h"

#include <cstdio>

namespace qrv {
namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

// The length in bytes of the UTF-8 character that starts with `lead` (1 for a stray byte), so
// that "dropping the first character" never cuts a character in half.
std::size_t CharacterLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC2 && lead < 0xE0) return 2;
  return 1;
}

}  // namespace

std::string EscapeUrlSegment(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      out.push_back(ch);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    }
  }
  return out;
}

std::string GamePageAddress(const std::string& site_host, const std::string& server_code) {
  return "http://" + site_host + "/joinGame/code/" + EscapeUrlSegment(server_code) + "/gamebarhide/1/";
}

std::string PayServerSegment(const std::string& server_name) {
  const auto bracket = server_name.find(']');
  if (bracket == std::string::npos) return {};
  std::string s = server_name.substr(0, bracket);
  if (s.empty()) return {};
  s.erase(0, std::min(s.size(), CharacterLength(static_cast<unsigned char>(s[0]))));
  const auto fu = s.find("服");
  if (fu == std::string::npos) return {};
  return s.substr(0, fu);
}

std::string PayPageAddress(const std::string& account_host, const std::string& server_name,
                           const std::string& user_code) {
  return "https://" + account_host + "/pay/g/qrv/s/" + EscapeUrlSegment(PayServerSegment(server_name)) +
         "/u/" + EscapeUrlSegment(user_code) + "/";
}

}  // namespace qrv
