// The main frame's hotkey table.

#include "frame/frame_hotkeys.h"

#include "platform/hotkeys.h"
#include "platform/window_system.h"
#include "tools/hotkey_text.h"

namespace qrv {

void FrameHotkeys::RegisterAll(HWND frame, const SettingsFile& settings) {
  const struct {
    const char* key_name;
    Hotkey fallback;
    int id;
  } keys[] = {{settings::kCap, kDefaultCaptureHotkey, kCaptureHotkeyId},
              {settings::kBoss, kDefaultBossHotkey, kBossHotkeyId}};
  for (const auto& key : keys) {
    const Hotkey hotkey = HotkeyFromSetting(settings.ReadText(settings::kHotkey, key.key_name), key.fallback);
    // A text without a known prefix ("WIN+A") would grab the bare letter from every program.
    if (hotkey.IsUsable()) RegisterHotKey(frame, key.id, hotkey.modifiers, hotkey.key);
    table_.push_back({hotkey.modifiers, hotkey.key, key.id});
  }
  RegisterAltF4(frame);
}

void FrameHotkeys::RegisterAltF4(HWND frame) { RegisterHotKey(frame, kAltF4HotkeyId, MOD_ALT, VK_F4); }

void FrameHotkeys::UnregisterAltF4(HWND frame) { UnregisterHotKey(frame, kAltF4HotkeyId); }

void FrameHotkeys::Update(HWND frame, const HotkeyTableEntry& entry) {
  UnregisterHotKey(frame, entry.id);
  // "无", a bare letter or a prefix without a letter leaves the action without a hotkey.
  if (Hotkey{entry.modifiers, entry.key}.IsUsable()) RegisterHotKey(frame, entry.id, entry.modifiers, entry.key);
  for (HotkeyTableEntry& existing : table_) {
    if (existing.id == entry.id) {
      existing.modifiers = entry.modifiers;
      existing.key = entry.key;
      return;
    }
  }
}

std::optional<int> FrameHotkeys::Match(unsigned modifiers, unsigned key) const {
  for (const HotkeyTableEntry& entry : table_) {
    if (entry.modifiers == modifiers && entry.key == key) return entry.id;
  }
  return std::nullopt;
}

}  // namespace qrv
