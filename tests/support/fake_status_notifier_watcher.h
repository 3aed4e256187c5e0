#pragma once
// A StatusNotifierWatcher of the tests' own (what KDE Plasma's or the AppIndicator extension's
// watcher does) on a private session bus (PrivateSessionBus): it owns
// org.kde.StatusNotifierWatcher, takes RegisterStatusNotifierItem, says a host is there, and
// forgets an item whose bus name goes away. The test reads the registered items and acts as the
// host: it reads an item's properties and calls its methods. It runs on a thread of its own;
// destroying it closes its connection, so the program sees the watcher go.

#include <glib.h>

#include <optional>
#include <string>
#include <vector>

#include "support/bus_service_thread.h"

namespace qrv::test {

class FakeStatusNotifierWatcher : public BusServiceThread {
 public:
  explicit FakeStatusNotifierWatcher(const std::string& address);
  ~FakeStatusNotifierWatcher() override;

  // The bus names of the items registered now.
  std::vector<std::string> items() const;
  // Waits, at most `timeout_ms`, until an item is registered (or, with `registered` false, until
  // none is); returns the first item's bus name, or "" when there is none.
  std::optional<std::string> WaitForItem(int timeout_ms, bool registered = true) const;

  // The host's side: a property of the item at `service` (null when it could not be read; the
  // caller unrefs it), and a method call with two integer arguments (Activate, ContextMenu,
  // SecondaryActivate); false when the call failed.
  GVariant* ItemProperty(const std::string& service, const std::string& name) const;
  bool CallItem(const std::string& service, const std::string& method, int x, int y) const;

  // Called on the watcher's thread.
  void AddItem(const std::string& service);
  void ForgetOwner(const std::string& name);

 private:
  void Started(GDBusConnection* connection, GDBusNodeInfo* node) override;
  void Stopping(GDBusConnection* connection) override;

  std::vector<std::string> items_;
  guint name_owner_subscription_ = 0;  // on the watcher's thread
};

}  // namespace qrv::test
