#pragma once
// A desktop portal of the tests' own that offers org.freedesktop.portal.GlobalShortcuts
// (version 1) on a private session bus (support/fake_notifications.h makes the bus). It answers
// CreateSession and BindShortcuts as the portal does: the method returns the Request object's
// path, and the answer follows as that object's Response signal. Sessions are objects with
// org.freedesktop.portal.Session.Close. It keeps what it was asked to bind, can refuse a binding
// or leave a shortcut out, and fires Activated for a bound shortcut. It runs on a thread of its
// own, so it answers while the test waits or drives the program.

#include <functional>
#include <string>
#include <vector>

#include "support/bus_service_thread.h"

namespace qrv::test {

class FakeShortcutsPortal : public BusServiceThread {
 public:
  struct Shortcut {
    std::string id;
    std::string description;
    std::string preferred_trigger;
  };
  struct Session {
    std::string path;
    std::vector<Shortcut> bound;  // what BindShortcuts asked for and the portal bound
    bool bind_called = false;
    bool closed = false;
  };

  explicit FakeShortcutsPortal(const std::string& address);
  ~FakeShortcutsPortal() override;

  // Every session made so far, oldest first.
  std::vector<Session> sessions() const;
  // The next bindings answer "cancelled by the player" (response 1).
  void RefuseBindings(bool refuse);
  // Fires Activated and Deactivated for `id` in the newest session that bound it. False when none did.
  bool Activate(const std::string& id);
  // Waits, at most `timeout_ms`, until `done` holds for the sessions.
  bool WaitFor(const std::function<bool(const std::vector<Session>&)>& done, int timeout_ms) const;

  // Called on the portal's thread.
  void HandleCall(void* connection, const char* sender, const char* path, const char* method,
                  void* parameters, void* invocation);

 private:
  void Started(GDBusConnection* connection, GDBusNodeInfo* node) override;
  void Stopping(GDBusConnection* connection) override;
  void Respond(void* connection, const std::string& sender, const std::string& request, unsigned code,
               void* results);

  bool refuse_ = false;
  std::vector<Session> sessions_;
  GDBusNodeInfo* node_ = nullptr;  // the description of the sessions' objects, on the portal's thread
  std::vector<unsigned> session_registrations_;
};

}  // namespace qrv::test
