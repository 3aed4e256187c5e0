#include "login/login_credentials.h"

#include <glib.h>

#include "app/settings_file.h"

namespace qrv {
namespace {

constexpr char kHexMarker = '!';
constexpr unsigned char kShift = 32;
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsPrintableAscii(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte > 126) return false;
  }
  return true;
}

}  // namespace

std::string ScrambleCredential(std::string_view text) {
  std::string stored;
  if (IsPrintableAscii(text)) {
    stored.reserve(text.size());
    for (const char c : text) stored.push_back(static_cast<char>(static_cast<unsigned char>(c) + kShift));
    return stored;
  }
  stored.reserve(1 + 2 * text.size());
  stored.push_back(kHexMarker);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    stored.push_back(kHexDigits[byte >> 4]);
    stored.push_back(kHexDigits[byte & 0x0F]);
  }
  return stored;
}

std::string UnscrambleCredential(std::string_view stored) {
  std::string text;
  if (!stored.empty() && stored.front() == kHexMarker) {
    const std::string_view digits = stored.substr(1);
    if (digits.size() % 2 != 0) return {};
    text.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
      const int high = g_ascii_xdigit_value(digits[i]);
      const int low = g_ascii_xdigit_value(digits[i + 1]);
      if (high < 0 || low < 0) return {};
      text.push_back(static_cast<char>(high * 16 + low));
    }
    return text;
  }
  text.reserve(stored.size());
  for (const char c : stored) text.push_back(static_cast<char>(static_cast<unsigned char>(c) - kShift));
  return text;
}

RememberedCredentials ReadRememberedCredentials(const SettingsFile& settings) {
  return RememberedCredentials{
      UnscrambleCredential(settings.ReadText(settings::kUpdate, settings::kVersion, "")),
      UnscrambleCredential(settings.ReadText(settings::kUpdate, settings::kCheckCode, "")),
  };
}

void WriteRememberedCredentials(const SettingsFile& settings, std::string_view account,
                                std::string_view password) {
  settings.WriteText(settings::kUpdate, settings::kVersion, ScrambleCredential(account));
  settings.WriteText(settings::kUpdate, settings::kCheckCode, ScrambleCredential(password));
}

}  // namespace qrv
