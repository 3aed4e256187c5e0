#pragma once
// System-wide hotkeys: a key combination that reaches a window as WM_HOTKEY (wparam = the id,
// lparam = MOD_* flags in the low word and the virtual key in the high word) whichever program has
// the keyboard. The back end is installed like the WindowSystem: the GTK one grabs the keys on the
// X server, the headless one only records them and lets a test press one.
//
// A key combination belongs to one registration at a time. Registering fails when the combination
// is held by another window, another id or another program, or when the virtual key is none a
// hotkey can use. Registering the same window and id again with the combination it already holds
// succeeds and changes nothing; with another combination, the old one is released first (only when
// the new one is free).

#include <memory>
#include <string>

#include "platform/types.h"

namespace qrv {

class Hotkeys {
 public:
  virtual ~Hotkeys() = default;

  // Installs the back end for the process; the previous one (and its registrations) goes.
  static void Install(std::unique_ptr<Hotkeys> hotkeys);
  // The installed back end; headless when none was installed.
  static Hotkeys& Get();

  virtual bool Register(HWND hwnd, int id, unsigned modifiers, unsigned vk) = 0;
  // Returns whether (hwnd, id) held a hotkey.
  virtual bool Unregister(HWND hwnd, int id) = 0;
};

inline bool RegisterHotKey(HWND hwnd, int id, unsigned modifiers, unsigned vk) {
  return Hotkeys::Get().Register(hwnd, id, modifiers, vk);
}
inline bool UnregisterHotKey(HWND hwnd, int id) { return Hotkeys::Get().Unregister(hwnd, id); }

// The combination in GTK's accelerator notation ("<Alt>q", "<Control><Shift>F4"), the form the
// X key grabber takes and the key both back ends use to tell combinations apart. Empty when `vk`
// is no key a hotkey can use (letters, digits, F1 to F12, and the named keys of window_system.h
// except the modifier keys themselves) or `modifiers` has bits other than MOD_ALT, MOD_CONTROL
// and MOD_SHIFT.
std::string HotkeyAccelerator(unsigned modifiers, unsigned vk);

}  // namespace qrv
