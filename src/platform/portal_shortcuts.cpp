#include "platform/portal_shortcuts.h"

#include <gio/gio.h>

#include <functional>
#include <map>

#include "platform/debug_sink.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/reply_port.h"

namespace qrv {
namespace {

constexpr char kPortalName[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
constexpr char kShortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";
constexpr char kRequestInterface[] = "org.freedesktop.portal.Request";
// A portal that is started on demand may take a moment; one that never answers must not leave
// the program without keys for long, so the probe gives up sooner than the binding (which may
// wait for the player to answer the desktop's dialog).
constexpr int kProbeTimeoutMs = 5000;
constexpr int kCallTimeoutMs = 30000;

}  // namespace

struct PortalShortcuts::State {
  GCancellable* cancellable = g_cancellable_new();
  GDBusConnection* connection = nullptr;
  guint activated_watch = 0;
  guint changed_watch = 0;
  unsigned next_token = 0;
  std::string session;                              // the session in force, "" when none
  std::map<std::string, PortalShortcut> shortcuts;  // bound in that session, by name
  std::map<std::string, std::string> triggers;      // the desktop's trigger descriptions

  ~State() {
    if (connection != nullptr) {
      if (activated_watch != 0) g_dbus_connection_signal_unsubscribe(connection, activated_watch);
      if (changed_watch != 0) g_dbus_connection_signal_unsubscribe(connection, changed_watch);
      g_object_unref(connection);
    }
    g_object_unref(cancellable);
  }
};

namespace {

using StateRef = std::shared_ptr<PortalShortcuts::State>;
using ConnectionDone = std::function<void(GDBusConnection*)>;
using ResponseDone = std::function<void(guint32 code, GVariant* results)>;

void CloseSession(const StateRef& state, const std::string& session) {
  if (session.empty() || state->connection == nullptr) return;
  g_dbus_connection_call(state->connection, kPortalName, session.c_str(), "org.freedesktop.portal.Session",
                         "Close", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr,
                         nullptr);
}

void ReadTriggers(PortalShortcuts::State& state, GVariant* shortcuts) {
  GVariantIter iter;
  g_variant_iter_init(&iter, shortcuts);
  const gchar* name = nullptr;
  GVariant* properties = nullptr;
  while (g_variant_iter_next(&iter, "(&s@a{sv})", &name, &properties)) {
    const gchar* trigger = nullptr;
    if (g_variant_lookup(properties, "trigger_description", "&s", &trigger)) state.triggers[name] = trigger;
    g_variant_unref(properties);
  }
}

void OnPortalSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
                    GVariant* parameters, gpointer data) {
  auto* state = static_cast<PortalShortcuts::State*>(data);
  if (g_strcmp0(signal, "Activated") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(osta{sv})"))) {
    const gchar* session = nullptr;
    const gchar* name = nullptr;
    g_variant_get(parameters, "(&o&sta{sv})", &session, &name, nullptr, nullptr);
    if (state->session != session) return;
    auto it = state->shortcuts.find(name);
    if (it == state->shortcuts.end()) return;
    const PortalShortcut& shortcut = it->second;
    // Posted, as the X key grab posts it; a window that has gone refuses it.
    PostMessage(
        shortcut.hwnd, WM_HOTKEY, static_cast<WPARAM>(shortcut.id),
        MAKELPARAM(static_cast<std::uint16_t>(shortcut.modifiers), static_cast<std::uint16_t>(shortcut.vk)));
  } else if (g_strcmp0(signal, "ShortcutsChanged") == 0 &&
             g_variant_is_of_type(parameters, G_VARIANT_TYPE("(oa(sa{sv}))"))) {
    const gchar* session = nullptr;
    GVariant* shortcuts = nullptr;
    g_variant_get(parameters, "(&o@a(sa{sv}))", &session, &shortcuts);
    if (state->session == session) ReadTriggers(*state, shortcuts);
    g_variant_unref(shortcuts);
  }
}

void Subscribe(const StateRef& state) {
  // The signals carry a raw pointer to the state: the subscriptions end in the state's destructor.
  for (const auto& [member, watch] : {std::pair{"Activated", &state->activated_watch},
                                      std::pair{"ShortcutsChanged", &state->changed_watch}}) {
    *watch = g_dbus_connection_signal_subscribe(state->connection, kPortalName, kShortcutsInterface, member,
                                                kPortalPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                                OnPortalSignal, state.get(), nullptr);
  }
}

struct ConnectCall {
  StateRef state;
  ConnectionDone done;
};

void OnBus(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<ConnectCall> call(static_cast<ConnectCall*>(data));
  GError* error = nullptr;
  GDBusConnection* connection = g_bus_get_finish(result, &error);
  if (connection == nullptr) {
    const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    if (!cancelled)
      OutputDebugString(std::string("-----没有会话总线，不用桌面快捷键：") + error->message + "-----\r\n");
    g_error_free(error);
    if (!cancelled) call->done(nullptr);
    return;
  }
  StateRef& state = call->state;
  if (state->connection == nullptr) {
    // Shared with the rest of the process; losing the bus must not end the launcher.
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    state->connection = connection;
    Subscribe(state);
  } else {
    g_object_unref(connection);
  }
  call->done(state->connection);
}

void WithConnection(const StateRef& state, ConnectionDone done) {
  if (state->connection != nullptr && !g_dbus_connection_is_closed(state->connection)) {
    done(state->connection);
    return;
  }
  if (state->connection != nullptr) {
    g_dbus_connection_signal_unsubscribe(state->connection, state->activated_watch);
    g_dbus_connection_signal_unsubscribe(state->connection, state->changed_watch);
    g_object_unref(state->connection);
    state->connection = nullptr;
    state->session.clear();
    state->shortcuts.clear();
  }
  g_bus_get(G_BUS_TYPE_SESSION, state->cancellable, OnBus, new ConnectCall{state, std::move(done)});
}

// One call that answers through a Request object: the Response signal is watched at the path the
// portal will use before the call goes out, so an answer cannot slip past. The watch and the
// call's reply each hold the call; the first of the Response or a failed call ends it.
struct RequestCall {
  StateRef state;
  ResponseDone done;
  guint watch = 0;
  std::string path;
  bool answered = false;
};
using RequestRef = std::shared_ptr<RequestCall>;

void EndRequest(const RequestRef& call, guint32 code, GVariant* results) {
  if (call->answered) return;
  call->answered = true;
  // Unsubscribing frees the watch's reference (later, from the main loop); this one keeps the
  // call alive to the end of the handler.
  if (call->watch != 0) g_dbus_connection_signal_unsubscribe(call->state->connection, call->watch);
  call->watch = 0;
  call->done(code, results);
}

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data) {
  const RequestRef call = *static_cast<RequestRef*>(data);
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
  guint32 code = 2;
  GVariant* results = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &code, &results);
  EndRequest(call, code, results);
  g_variant_unref(results);
}

void WatchResponse(const RequestRef& call, const std::string& path) {
  GDBusConnection* connection = call->state->connection;
  if (call->watch != 0) g_dbus_connection_signal_unsubscribe(connection, call->watch);
  call->path = path;
  call->watch = g_dbus_connection_signal_subscribe(
      connection, kPortalName, kRequestInterface, "Response", path.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
      OnResponse, new RequestRef(call), [](gpointer data) { delete static_cast<RequestRef*>(data); });
}

void OnRequestReply(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<RequestRef> ref(static_cast<RequestRef*>(data));
  const RequestRef& call = *ref;
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
  if (reply == nullptr) {
    const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    if (!cancelled)
      OutputDebugString(std::string("-----桌面快捷键请求失败：") + error->message + "-----\r\n");
    g_error_free(error);
    if (cancelled) {
      // The back end has gone: nobody waits for the answer any more.
      call->answered = true;
      if (call->watch != 0) g_dbus_connection_signal_unsubscribe(call->state->connection, call->watch);
      call->watch = 0;
    } else {
      EndRequest(call, 2, nullptr);
    }
    return;
  }
  const gchar* handle = nullptr;
  g_variant_get(reply, "(&o)", &handle);
  // Portals older than the handle_token rule answer at a path of their own choosing.
  if (!call->answered && call->path != handle) WatchResponse(call, handle);
  g_variant_unref(reply);
}

std::string NewToken(PortalShortcuts::State& state, const char* stem) {
  return std::string("qrv_") + stem + std::to_string(++state.next_token);
}

// Calls `method` of the shortcuts interface with `arguments` (whose options carry `token` as
// handle_token) and hands the Response to `done`: code 0 and its results, or a failure code
// (1 refused by the player, 2 anything else) and possibly no results.
void CallWithResponse(const StateRef& state, const char* method, GVariant* arguments,
                      const std::string& token, ResponseDone done) {
  GDBusConnection* connection = state->connection;
  std::string sender = g_dbus_connection_get_unique_name(connection) + 1;
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  auto call = std::make_shared<RequestCall>();
  call->state = state;
  call->done = std::move(done);
  WatchResponse(call, std::string(kPortalPath) + "/request/" + sender + "/" + token);
  g_dbus_connection_call(connection, kPortalName, kPortalPath, kShortcutsInterface, method, arguments,
                         G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, state->cancellable,
                         OnRequestReply, new RequestRef(call));
}

GVariant* TokenOptions(const std::string& token, const std::string& session_token) {
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  if (!session_token.empty())
    g_variant_builder_add(&options, "{sv}", "session_handle_token",
                          g_variant_new_string(session_token.c_str()));
  return g_variant_builder_end(&options);
}

struct BindJob {
  StateRef state;
  std::vector<PortalShortcut> shortcuts;
  std::vector<std::string> required;
  GlobalShortcuts::BindDone done;
};
using BindJobRef = std::shared_ptr<BindJob>;

void Finish(const BindJobRef& job, bool accepted, std::vector<std::string> bound) {
  job->done(accepted, std::move(bound));
}

void BindInSession(const BindJobRef& job, const std::string& session) {
  GVariantBuilder list;
  g_variant_builder_init(&list, G_VARIANT_TYPE("a(sa{sv})"));
  for (const PortalShortcut& shortcut : job->shortcuts) {
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&properties, "{sv}", "description",
                          g_variant_new_string(shortcut.description.c_str()));
    const std::string trigger = ShortcutTrigger(shortcut.modifiers, shortcut.vk);
    if (!trigger.empty())
      g_variant_builder_add(&properties, "{sv}", "preferred_trigger", g_variant_new_string(trigger.c_str()));
    g_variant_builder_add(&list, "(sa{sv})", shortcut.name.c_str(), &properties);
  }
  const std::string token = NewToken(*job->state, "bind");
  GVariant* arguments = g_variant_new("(o@a(sa{sv})s@a{sv})", session.c_str(), g_variant_builder_end(&list),
                                      "", TokenOptions(token, ""));
  CallWithResponse(
      job->state, "BindShortcuts", arguments, token, [job, session](guint32 code, GVariant* results) {
        const StateRef& state = job->state;
        std::vector<std::string> bound;
        GVariant* shortcuts = results != nullptr
                                  ? g_variant_lookup_value(results, "shortcuts", G_VARIANT_TYPE("a(sa{sv})"))
                                  : nullptr;
        if (code == 0 && shortcuts != nullptr) {
          GVariantIter iter;
          g_variant_iter_init(&iter, shortcuts);
          const gchar* name = nullptr;
          GVariant* properties = nullptr;
          while (g_variant_iter_next(&iter, "(&s@a{sv})", &name, &properties)) {
            bound.emplace_back(name);
            g_variant_unref(properties);
          }
        }
        bool complete = true;
        for (const std::string& name : job->required) {
          bool found = false;
          for (const std::string& got : bound) found = found || got == name;
          complete = complete && found;
        }
        if (code != 0 || !complete) {
          OutputDebugString("-----桌面未绑定快捷键-----\r\n");
          CloseSession(state, session);
          if (shortcuts != nullptr) g_variant_unref(shortcuts);
          Finish(job, false, std::move(bound));
          return;
        }
        // The new session is in force: the old one goes, and with it its keys.
        CloseSession(state, state->session);
        state->session = session;
        state->shortcuts.clear();
        state->triggers.clear();
        for (const PortalShortcut& shortcut : job->shortcuts) {
          for (const std::string& name : bound) {
            if (name == shortcut.name) state->shortcuts[name] = shortcut;
          }
        }
        if (shortcuts != nullptr) {
          ReadTriggers(*state, shortcuts);
          g_variant_unref(shortcuts);
        }
        Finish(job, true, std::move(bound));
      });
}

void CreateSessionAndBind(const BindJobRef& job) {
  const StateRef& state = job->state;
  const std::string token = NewToken(*state, "create");
  const std::string session_token = NewToken(*state, "session");
  GVariant* arguments = g_variant_new("(@a{sv})", TokenOptions(token, session_token));
  CallWithResponse(state, "CreateSession", arguments, token, [job](guint32 code, GVariant* results) {
    const gchar* session = nullptr;
    // The session handle is a string in the interface's description and an object path in some
    // portals; both read as a string.
    GVariant* handle =
        results != nullptr ? g_variant_lookup_value(results, "session_handle", nullptr) : nullptr;
    if (handle != nullptr && (g_variant_is_of_type(handle, G_VARIANT_TYPE_STRING) ||
                              g_variant_is_of_type(handle, G_VARIANT_TYPE_OBJECT_PATH)))
      session = g_variant_get_string(handle, nullptr);
    if (code != 0 || session == nullptr || !g_variant_is_object_path(session)) {
      OutputDebugString("-----桌面未建立快捷键会话-----\r\n");
      if (handle != nullptr) g_variant_unref(handle);
      Finish(job, false, {});
      return;
    }
    const std::string path = session;
    g_variant_unref(handle);
    BindInSession(job, path);
  });
}

}  // namespace

PortalShortcuts& PortalShortcuts::Install() {
  auto* shortcuts = new PortalShortcuts();
  GlobalShortcuts::Install(std::unique_ptr<GlobalShortcuts>(shortcuts));
  return *shortcuts;
}

PortalShortcuts::PortalShortcuts() : state_(std::make_shared<State>()) {}

PortalShortcuts::~PortalShortcuts() {
  CloseSession(state_, state_->session);
  state_->session.clear();
  state_->shortcuts.clear();
  g_cancellable_cancel(state_->cancellable);
}

void PortalShortcuts::Probe(HWND port, ProbeDone done) {
  auto answer = [port, done = std::move(done)](bool available) {
    ReplyPort::Post(port, [done, available] { done(available); });
  };
  StateRef state = state_;
  WithConnection(state, [state, answer](GDBusConnection* connection) {
    if (connection == nullptr) {
      answer(false);
      return;
    }
    auto* pending = new std::function<void(bool)>(answer);
    g_dbus_connection_call(
        connection, kPortalName, kPortalPath, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", kShortcutsInterface, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
        kProbeTimeoutMs, state->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          std::unique_ptr<std::function<void(bool)>> reply_to(static_cast<std::function<void(bool)>*>(data));
          GError* error = nullptr;
          GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
          if (reply == nullptr) {
            const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
            if (!cancelled)
              OutputDebugString(std::string("-----桌面不提供全局快捷键：") + error->message + "-----\r\n");
            g_error_free(error);
            if (!cancelled) (*reply_to)(false);
            return;
          }
          GVariant* version = nullptr;
          g_variant_get(reply, "(v)", &version);
          const bool available =
              g_variant_is_of_type(version, G_VARIANT_TYPE_UINT32) && g_variant_get_uint32(version) >= 1;
          g_variant_unref(version);
          g_variant_unref(reply);
          (*reply_to)(available);
        },
        pending);
  });
}

void PortalShortcuts::Bind(std::vector<PortalShortcut> shortcuts, std::vector<std::string> required,
                           HWND port, BindDone done) {
  auto job = std::make_shared<BindJob>();
  job->state = state_;
  job->shortcuts = std::move(shortcuts);
  job->required = std::move(required);
  job->done = [port, done = std::move(done)](bool accepted, std::vector<std::string> bound) {
    ReplyPort::Post(port, [done, accepted, bound = std::move(bound)] { done(accepted, bound); });
  };
  WithConnection(state_, [job](GDBusConnection* connection) {
    if (connection == nullptr) {
      Finish(job, false, {});
      return;
    }
    if (job->shortcuts.empty()) {
      CloseSession(job->state, job->state->session);
      job->state->session.clear();
      job->state->shortcuts.clear();
      job->state->triggers.clear();
      Finish(job, true, {});
      return;
    }
    CreateSessionAndBind(job);
  });
}

std::string PortalShortcuts::TriggerOf(const std::string& name) const {
  auto it = state_->triggers.find(name);
  return it == state_->triggers.end() ? std::string() : it->second;
}

}  // namespace qrv
