#pragma once
// What every D-Bus service of the tests' own shares: a thread with a main context of its own that
// connects to a private bus (PrivateSessionBus), exports one object and takes one well-known name,
// and answers calls there while the test waits or drives the program. Ending the thread closes
// the connection, so the program sees the service go.
//
// A service derives from it, calls Start at the end of its constructor and Stop at the start of
// its destructor (so that no handler runs while its own members are being destroyed).

#include <gio/gio.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qrv::test {

class BusServiceThread {
 public:
  BusServiceThread(const BusServiceThread&) = delete;
  BusServiceThread& operator=(const BusServiceThread&) = delete;

  // Whether the service owns its name; `error` says why not.
  bool ready() const;
  std::string error() const;

 protected:
  // The object the service exports: its node's description (the object takes the first
  // interface), where, under which name, and its handlers (called with the service as data).
  struct Exported {
    const char* introspection;
    const char* object_path;
    const char* bus_name;
    GDBusInterfaceMethodCallFunc method_call;
    GDBusInterfaceGetPropertyFunc get_property;
  };

  BusServiceThread() = default;
  virtual ~BusServiceThread();

  // Starts the thread and returns once the service owns its name or has failed to.
  void Start(const std::string& address, const Exported& exported);
  // Ends the thread; nothing happens when it has ended already.
  void Stop();

  // Run on the service's thread: once the name is owned (with the node, for objects made later),
  // and before the connection closes.
  virtual void Started(GDBusConnection*, GDBusNodeInfo*) {}
  virtual void Stopping(GDBusConnection*) {}

  // The connection while the service runs, null before and after; read it under `mutex_`.
  GDBusConnection* connection_ = nullptr;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;

 private:
  void Run(std::string address, Exported exported);

  bool started_ = false;
  bool ready_ = false;
  std::string error_;
  GMainContext* context_ = nullptr;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// The service a handler was registered for, from the data the handler is given.
template <typename Service>
Service* ServiceOf(gpointer data) {
  return static_cast<Service*>(static_cast<BusServiceThread*>(data));
}

}  // namespace qrv::test
