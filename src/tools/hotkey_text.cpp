#include "tools/hotkey_text.h"

#include <glib.h>

namespace qrv {

Hotkey ParseHotkeyText(std::string_view text) {
  Hotkey hotkey;
  for (std::size_t plus = text.find('+'); plus != std::string_view::npos; plus = text.find('+')) {
    const std::string_view token = text.substr(0, plus + 1);
    if (token == "CTRL+")
      hotkey.modifiers |= MOD_CONTROL;
    else if (token == "SHIFT+")
      hotkey.modifiers |= MOD_SHIFT;
    else if (token == "ALT+")
      hotkey.modifiers |= MOD_ALT;
    text.remove_prefix(plus + 1);
  }
  if (text.empty()) return hotkey;
  char first = text.front();
  // A hand-edited "ctrl+q" would otherwise give the key code of 'q', which is F2's.
  first = g_ascii_toupper(first);
  // The byte is sign-extended, so the first byte of "无" gives a code no key has.
  hotkey.key = static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(first)));
  return hotkey;
}

Hotkey HotkeyFromSetting(std::string_view text, Hotkey fallback) {
  const Hotkey parsed = ParseHotkeyText(text);
  return parsed.IsEmpty() ? fallback : parsed;
}

std::string FormatHotkeyText(Hotkey hotkey) {
  if (hotkey.key < 'A' || hotkey.key > 'Z') return std::string(kNoHotkeyText);
  std::string prefix;
  switch (hotkey.modifiers) {
    case MOD_CONTROL:
      prefix = "CTRL+";
      break;
    case MOD_SHIFT:
      prefix = "SHIFT+";
      break;
    case MOD_CONTROL | MOD_SHIFT:
      prefix = "CTRL+SHIFT+";
      break;
    case MOD_ALT:
      prefix = "ALT+";
      break;
    default:
      return std::string(kNoHotkeyText);
  }
  return prefix + static_cast<char>(hotkey.key);
}

}  // namespace qrv
