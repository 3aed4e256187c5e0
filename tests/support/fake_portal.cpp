#include "support/fake_portal.h"

#include <gio/gio.h>

#include <chrono>

namespace qrv::test {
namespace {

constexpr char kPortalIntrospection[] = R"xml(<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession">
      <arg type="a{sv}" name="options" direction="in"/><arg type="o" name="handle" direction="out"/>
    </method>
    <method name="BindShortcuts">
      <arg type="o" name="session_handle" direction="in"/><arg type="a(sa{sv})" name="shortcuts" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/><arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="request_handle" direction="out"/>
    </method>
    <signal name="Activated">
      <arg type="o"/><arg type="s"/><arg type="t"/><arg type="a{sv}"/>
    </signal>
    <signal name="Deactivated">
      <arg type="o"/><arg type="s"/><arg type="t"/><arg type="a{sv}"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
  <interface name="org.freedesktop.portal.Session">
    <method name="Close"/>
  </interface>
</node>)xml";

constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";

// The Request object path the portal uses for `token` of `sender` (":1.42" → "1_42").
std::string RequestPath(const std::string& sender, const std::string& token) {
  std::string escaped = sender.substr(1);
  for (char& c : escaped) {
    if (c == '.') c = '_';
  }
  return std::string(kPortalPath) + "/request/" + escaped + "/" + token;
}

std::string Option(GVariant* options, const char* key) {
  const gchar* value = nullptr;
  return g_variant_lookup(options, key, "&s", &value) ? value : "";
}

void OnMethodCall(GDBusConnection* connection, const gchar* sender, const gchar* path, const gchar*,
                  const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                  gpointer data) {
  ServiceOf<FakeShortcutsPortal>(data)->HandleCall(connection, sender, path, method, parameters, invocation);
}

GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property,
                        GError**, gpointer) {
  return g_strcmp0(property, "version") == 0 ? g_variant_new_uint32(1) : nullptr;
}

// The trigger as a desktop would describe it to the player: "ALT+w" reads "Alt+W".
std::string Describe(const std::string& trigger) {
  std::string text;
  std::size_t start = 0;
  while (start <= trigger.size()) {
    const std::size_t plus = trigger.find('+', start);
    std::string part = trigger.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    if (part == "CTRL") part = "Ctrl";
    if (part == "ALT") part = "Alt";
    if (part == "SHIFT") part = "Shift";
    if (part.size() == 1) part[0] = static_cast<char>(g_ascii_toupper(part[0]));
    text += (text.empty() ? "" : "+") + part;
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  return text;
}

}  // namespace

FakeShortcutsPortal::FakeShortcutsPortal(const std::string& address) {
  Start(address,
        {kPortalIntrospection, kPortalPath, "org.freedesktop.portal.Desktop", OnMethodCall, OnGetProperty});
}

FakeShortcutsPortal::~FakeShortcutsPortal() { Stop(); }

void FakeShortcutsPortal::Started(GDBusConnection*, GDBusNodeInfo* node) {
  // Session objects are registered from the calls, on this thread, with this node's description.
  node_ = g_dbus_node_info_ref(node);
}

void FakeShortcutsPortal::Stopping(GDBusConnection* connection) {
  for (const guint id : session_registrations_) g_dbus_connection_unregister_object(connection, id);
  session_registrations_.clear();
  g_dbus_node_info_unref(node_);
  node_ = nullptr;
}

void FakeShortcutsPortal::Respond(void* connection, const std::string& sender, const std::string& request,
                                  unsigned code, void* results) {
  g_dbus_connection_emit_signal(static_cast<GDBusConnection*>(connection), sender.c_str(), request.c_str(),
                                "org.freedesktop.portal.Request", "Response",
                                g_variant_new("(u@a{sv})", code, static_cast<GVariant*>(results)), nullptr);
}

void FakeShortcutsPortal::HandleCall(void* connection_pointer, const char* sender, const char* path,
                                     const char* method, void* parameters_pointer, void* invocation_pointer) {
  auto* connection = static_cast<GDBusConnection*>(connection_pointer);
  auto* parameters = static_cast<GVariant*>(parameters_pointer);
  auto* invocation = static_cast<GDBusMethodInvocation*>(invocation_pointer);
  const std::string name = method;
  if (name == "Close") {
    {
      std::lock_guard lock(mutex_);
      for (Session& session : sessions_) {
        if (session.path == path) session.closed = true;
      }
    }
    changed_.notify_all();
    g_dbus_method_invocation_return_value(invocation, nullptr);
    return;
  }
  if (name == "CreateSession") {
    GVariant* options = nullptr;
    g_variant_get(parameters, "(@a{sv})", &options);
    const std::string request = RequestPath(sender, Option(options, "handle_token"));
    std::string escaped = std::string(sender).substr(1);
    for (char& c : escaped) {
      if (c == '.') c = '_';
    }
    const std::string session =
        std::string(kPortalPath) + "/session/" + escaped + "/" + Option(options, "session_handle_token");
    g_variant_unref(options);
    const GDBusInterfaceVTable vtable{OnMethodCall, nullptr, nullptr, {}};
    const guint id =
        g_dbus_connection_register_object(connection, session.c_str(), node_->interfaces[1], &vtable,
                                          static_cast<BusServiceThread*>(this), nullptr, nullptr);
    {
      std::lock_guard lock(mutex_);
      if (id != 0) session_registrations_.push_back(id);
      sessions_.push_back(Session{session, {}, false, false});
    }
    changed_.notify_all();
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", request.c_str()));
    GVariantBuilder results;
    g_variant_builder_init(&results, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&results, "{sv}", "session_handle", g_variant_new_string(session.c_str()));
    Respond(connection, sender, request, 0, g_variant_builder_end(&results));
    return;
  }
  if (name == "BindShortcuts") {
    const gchar* session = nullptr;
    GVariant* shortcuts = nullptr;
    GVariant* options = nullptr;
    g_variant_get(parameters, "(&o@a(sa{sv})&s@a{sv})", &session, &shortcuts, nullptr, &options);
    const std::string request = RequestPath(sender, Option(options, "handle_token"));
    g_variant_unref(options);
    std::vector<Shortcut> asked;
    GVariantIter iter;
    g_variant_iter_init(&iter, shortcuts);
    const gchar* id = nullptr;
    GVariant* properties = nullptr;
    while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, &properties)) {
      asked.push_back(
          Shortcut{id, Option(properties, "description"), Option(properties, "preferred_trigger")});
      g_variant_unref(properties);
    }
    g_variant_unref(shortcuts);
    bool refuse = false;
    {
      std::lock_guard lock(mutex_);
      refuse = refuse_;
      for (Session& known : sessions_) {
        if (known.path != session) continue;
        known.bind_called = true;
        if (!refuse) known.bound = asked;
      }
    }
    changed_.notify_all();
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", request.c_str()));
    GVariantBuilder results;
    g_variant_builder_init(&results, G_VARIANT_TYPE("a{sv}"));
    if (!refuse) {
      GVariantBuilder list;
      g_variant_builder_init(&list, G_VARIANT_TYPE("a(sa{sv})"));
      for (const Shortcut& shortcut : asked) {
        GVariantBuilder described;
        g_variant_builder_init(&described, G_VARIANT_TYPE("a{sv}"));
        g_variant_builder_add(&described, "{sv}", "description",
                              g_variant_new_string(shortcut.description.c_str()));
        g_variant_builder_add(&described, "{sv}", "trigger_description",
                              g_variant_new_string(Describe(shortcut.preferred_trigger).c_str()));
        g_variant_builder_add(&list, "(sa{sv})", shortcut.id.c_str(), &described);
      }
      g_variant_builder_add(&results, "{sv}", "shortcuts", g_variant_builder_end(&list));
    }
    Respond(connection, sender, request, refuse ? 1 : 0, g_variant_builder_end(&results));
    return;
  }
  g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod", method);
}

std::vector<FakeShortcutsPortal::Session> FakeShortcutsPortal::sessions() const {
  std::lock_guard lock(mutex_);
  return sessions_;
}

void FakeShortcutsPortal::RefuseBindings(bool refuse) {
  std::lock_guard lock(mutex_);
  refuse_ = refuse;
}

bool FakeShortcutsPortal::Activate(const std::string& id) {
  std::string session;
  GDBusConnection* connection = nullptr;
  {
    std::lock_guard lock(mutex_);
    for (const Session& known : sessions_) {
      if (known.closed) continue;
      for (const Shortcut& shortcut : known.bound) {
        if (shortcut.id == id) session = known.path;
      }
    }
    connection = connection_;
  }
  if (session.empty() || connection == nullptr) return false;
  GVariantBuilder options;
  for (const char* signal : {"Activated", "Deactivated"}) {
    g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
    const guint64 now = static_cast<guint64>(g_get_monotonic_time() / 1000);
    g_dbus_connection_emit_signal(
        connection, nullptr, kPortalPath, "org.freedesktop.portal.GlobalShortcuts", signal,
        g_variant_new("(ost@a{sv})", session.c_str(), id.c_str(), now, g_variant_builder_end(&options)),
        nullptr);
  }
  g_dbus_connection_flush_sync(connection, nullptr, nullptr);
  return true;
}

bool FakeShortcutsPortal::WaitFor(const std::function<bool(const std::vector<Session>&)>& done,
                                  int timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return done(sessions_); });
}

}  // namespace qrv::test
