#pragma once
// Notifications on the desktop, outside the program's own windows (the freedesktop notification
// service on the session bus). Sending never waits: the notification goes out in the background,
// and one that cannot be delivered (no session bus, no notification service) is dropped.
//
// The back end is installed like the window system: D-Bus in the program, a recording one in
// headless tests (the default when none was installed).

#include <memory>
#include <string>

namespace qrv {

struct DesktopNotification {
  std::string app_name;  // the program as the notification service lists it
  std::string icon;      // a themed icon name, or "" for none
  std::string summary;   // one line
  std::string body;      // plain text; the back end escapes it for services that read markup
  friend bool operator==(const DesktopNotification&, const DesktopNotification&) = default;
};

class DesktopNotifier {
 public:
  virtual ~DesktopNotifier() = default;

  // Installs the back end for the process; the previous one is destroyed.
  static void Install(std::unique_ptr<DesktopNotifier> notifier);
  // The installed back end; a recording one when none was installed.
  static DesktopNotifier& Get();

  virtual void Notify(const DesktopNotification& notification) = 0;
};

}  // namespace qrv
