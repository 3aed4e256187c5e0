#pragma once
// The main frame's system-wide hotkeys: the screen-capture key (id 1) and the boss key (id 2)
// from the settings, and Alt+F4 (id 115). The table keeps what was registered, in registration
// order, so that a WM_HOTKEY can be matched to its action and a changed key can replace its entry.

#include <cstdint>
#include <optional>
#include <vector>

#include "app/frame_messages.h"
#include "app/settings_file.h"
#include "platform/types.h"
#include "tools/hotkey_text.h"

namespace qrv {

inline constexpr int kAltF4HotkeyId = 115;

class FrameHotkeys {
 public:
  // Reads "Hotkey"/"cap" and "Hotkey"/"boss" (falling back to ALT+A and ALT+Q), registers them
  // with ids 1 and 2 on `frame` and records them, then registers Alt+F4 as id 115. Registration
  // results are not examined: a key another program holds simply has no effect. A combination
  // that is not Hotkey::IsUsable (no modifier, or no letter) is recorded but never registered.
  void RegisterAll(HWND frame, const SettingsFile& settings);

  // Alt+F4 comes and goes with the frame's focus.
  static void RegisterAltF4(HWND frame);
  static void UnregisterAltF4(HWND frame);

  // Message 1036: re-registers `entry.id` with the new combination and overwrites the first entry
  // with that id (no entry is added when none has it). An unusable combination only releases the
  // old key.
  void Update(HWND frame, const HotkeyTableEntry& entry);

  // The id of the first entry matching a WM_HOTKEY's combination.
  std::optional<int> Match(unsigned modifiers, unsigned key) const;

  const std::vector<HotkeyTableEntry>& table() const { return table_; }

 private:
  std::vector<HotkeyTableEntry> table_;
};

}  // namespace qrv
