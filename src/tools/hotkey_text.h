#pragma once
// Hotkey text: how the settings file and the hotkey fields write a key combination. A text is a
// prefix ("CTRL+", "SHIFT+", "CTRL+SHIFT+" or "ALT+") followed by one uppercase letter, such as
// "ALT+Q"; "无" means no hotkey. Parsing turns it into MOD_* flags and a virtual-key code (for a
// letter, its uppercase character code: 'A' = 65).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window_system.h"

namespace qrv {

// The text of "no hotkey".
inline constexpr std::string_view kNoHotkeyText = "无";

struct Hotkey {
  std::uint16_t modifiers = 0;  // MOD_ALT | MOD_CONTROL | MOD_SHIFT
  std::uint16_t key = 0;        // virtual-key code

  bool IsEmpty() const { return modifiers == 0 && key == 0; }
  // A combination worth registering: a letter key with at least one modifier. A bare letter
  // would take that letter from every program on the desktop.
  bool IsUsable() const { return modifiers != 0 && key >= 'A' && key <= 'Z'; }
  friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// One entry of the main frame's hotkey table, and the block that message 1036 (kMsgHotkeyChanged)
// hands to the frame to change a key: the settings and boss-key windows post it.
struct HotkeyTableEntry {
  std::uint16_t modifiers = 0;  // MOD_* flags
  std::uint16_t key = 0;        // virtual-key code
  std::int32_t id = 0;          // kCaptureHotkeyId or kBossHotkeyId
};

inline constexpr int kCaptureHotkeyId = 1;
inline constexpr int kBossHotkeyId = 2;

// The screen-capture and boss keys used when their setting is empty.
inline constexpr Hotkey kDefaultCaptureHotkey{MOD_ALT, 'A'};
inline constexpr Hotkey kDefaultBossHotkey{MOD_ALT, 'Q'};

// Reads a hotkey text. Every token up to and including a "+" adds its modifier when it is exactly
// "CTRL+", "SHIFT+" or "ALT+" (case-sensitive) and nothing otherwise; the key is the first byte
// after the last "+", sign-extended to 16 bits as the stored tables have always held it, except
// that a lowercase letter counts as its uppercase key. An empty rest gives key 0. So "ALT+Q" is
// (1, 81), "CTRL+SHIFT+K" (6, 75), "WIN+A" (0, 65), and "无" has no usable key.
Hotkey ParseHotkeyText(std::string_view text);

// A stored setting: its parsed value, or `fallback` when it parses to no modifier and no key (an
// empty text, or only unknown prefixes such as "WIN+").
Hotkey HotkeyFromSetting(std::string_view text, Hotkey fallback);

// Writes a combination back as text: "CTRL+", "SHIFT+", "CTRL+SHIFT+" or "ALT+" and the letter.
// "无" for a combination the grammar cannot express (no letter key, no modifier, or Alt together
// with another modifier).
std::string FormatHotkeyText(Hotkey hotkey);

}  // namespace qrv
