#pragma once
// A desktop notification service of the tests' own on a session bus of their own, so that what the
// program sends over D-Bus can be read back without a desktop (and without touching the user's
// session bus).
//
// PrivateSessionBus starts `dbus-daemon --session` (package dbus-daemon) and ends it with the
// object. FakeNotificationService owns org.freedesktop.Notifications on such a bus, answers
// Notify, GetCapabilities, GetServerInformation and CloseNotification as a real service does, and
// keeps every notification it was sent. It runs on a thread of its own, so it answers while the
// test waits or drives the program.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "support/bus_service_thread.h"

namespace qrv::test {

class PrivateSessionBus {
 public:
  PrivateSessionBus();
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  // The bus address for DBUS_SESSION_BUS_ADDRESS, or "" when the daemon did not start (`error`).
  const std::string& address() const { return address_; }
  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
  std::string error_;
};

class FakeNotificationService : public BusServiceThread {
 public:
  struct Notification {
    std::string app_name;
    std::string icon;
    std::string summary;
    std::string body;
  };

  // Connects to the bus at `address` and takes the service's name; ready() says whether it did.
  explicit FakeNotificationService(const std::string& address);
  ~FakeNotificationService() override;

  std::vector<Notification> received() const;
  // Waits, at most `timeout_ms`, until a notification for which `matches` holds has arrived.
  bool WaitFor(const std::function<bool(const Notification&)>& matches, int timeout_ms) const;

  // Called on the service's thread.
  void Record(Notification notification);

 private:
  std::vector<Notification> received_;
};

}  // namespace qrv::test
