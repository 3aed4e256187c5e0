#pragma once
// System-wide shortcuts through the desktop's own shortcut service: the GlobalShortcuts interface
// of the desktop portal (org.freedesktop.portal.Desktop on the session bus), which KDE Plasma and
// GNOME offer in their Wayland sessions, where no program can grab keys from the others. A bound
// shortcut reaches its window as WM_HOTKEY, exactly as a key grabbed through Hotkeys does.
//
// The desktop binds shortcuts by session: a session binds its set once, and the desktop may ask
// the player first and may give a shortcut another key than the one proposed. Changing a key is
// therefore binding the whole new set in a new session; the session in force keeps working until
// the new one is, and is closed then.
//
// Everything is asynchronous: answers come back through a reply port of the asker, on the UI
// thread, and are dropped when the port has gone. No back end is installed by default (headless
// programs and tests grab keys through Hotkeys); the GTK platform installs the D-Bus one.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace qrv {

struct PortalShortcut {
  std::string name;         // the shortcut's id for the desktop ("boss", "capture")
  std::string description;  // what the desktop shows the player
  // What the shortcut posts when it fires: WM_HOTKEY to `hwnd` with `id`, `modifiers` and `vk`.
  // The combination is also the proposed trigger.
  HWND hwnd = nullptr;
  int id = 0;
  unsigned modifiers = 0;
  unsigned vk = 0;
};

class GlobalShortcuts {
 public:
  using ProbeDone = std::function<void(bool available)>;
  // Whether the new set is in force, and the names the desktop bound.
  using BindDone = std::function<void(bool accepted, std::vector<std::string> bound)>;

  virtual ~GlobalShortcuts() = default;

  // Installs the back end for the process; the previous one (and its session) goes.
  static void Install(std::unique_ptr<GlobalShortcuts> shortcuts);
  // The installed back end, or null when there is none.
  static GlobalShortcuts* Get();

  // Finds out whether the session's desktop offers the service.
  virtual void Probe(HWND port, ProbeDone done) = 0;
  // Binds `shortcuts` (the whole set) in a new session. A new session that did not bind every
  // name of `required` is closed and the session in force stays (not accepted); otherwise the new
  // session replaces the old one with whatever it bound. An empty set closes the session in force.
  virtual void Bind(std::vector<PortalShortcut> shortcuts, std::vector<std::string> required, HWND port,
                    BindDone done) = 0;
  // The desktop's words for the trigger of a shortcut of the session in force ("" when unknown).
  virtual std::string TriggerOf(const std::string& name) const = 0;
};

// A combination in the notation of the XDG shortcuts format that the service takes as a proposed
// trigger: modifiers CTRL, ALT and SHIFT and an xkb key name, joined by "+" ("ALT+q",
// "CTRL+SHIFT+a", "ALT+F4"). Empty when HotkeyAccelerator refuses the combination.
std::string ShortcutTrigger(unsigned modifiers, unsigned vk);

}  // namespace qrv
