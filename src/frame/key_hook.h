#pragma once
// The stand-in for a thread keyboard hook: a function that sees every key message of a toplevel
// window before the focused window or native widget (the browser) does. The program installs the
// real one for its window system at start-up (on GTK, the toplevel's key preview); without one,
// as in tests without a display, installing a hook does nothing and tests call the frame's hook
// themselves.

#include <functional>

#include "platform/types.h"

namespace qrv {

// Returns true to swallow the key.
using KeyPreviewHook = std::function<bool(UINT msg, WPARAM vk, LPARAM flags)>;
using KeyHookInstaller = std::function<void(HWND toplevel, KeyPreviewHook hook)>;

void SetKeyHookInstaller(KeyHookInstaller installer);
// Installs `hook` for `toplevel` (an empty hook removes it). Returns whether an installer was set.
bool InstallKeyHook(HWND toplevel, KeyPreviewHook hook);

}  // namespace qrv
