#include "platform/codepage.h"

#include <glib.h>

namespace qrv {
namespace {

std::string ValidUtf8(std::string_view text) {
  if (g_utf8_validate_len(text.data(), static_cast<gsize>(text.size()), nullptr)) return std::string(text);
  gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result(fixed);
  g_free(fixed);
  return result;
}

}  // namespace

std::string SystemFromUtf8(std::string_view utf8) { return ValidUtf8(utf8); }

std::string Utf8FromSystem(std::string_view text) { return ValidUtf8(text); }

std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (lead >= 0xF0 && lead < 0xF8) length = 4;
  else if (lead >= 0xE0) length = 3;
  else if (lead >= 0xC0) length = 2;
  if (pos + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) ++count;
  return count;
}

}  // namespace qrv
