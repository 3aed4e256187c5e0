#include "net/md5.h"

#include <glib.h>

namespace qrv {

std::string Md5Hex(std::string_view text) {
  // The platform signs C strings: whatever follows a zero byte was never part of the text.
  const std::string_view signed_part = text.substr(0, text.find('\0'));
  g_autoptr(GChecksum) checksum = g_checksum_new(G_CHECKSUM_MD5);
  g_checksum_update(checksum, reinterpret_cast<const guchar*>(signed_part.data()),
                    static_cast<gssize>(signed_part.size()));
  // GLib writes the digest as lowercase hexadecimal, two digits per byte.
  return g_checksum_get_string(checksum);
}

}  // namespace qrv
