#include "support/bus_service_thread.h"

namespace qrv::test {

BusServiceThread::~BusServiceThread() { Stop(); }

bool BusServiceThread::ready() const {
  std::lock_guard lock(mutex_);
  return ready_;
}

std::string BusServiceThread::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void BusServiceThread::Start(const std::string& address, const Exported& exported) {
  thread_ = std::thread([this, address, exported] { Run(address, exported); });
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return started_; });
}

void BusServiceThread::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  {
    std::lock_guard lock(mutex_);
    if (context_ != nullptr) g_main_context_wakeup(context_);
  }
  thread_.join();
}

void BusServiceThread::Run(std::string address, Exported exported) {
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  GError* failure = nullptr;
  GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &failure);
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(exported.introspection, nullptr);
  guint registration = 0;
  bool owned = false;
  if (connection != nullptr) {
    const GDBusInterfaceVTable vtable{exported.method_call, exported.get_property, nullptr, {}};
    registration = g_dbus_connection_register_object(connection, exported.object_path, node->interfaces[0],
                                                     &vtable, this, nullptr, &failure);
    GVariant* reply =
        registration == 0
            ? nullptr
            : g_dbus_connection_call_sync(
                  connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                  "RequestName", g_variant_new("(su)", exported.bus_name, 4u /* no queue */),
                  G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &failure);
    if (reply != nullptr) {
      guint32 result = 0;
      g_variant_get(reply, "(u)", &result);
      owned = result == 1;  // the primary owner
      g_variant_unref(reply);
    }
  }
  // The service's own set-up runs before any call is dispatched: calls wait for the loop below.
  if (owned) Started(connection, node);
  {
    std::lock_guard lock(mutex_);
    started_ = true;
    ready_ = owned;
    if (!owned) error_ = failure != nullptr ? failure->message : std::string(exported.bus_name) + " is taken";
    context_ = context;
    connection_ = connection;
  }
  if (failure != nullptr) g_error_free(failure);
  changed_.notify_all();
  while (owned && !stopping_) g_main_context_iteration(context, TRUE);
  {
    std::lock_guard lock(mutex_);
    context_ = nullptr;
    connection_ = nullptr;
  }
  if (connection != nullptr) {
    if (owned) Stopping(connection);
    if (registration != 0) g_dbus_connection_unregister_object(connection, registration);
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
  }
  g_dbus_node_info_unref(node);
  // What the closing left queued for this context is dispatched before the context goes.
  while (g_main_context_iteration(context, FALSE)) {
  }
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
}

}  // namespace qrv::test
