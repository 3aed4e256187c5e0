#include "support/fake_status_notifier_watcher.h"

#include <gio/gio.h>

#include <algorithm>
#include <chrono>

namespace qrv::test {
namespace {

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>)";

constexpr char kItemPath[] = "/StatusNotifierItem";
constexpr char kItemInterface[] = "org.kde.StatusNotifierItem";
constexpr int kCallTimeoutMs = 10000;

void OnMethodCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  auto* watcher = ServiceOf<FakeStatusNotifierWatcher>(data);
  if (std::string(method) == "RegisterStatusNotifierItem") {
    const gchar* service = nullptr;
    g_variant_get(parameters, "(&s)", &service);
    // A watcher takes a bus name, or an object path on the caller's own connection.
    watcher->AddItem(service[0] == '/' ? sender : service);
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name,
                        GError**, gpointer data) {
  auto* watcher = ServiceOf<FakeStatusNotifierWatcher>(data);
  const std::string property = name;
  if (property == "IsStatusNotifierHostRegistered") return g_variant_new_boolean(TRUE);
  if (property == "ProtocolVersion") return g_variant_new_int32(0);
  GVariantBuilder items;
  g_variant_builder_init(&items, G_VARIANT_TYPE("as"));
  for (const std::string& item : watcher->items()) g_variant_builder_add(&items, "s", item.c_str());
  return g_variant_builder_end(&items);
}

void OnNameOwnerChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                        GVariant* parameters, gpointer data) {
  const gchar* name = nullptr;
  const gchar* new_owner = nullptr;
  g_variant_get(parameters, "(&s&s&s)", &name, nullptr, &new_owner);
  if (new_owner[0] == '\0') ServiceOf<FakeStatusNotifierWatcher>(data)->ForgetOwner(name);
}

}  // namespace

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(const std::string& address) {
  Start(address, {kIntrospection, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher", OnMethodCall,
                  OnGetProperty});
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher() { Stop(); }

void FakeStatusNotifierWatcher::Started(GDBusConnection* connection, GDBusNodeInfo*) {
  // An item whose bus name goes away is forgotten, as a real watcher does.
  name_owner_subscription_ = g_dbus_connection_signal_subscribe(
      connection, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged", "/org/freedesktop/DBus",
      nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnNameOwnerChanged, static_cast<BusServiceThread*>(this), nullptr);
}

void FakeStatusNotifierWatcher::Stopping(GDBusConnection* connection) {
  g_dbus_connection_signal_unsubscribe(connection, name_owner_subscription_);
  name_owner_subscription_ = 0;
}

std::vector<std::string> FakeStatusNotifierWatcher::items() const {
  std::lock_guard lock(mutex_);
  return items_;
}

std::optional<std::string> FakeStatusNotifierWatcher::WaitForItem(int timeout_ms, bool registered) const {
  std::unique_lock lock(mutex_);
  const bool reached = changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                         [&] { return items_.empty() != registered; });
  if (!reached) return std::nullopt;
  return items_.empty() ? std::string() : items_.front();
}

void FakeStatusNotifierWatcher::AddItem(const std::string& service) {
  {
    std::lock_guard lock(mutex_);
    if (std::find(items_.begin(), items_.end(), service) == items_.end()) items_.push_back(service);
  }
  changed_.notify_all();
}

void FakeStatusNotifierWatcher::ForgetOwner(const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    std::erase(items_, name);
  }
  changed_.notify_all();
}

GVariant* FakeStatusNotifierWatcher::ItemProperty(const std::string& service, const std::string& name) const {
  std::lock_guard lock(mutex_);
  if (connection_ == nullptr) return nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      connection_, service.c_str(), kItemPath, "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", kItemInterface, name.c_str()), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
      kCallTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return nullptr;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  g_variant_unref(reply);
  return value;
}

bool FakeStatusNotifierWatcher::CallItem(const std::string& service, const std::string& method, int x,
                                         int y) const {
  std::lock_guard lock(mutex_);
  if (connection_ == nullptr) return false;
  GVariant* reply = g_dbus_connection_call_sync(connection_, service.c_str(), kItemPath, kItemInterface,
                                                method.c_str(), g_variant_new("(ii)", x, y), nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return false;
  g_variant_unref(reply);
  return true;
}

}  // namespace qrv::test
