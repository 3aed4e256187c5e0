#pragma once
// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications.Notify on the session bus), with GIO's D-Bus client. Everything
// is asynchronous on the thread's main context: the first notification connects to the bus in the
// background, notifications wait in a queue until then, and the service's answer is only logged.
// Without a session bus or a notification service the notifications are dropped (debug sink);
// the next one tries again.

#include <memory>

#include "platform/desktop_notifier.h"

namespace qrv {

class DbusNotifier final : public DesktopNotifier {
 public:
  // Installs the D-Bus notifier for the process and returns it (owned by DesktopNotifier).
  static DbusNotifier& Install();

  DbusNotifier();
  ~DbusNotifier() override;
  DbusNotifier(const DbusNotifier&) = delete;
  DbusNotifier& operator=(const DbusNotifier&) = delete;

  void Notify(const DesktopNotification& notification) override;

  // True when every notification is out: delivered, refused or dropped. A short-lived program
  // runs its main loop until then before it ends, so its last notification is not lost.
  bool Idle() const;

  struct State;

 private:
  // Shared with the callbacks still pending, which may outlive this object.
  std::shared_ptr<State> state_;
};

}  // namespace qrv
