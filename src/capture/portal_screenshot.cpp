#include "capture/portal_screenshot.h"

#include <gio/gio.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace qrv::capture {

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr int kRequestTimeoutMs = 30000;  // the answer to the call, not the player's choice

}  // namespace

// One request. The bus callbacks each hold a reference, so the request lives until the last of
// them is gone, even when an answer was queued just before it finished.
struct PortalScreenshot::Call {
  Done done;
  GDBusConnection* connection = nullptr;
  std::string request_path;
  guint response_subscription = 0;
  guint portal_watch = 0;
  bool finished = false;

  ~Call() {
    if (connection != nullptr) g_object_unref(connection);
  }

  // Calls Done once and stops listening.
  void Finish(const PortalAnswer& answer) {
    if (finished) return;
    finished = true;
    StopListening();
    done(answer);
  }

  void Fail(const std::string& why) {
    PortalAnswer answer;
    answer.outcome = PortalAnswer::Outcome::kFailed;
    answer.error = why;
    Finish(answer);
  }

  void StopListening() {
    if (response_subscription != 0) g_dbus_connection_signal_unsubscribe(connection, response_subscription);
    response_subscription = 0;
    if (portal_watch != 0) g_bus_unwatch_name(portal_watch);
    portal_watch = 0;
  }

  void SubscribeResponse(const std::shared_ptr<Call>& self, const std::string& path);
  void WatchPortal(const std::shared_ptr<Call>& self);
};

namespace {

using CallRef = std::shared_ptr<PortalScreenshot::Call>;

CallRef& Ref(gpointer data) { return *static_cast<CallRef*>(data); }
void DropRef(gpointer data) { delete static_cast<CallRef*>(data); }

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data) {
  const CallRef& call = Ref(data);
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
  guint32 response = 2;
  g_autoptr(GVariant) results = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &response, &results);
  PortalAnswer answer;
  if (response == 0) {
    const gchar* uri = nullptr;
    if (g_variant_lookup(results, "uri", "&s", &uri) && uri != nullptr) {
      answer.outcome = PortalAnswer::Outcome::kTaken;
      answer.uri = uri;
    } else {
      answer.error = "桌面没有给出截图文件";
    }
  } else if (response == 1) {
    answer.outcome = PortalAnswer::Outcome::kCancelled;
  } else {
    answer.error = "桌面未能完成截图";
  }
  call->Finish(answer);
}

void OnPortalVanished(GDBusConnection*, const gchar*, gpointer data) {
  Ref(data)->Fail("桌面的截图服务已退出");
}

void OnCalled(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<CallRef> ref(static_cast<CallRef*>(data));
  const CallRef& call = *ref;
  g_autoptr(GError) error = nullptr;
  g_autoptr(GVariant) reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
  if (reply == nullptr) {
    call->Fail(std::string("桌面的截图服务不可用：") + error->message);
    return;
  }
  if (call->finished) return;
  const gchar* handle = nullptr;
  g_variant_get(reply, "(&o)", &handle);
  // Portals older than the handle token answer on a path of their own choosing.
  if (call->request_path != handle) call->SubscribeResponse(call, handle);
  call->WatchPortal(call);
}

void OnBus(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<CallRef> ref(static_cast<CallRef*>(data));
  const CallRef& call = *ref;
  g_autoptr(GError) error = nullptr;
  call->connection = g_bus_get_finish(result, &error);
  if (call->connection == nullptr) {
    call->Fail(std::string("没有桌面会话总线：") + error->message);
    return;
  }
  // The portal answers on a request object whose path it derives from our bus name and a token
  // of ours; listening there before the call means the answer cannot come first.
  static std::atomic<int> counter{0};
  const std::string token = "zelto_qrv_capture_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
  std::string sender = g_dbus_connection_get_unique_name(call->connection) + 1;
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  call->SubscribeResponse(call, std::string(kPortalPath) + "/request/" + sender + "/" + token);

  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "interactive", g_variant_new_boolean(TRUE));
  g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
  g_dbus_connection_call(call->connection, kPortalName, kPortalPath, "org.freedesktop.portal.Screenshot",
                         "Screenshot", g_variant_new("(sa{sv})", "", &options), G_VARIANT_TYPE("(o)"),
                         G_DBUS_CALL_FLAGS_NONE, kRequestTimeoutMs, nullptr, OnCalled, new CallRef(call));
}

}  // namespace

void PortalScreenshot::Call::SubscribeResponse(const std::shared_ptr<Call>& self, const std::string& path) {
  if (response_subscription != 0) g_dbus_connection_signal_unsubscribe(connection, response_subscription);
  request_path = path;
  response_subscription = g_dbus_connection_signal_subscribe(
      connection, kPortalName, "org.freedesktop.portal.Request", "Response", path.c_str(), nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE, OnResponse, new CallRef(self), DropRef);
}

void PortalScreenshot::Call::WatchPortal(const std::shared_ptr<Call>& self) {
  // The portal runs now (the call may have started it); should it end before it answers, the
  // answer never comes.
  portal_watch = g_bus_watch_name_on_connection(connection, kPortalName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                nullptr, OnPortalVanished, new CallRef(self), DropRef);
}

void PortalScreenshot::Request(Done done) {
  auto call = std::make_shared<Call>();
  call->done = std::move(done);
  g_bus_get(G_BUS_TYPE_SESSION, nullptr, OnBus, new CallRef(call));
}

}  // namespace qrv::capture
