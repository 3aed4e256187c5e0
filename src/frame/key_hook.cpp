// The keyboard hook's installer.

#include "frame/key_hook.h"

#include <utility>

namespace qrv {
namespace {

KeyHookInstaller& Installer() {
  static KeyHookInstaller installer;
  return installer;
}

}  // namespace

void SetKeyHookInstaller(KeyHookInstaller installer) { Installer() = std::move(installer); }

bool InstallKeyHook(HWND toplevel, KeyPreviewHook hook) {
  if (!Installer()) return false;
  Installer()(toplevel, std::move(hook));
  return true;
}

}  // namespace qrv
