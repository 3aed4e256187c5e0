#include "support/fake_notifications.h"

#include <gio/gio.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "support/first_line.h"

namespace qrv::test {
namespace {

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/>
    </method>
  </interface>
</node>)";

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  auto* service = ServiceOf<FakeNotificationService>(data);
  const std::string name = method;
  if (name == "Notify") {
    const gchar* app = nullptr;
    guint32 replaces = 0;
    const gchar* icon = nullptr;
    const gchar* summary = nullptr;
    const gchar* body = nullptr;
    g_variant_get(parameters, "(&su&s&s&s@as@a{sv}i)", &app, &replaces, &icon, &summary, &body, nullptr,
                  nullptr, nullptr);
    service->Record({app, icon, summary, body});
    static guint32 next_id = 0;
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", ++next_id));
  } else if (name == "GetCapabilities") {
    const gchar* capabilities[] = {"body", nullptr};
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(^as)", capabilities));
  } else if (name == "GetServerInformation") {
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(ssss)", "qrv-test", "qrv", "1", "1.2"));
  } else {
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }
}

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
  const gchar* argv[] = {"dbus-daemon", "--session", "--nofork", "--print-address=1", nullptr};
  GError* spawn_error = nullptr;
  GPid pid = 0;
  gint out = -1;
  if (!g_spawn_async_with_pipes(nullptr, const_cast<gchar**>(argv), nullptr,
                                static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL),
                                nullptr, nullptr, &pid, nullptr, &out, nullptr, &spawn_error)) {
    error_ = spawn_error->message;
    g_error_free(spawn_error);
    return;
  }
  pid_ = pid;
  // The daemon prints its address on one line once it listens.
  address_ = ReadFirstLine(out);
  if (address_.empty()) error_ = "dbus-daemon printed no address";
}

PrivateSessionBus::~PrivateSessionBus() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

FakeNotificationService::FakeNotificationService(const std::string& address) {
  Start(address, {kIntrospection, "/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                  OnMethodCall, nullptr});
}

FakeNotificationService::~FakeNotificationService() { Stop(); }

std::vector<FakeNotificationService::Notification> FakeNotificationService::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void FakeNotificationService::Record(Notification notification) {
  {
    std::lock_guard lock(mutex_);
    received_.push_back(std::move(notification));
  }
  changed_.notify_all();
}

bool FakeNotificationService::WaitFor(const std::function<bool(const Notification&)>& matches,
                                      int timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
    for (const Notification& n : received_) {
      if (matches(n)) return true;
    }
    return false;
  });
}

}  // namespace qrv::test
