#include "platform/gtk/gtk_hotkeys.h"

#include <keybinder.h>

#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

GtkHotkeys& GtkHotkeys::Install() {
  auto* hotkeys = new GtkHotkeys();
  Hotkeys::Install(std::unique_ptr<Hotkeys>(hotkeys));
  return *hotkeys;
}

GtkHotkeys::GtkHotkeys() {
  static bool initialised = false;
  if (!initialised) {
    keybinder_init();
    // Match the key and the modifiers as pressed. The "cooked" matching takes Shift as consumed
    // by the key's shifted symbol, so no combination with Shift would ever fire; Windows hotkeys
    // are physical keys with modifiers, which is what the raw matching is.
    keybinder_set_use_cooked_accelerators(FALSE);
    initialised = true;
  }
}

GtkHotkeys::~GtkHotkeys() {
  for (auto& [key, binding] : bindings_) Release(*binding);
}

void GtkHotkeys::OnKey(const char*, void* data) {
  const auto* binding = static_cast<const Binding*>(data);
  // Posted, as Windows posts WM_HOTKEY; a window that has gone refuses it.
  PostMessage(binding->hwnd, WM_HOTKEY, static_cast<WPARAM>(binding->id),
              MAKELPARAM(static_cast<std::uint16_t>(binding->modifiers), static_cast<std::uint16_t>(binding->vk)));
}

void GtkHotkeys::Release(Binding& binding) { keybinder_unbind(binding.accelerator.c_str(), &GtkHotkeys::OnKey); }

bool GtkHotkeys::Register(HWND hwnd, int id, unsigned modifiers, unsigned vk) {
  if (!IsWindow(hwnd)) return false;
  const std::string accelerator = HotkeyAccelerator(modifiers, vk);
  if (accelerator.empty()) return false;
  const auto key = std::make_pair(hwnd, id);
  for (const auto& [owner, binding] : bindings_) {
    if (binding->accelerator == accelerator) return owner == key;
  }
  auto binding = std::make_unique<Binding>(Binding{hwnd, id, modifiers, vk, accelerator});
  if (!keybinder_bind(accelerator.c_str(), &GtkHotkeys::OnKey, binding.get())) return false;
  if (auto old = bindings_.find(key); old != bindings_.end()) Release(*old->second);
  bindings_[key] = std::move(binding);
  return true;
}

bool GtkHotkeys::Unregister(HWND hwnd, int id) {
  auto it = bindings_.find({hwnd, id});
  if (it == bindings_.end()) return false;
  Release(*it->second);
  bindings_.erase(it);
  return true;
}

}  // namespace qrv
