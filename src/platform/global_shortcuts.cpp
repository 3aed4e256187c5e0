#include "platform/global_shortcuts.h"

#include "platform/hotkeys.h"
#include "platform/window_system.h"

namespace qrv {
namespace {

std::unique_ptr<GlobalShortcuts>& InstalledShortcuts() {
  static std::unique_ptr<GlobalShortcuts> shortcuts;
  return shortcuts;
}

}  // namespace

void GlobalShortcuts::Install(std::unique_ptr<GlobalShortcuts> shortcuts) {
  InstalledShortcuts().reset();
  InstalledShortcuts() = std::move(shortcuts);
}

GlobalShortcuts* GlobalShortcuts::Get() { return InstalledShortcuts().get(); }

std::string ShortcutTrigger(unsigned modifiers, unsigned vk) {
  // The accelerator's key names are the xkb key names; only the modifiers are written otherwise.
  std::string accelerator = HotkeyAccelerator(modifiers, vk);
  if (accelerator.empty()) return {};
  const std::string key =
      accelerator.substr(accelerator.rfind('>') == std::string::npos ? 0 : accelerator.rfind('>') + 1);
  std::string trigger;
  if ((modifiers & MOD_CONTROL) != 0) trigger += "CTRL+";
  if ((modifiers & MOD_ALT) != 0) trigger += "ALT+";
  if ((modifiers & MOD_SHIFT) != 0) trigger += "SHIFT+";
  return trigger + key;
}

}  // namespace qrv
