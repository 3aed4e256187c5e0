#include "capture/fake_screenshot_portal.h"

#include <gio/gio.h>

namespace qrv::test {
namespace {

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.freedesktop.portal.Screenshot">
    <method name="Screenshot">
      <arg type="s" direction="in"/><arg type="a{sv}" direction="in"/><arg type="o" direction="out"/>
    </method>
  </interface>
</node>)";

void OnMethodCall(GDBusConnection* connection, const gchar* sender, const gchar*, const gchar*, const gchar*,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  auto* portal = static_cast<FakeScreenshotPortal*>(data);
  g_autoptr(GVariant) options = nullptr;
  g_variant_get(parameters, "(&s@a{sv})", nullptr, &options);
  gboolean interactive = FALSE;
  g_variant_lookup(options, "interactive", "b", &interactive);
  const gchar* token = "t";
  g_variant_lookup(options, "handle_token", "&s", &token);
  // The request object's path, as the portal documentation gives it.
  std::string caller = sender + 1;
  for (char& c : caller) {
    if (c == '.') c = '_';
  }
  const std::string path = "/org/freedesktop/portal/desktop/request/" + caller + "/" + token;
  const FakeScreenshotPortal::Reply reply = portal->TakeRequest(interactive != FALSE);
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", path.c_str()));
  GVariantBuilder results;
  g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
  if (!reply.uri.empty())
    g_variant_builder_add(&results, "{sv}", "uri", g_variant_new_string(reply.uri.c_str()));
  g_dbus_connection_emit_signal(connection, sender, path.c_str(), "org.freedesktop.portal.Request",
                                "Response", g_variant_new("(ua{sv})", reply.response, &results), nullptr);
}

}  // namespace

FakeScreenshotPortal::FakeScreenshotPortal(const std::string& bus_address) {
  thread_ = std::thread([this, bus_address] { Run(bus_address); });
  std::unique_lock lock(mutex_);
  started_changed_.wait(lock, [this] { return started_; });
}

FakeScreenshotPortal::~FakeScreenshotPortal() {
  stopping_ = true;
  {
    std::lock_guard lock(mutex_);
    if (context_ != nullptr) g_main_context_wakeup(static_cast<GMainContext*>(context_));
  }
  thread_.join();
}

bool FakeScreenshotPortal::ready() const {
  std::lock_guard lock(mutex_);
  return ready_;
}

void FakeScreenshotPortal::Answer(unsigned response, const std::string& uri) {
  std::lock_guard lock(mutex_);
  answer_ = Reply{response, uri};
}

int FakeScreenshotPortal::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool FakeScreenshotPortal::last_interactive() const {
  std::lock_guard lock(mutex_);
  return last_interactive_;
}

FakeScreenshotPortal::Reply FakeScreenshotPortal::TakeRequest(bool interactive) {
  std::lock_guard lock(mutex_);
  ++requests_;
  last_interactive_ = interactive;
  return answer_;
}

void FakeScreenshotPortal::Run(std::string address) {
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  g_autoptr(GError) failure = nullptr;
  g_autoptr(GDBusConnection) connection = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &failure);
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  guint registration = 0;
  bool owned = false;
  if (connection != nullptr) {
    const GDBusInterfaceVTable vtable{OnMethodCall, nullptr, nullptr, {}};
    registration = g_dbus_connection_register_object(connection, "/org/freedesktop/portal/desktop",
                                                     node->interfaces[0], &vtable, this, nullptr, &failure);
    g_autoptr(GVariant) reply =
        registration == 0
            ? nullptr
            : g_dbus_connection_call_sync(
                  connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                  "RequestName", g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u /* no queue */),
                  G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &failure);
    if (reply != nullptr) {
      guint32 result = 0;
      g_variant_get(reply, "(u)", &result);
      owned = result == 1;
    }
  }
  {
    std::lock_guard lock(mutex_);
    started_ = true;
    ready_ = owned;
    if (!owned) error_ = failure != nullptr ? failure->message : "the name is taken";
    context_ = context;
  }
  started_changed_.notify_all();
  while (owned && !stopping_) g_main_context_iteration(context, TRUE);
  if (registration != 0) g_dbus_connection_unregister_object(connection, registration);
  if (connection != nullptr) g_dbus_connection_close_sync(connection, nullptr, nullptr);
  g_dbus_node_info_unref(node);
  {
    std::lock_guard lock(mutex_);
    context_ = nullptr;
  }
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
}

}  // namespace qrv::test
