#pragma once
// System-wide hotkeys on X11 through keybinder (a passive key grab on the root window, made for
// every combination of the lock modifiers). A grab another program holds makes registration fail.

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/hotkeys.h"

namespace qrv {

class GtkHotkeys final : public Hotkeys {
 public:
  // Installs GTK hotkeys for the process and returns them (owned by Hotkeys). GTK must be
  // initialised.
  static GtkHotkeys& Install();

  GtkHotkeys();
  ~GtkHotkeys() override;
  GtkHotkeys(const GtkHotkeys&) = delete;
  GtkHotkeys& operator=(const GtkHotkeys&) = delete;

  bool Register(HWND hwnd, int id, unsigned modifiers, unsigned vk) override;
  bool Unregister(HWND hwnd, int id) override;

 private:
  struct Binding {
    HWND hwnd = nullptr;
    int id = 0;
    unsigned modifiers = 0;
    unsigned vk = 0;
    std::string accelerator;
  };
  static void OnKey(const char* keystring, void* data);
  static void Release(Binding& binding);

  std::map<std::pair<HWND, int>, std::unique_ptr<Binding>> bindings_;
};

}  // namespace qrv
