#pragma once
// Hotkeys without a display: registrations are kept in memory with the same rules as the real
// back end, and a test presses a combination with Press.

#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/hotkeys.h"

namespace qrv {

class HeadlessHotkeys final : public Hotkeys {
 public:
  struct Registration {
    unsigned modifiers = 0;
    unsigned vk = 0;
    std::string accelerator;
  };

  // Installs headless hotkeys for the process and returns them (owned by Hotkeys).
  static HeadlessHotkeys& Install();

  bool Register(HWND hwnd, int id, unsigned modifiers, unsigned vk) override;
  bool Unregister(HWND hwnd, int id) override;

  // The player presses the combination: posts WM_HOTKEY to the window holding it. Returns whether
  // one did.
  bool Press(unsigned modifiers, unsigned vk);
  // Another program holds the combination, so registering it fails.
  void TakeByOtherProgram(unsigned modifiers, unsigned vk);

  const Registration* Find(HWND hwnd, int id) const;
  std::size_t Count() const { return registrations_.size(); }

 private:
  HeadlessHotkeys() = default;

  std::map<std::pair<HWND, int>, Registration> registrations_;
  std::set<std::string> taken_elsewhere_;
};

}  // namespace qrv
