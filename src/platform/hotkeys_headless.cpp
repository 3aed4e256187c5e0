#include "platform/hotkeys_headless.h"

#include <array>

#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace qrv {
namespace {

std::unique_ptr<Hotkeys>& InstalledHotkeys() {
  static std::unique_ptr<Hotkeys> hotkeys;
  return hotkeys;
}

// Accelerator names of the keys a hotkey can use besides letters, digits and F1 to F12.
struct NamedKey {
  unsigned vk;
  const char* name;
};
constexpr std::array kNamedKeys{
    NamedKey{VK_BACK, "BackSpace"}, NamedKey{VK_TAB, "Tab"},      NamedKey{VK_RETURN, "Return"},
    NamedKey{VK_ESCAPE, "Escape"},  NamedKey{VK_SPACE, "space"},  NamedKey{VK_END, "End"},
    NamedKey{VK_HOME, "Home"},      NamedKey{VK_LEFT, "Left"},    NamedKey{VK_UP, "Up"},
    NamedKey{VK_RIGHT, "Right"},    NamedKey{VK_DOWN, "Down"},    NamedKey{VK_DELETE, "Delete"},
};

}  // namespace

void Hotkeys::Install(std::unique_ptr<Hotkeys> hotkeys) {
  // The old back end releases its keys before the new one may take them.
  InstalledHotkeys().reset();
  InstalledHotkeys() = std::move(hotkeys);
}

Hotkeys& Hotkeys::Get() {
  if (!InstalledHotkeys()) HeadlessHotkeys::Install();
  return *InstalledHotkeys();
}

std::string HotkeyAccelerator(unsigned modifiers, unsigned vk) {
  if ((modifiers & ~(MOD_ALT | MOD_CONTROL | MOD_SHIFT)) != 0) return {};
  std::string key;
  if (vk >= 'A' && vk <= 'Z') {
    key = static_cast<char>(vk - 'A' + 'a');
  } else if (vk >= '0' && vk <= '9') {
    key = static_cast<char>(vk);
  } else if (vk >= VK_F1 && vk < VK_F1 + 12) {
    key = "F" + std::to_string(vk - VK_F1 + 1);
  } else {
    for (const auto& named : kNamedKeys) {
      if (named.vk == vk) key = named.name;
    }
  }
  if (key.empty()) return {};
  std::string accelerator;
  if ((modifiers & MOD_CONTROL) != 0) accelerator += "<Control>";
  if ((modifiers & MOD_SHIFT) != 0) accelerator += "<Shift>";
  if ((modifiers & MOD_ALT) != 0) accelerator += "<Alt>";
  return accelerator + key;
}

HeadlessHotkeys& HeadlessHotkeys::Install() {
  auto* hotkeys = new HeadlessHotkeys();
  Hotkeys::Install(std::unique_ptr<Hotkeys>(hotkeys));
  return *hotkeys;
}

bool HeadlessHotkeys::Register(HWND hwnd, int id, unsigned modifiers, unsigned vk) {
  if (!IsWindow(hwnd)) return false;
  const std::string accelerator = HotkeyAccelerator(modifiers, vk);
  if (accelerator.empty() || taken_elsewhere_.contains(accelerator)) return false;
  const auto key = std::make_pair(hwnd, id);
  for (const auto& [owner, registration] : registrations_) {
    if (registration.accelerator == accelerator) return owner == key;
  }
  registrations_[key] = Registration{modifiers, vk, accelerator};
  return true;
}

bool HeadlessHotkeys::Unregister(HWND hwnd, int id) { return registrations_.erase({hwnd, id}) > 0; }

bool HeadlessHotkeys::Press(unsigned modifiers, unsigned vk) {
  const std::string accelerator = HotkeyAccelerator(modifiers, vk);
  for (const auto& [owner, registration] : registrations_) {
    if (registration.accelerator != accelerator) continue;
    return PostMessage(owner.first, WM_HOTKEY, static_cast<WPARAM>(owner.second),
                       MAKELPARAM(static_cast<std::uint16_t>(modifiers), static_cast<std::uint16_t>(vk)));
  }
  return false;
}

void HeadlessHotkeys::TakeByOtherProgram(unsigned modifiers, unsigned vk) {
  taken_elsewhere_.insert(HotkeyAccelerator(modifiers, vk));
}

const HeadlessHotkeys::Registration* HeadlessHotkeys::Find(HWND hwnd, int id) const {
  auto it = registrations_.find({hwnd, id});
  return it == registrations_.end() ? nullptr : &it->second;
}

}  // namespace qrv
