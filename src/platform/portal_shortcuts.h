#pragma once
// GlobalShortcuts through the desktop portal on the session bus, with GIO's D-Bus client:
// org.freedesktop.portal.GlobalShortcuts at /org/freedesktop/portal/desktop. Every call is
// asynchronous on the thread's main context; the portal's answers arrive as Response signals of
// Request objects (CreateSession, BindShortcuts), and a bound shortcut's Activated signal is
// posted to its window as WM_HOTKEY.

#include <memory>
#include <string>
#include <vector>

#include "platform/global_shortcuts.h"

namespace qrv {

class PortalShortcuts final : public GlobalShortcuts {
 public:
  // Installs the portal back end for the process and returns it (owned by GlobalShortcuts).
  static PortalShortcuts& Install();

  PortalShortcuts();
  ~PortalShortcuts() override;
  PortalShortcuts(const PortalShortcuts&) = delete;
  PortalShortcuts& operator=(const PortalShortcuts&) = delete;

  void Probe(HWND port, ProbeDone done) override;
  void Bind(std::vector<PortalShortcut> shortcuts, std::vector<std::string> required, HWND port,
            BindDone done) override;
  std::string TriggerOf(const std::string& name) const override;

  struct State;

 private:
  // Shared with the calls still pending, which may outlive this object.
  std::shared_ptr<State> state_;
};

}  // namespace qrv
