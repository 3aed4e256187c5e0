#include "sim/signing.h"

#include <glib.h>

namespace qrv::sim {

std::string Md5HexUpper(std::string_view text) {
  g_autoptr(GChecksum) checksum = g_checksum_new(G_CHECKSUM_MD5);
  g_checksum_update(checksum, reinterpret_cast<const guchar*>(text.data()), static_cast<gssize>(text.size()));
  std::string hex = g_checksum_get_string(checksum);
  for (char& c : hex) c = g_ascii_toupper(c);
  return hex;
}

std::string AccountSignature(std::string_view account, std::string_view time, std::string_view password) {
  std::string text;
  text.append(account).append(time).append(Md5HexUpper(password)).append(kSigningKey);
  return Md5HexUpper(text);
}

std::string ExitSignature(std::string_view user_id, std::string_view time, std::string_view adapter) {
  std::string text = "exit";
  text.append(user_id).append(time).append(adapter).append(kSigningKey);
  return Md5HexUpper(text);
}

bool IsWellFormedSignature(std::string_view sign) {
  if (sign.size() != 32) return false;
  for (char c : sign) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace qrv::sim
