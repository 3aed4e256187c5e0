#include "platform/dbus_notifier.h"

#include <gio/gio.h>

#include <deque>
#include <string>

#include "platform/debug_sink.h"

namespace qrv {

struct DbusNotifier::State {
  GCancellable* cancellable = g_cancellable_new();
  GDBusConnection* connection = nullptr;
  bool connecting = false;
  int in_flight = 0;  // calls sent whose answer has not come yet
  std::deque<DesktopNotification> queue;

  ~State() {
    if (connection != nullptr) g_object_unref(connection);
    g_object_unref(cancellable);
  }
};

namespace {

using StateRef = std::shared_ptr<DbusNotifier::State>;

constexpr int kCallTimeoutMs = 10000;

void OnNotified(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<StateRef> state(static_cast<StateRef*>(data));
  --(*state)->in_flight;
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
  if (reply != nullptr) {
    g_variant_unref(reply);
    return;
  }
  if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
    OutputDebugString(std::string("-----桌面通知未送达：") + error->message + "-----\r\n");
  g_error_free(error);
}

void Send(const StateRef& state, const DesktopNotification& n) {
  // Services that read markup in the body would take "<" and "&" of the player's text as tags.
  gchar* body = g_markup_escape_text(n.body.c_str(), -1);
  GVariantBuilder actions;
  g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&hints, "{sv}", "urgency", g_variant_new_byte(1));
  GVariant* args = g_variant_new("(susssasa{sv}i)", n.app_name.c_str(), 0u, n.icon.c_str(), n.summary.c_str(),
                                 body, &actions, &hints, -1);
  g_free(body);
  ++state->in_flight;
  g_dbus_connection_call(state->connection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                         "org.freedesktop.Notifications", "Notify", args, G_VARIANT_TYPE("(u)"),
                         G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, state->cancellable, OnNotified,
                         new StateRef(state));
}

void OnBus(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<StateRef> ref(static_cast<StateRef*>(data));
  const StateRef& state = *ref;
  GError* error = nullptr;
  GDBusConnection* connection = g_bus_get_finish(result, &error);
  state->connecting = false;
  if (connection == nullptr) {
    if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
      OutputDebugString(std::string("-----没有会话总线，桌面通知未送达：") + error->message + "-----\r\n");
      state->queue.clear();
    }
    g_error_free(error);
    return;
  }
  // The session bus connection is shared by the whole process; losing the bus must not end the
  // launcher, which is what a shared connection does by default.
  g_dbus_connection_set_exit_on_close(connection, FALSE);
  state->connection = connection;
  while (!state->queue.empty()) {
    Send(state, state->queue.front());
    state->queue.pop_front();
  }
}

}  // namespace

DbusNotifier& DbusNotifier::Install() {
  auto* notifier = new DbusNotifier();
  DesktopNotifier::Install(std::unique_ptr<DesktopNotifier>(notifier));
  return *notifier;
}

DbusNotifier::DbusNotifier() : state_(std::make_shared<State>()) {}

DbusNotifier::~DbusNotifier() { g_cancellable_cancel(state_->cancellable); }

bool DbusNotifier::Idle() const {
  return !state_->connecting && state_->queue.empty() && state_->in_flight == 0;
}

void DbusNotifier::Notify(const DesktopNotification& notification) {
  if (state_->connection != nullptr && g_dbus_connection_is_closed(state_->connection)) {
    g_object_unref(state_->connection);
    state_->connection = nullptr;
  }
  if (state_->connection != nullptr) {
    Send(state_, notification);
    return;
  }
  state_->queue.push_back(notification);
  if (state_->connecting) return;
  state_->connecting = true;
  g_bus_get(G_BUS_TYPE_SESSION, state_->cancellable, OnBus, new StateRef(state_));
}

}  // namespace qrv
