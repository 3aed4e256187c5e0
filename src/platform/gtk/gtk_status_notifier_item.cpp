#include "platform/gtk/gtk_status_notifier_item.h"

#include <unistd.h>

#include <vector>

#include "platform/debug_sink.h"

namespace qrv {
namespace {

constexpr char kItemPath[] = "/StatusNotifierItem";
constexpr char kItemInterface[] = "org.kde.StatusNotifierItem";
constexpr char kWatcherName[] = "org.kde.StatusNotifierWatcher";
constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
constexpr int kCallTimeoutMs = 10000;

// No Menu property and no menu object: hosts then ask for ContextMenu, and the program's own menu
// is the only one.
constexpr char kIntrospection[] = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionMovieName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate">
      <arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/>
    </method>
    <method name="Scroll">
      <arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/>
    </method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewAttentionIcon"/>
    <signal name="NewOverlayIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
</node>)xml";

GDBusInterfaceInfo* ItemInterfaceInfo() {
  static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  return node->interfaces[0];
}

// The picture as the protocol carries it: width, height and ARGB32 pixels in network byte order.
GVariant* PixmapsOf(GdkPixbuf* pixbuf) {
  GVariantBuilder pixmaps;
  g_variant_builder_init(&pixmaps, G_VARIANT_TYPE("a(iiay)"));
  if (pixbuf != nullptr && gdk_pixbuf_get_bits_per_sample(pixbuf) == 8) {
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf) != FALSE;
    const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
    std::vector<guint8> argb;
    argb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
      const guint8* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      for (int x = 0; x < width; ++x) {
        const guint8* p = row + static_cast<std::ptrdiff_t>(x) * channels;
        argb.push_back(alpha ? p[3] : 0xff);
        argb.push_back(p[0]);
        argb.push_back(p[1]);
        argb.push_back(p[2]);
      }
    }
    GVariant* bytes = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, argb.data(), argb.size(), 1);
    g_variant_builder_add(&pixmaps, "(ii@ay)", width, height, bytes);
  }
  return g_variant_builder_end(&pixmaps);
}

GVariant* NoPixmaps() { return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0); }

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  static_cast<StatusNotifierItem*>(data)->OnMethod(method, parameters);
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name,
                        GError**, gpointer data) {
  return static_cast<const StatusNotifierItem*>(data)->Property(name);
}

void OnNameAcquiredCallback(GDBusConnection*, const gchar*, gpointer data) {
  static_cast<StatusNotifierItem*>(data)->OnNameAcquired();
}

void OnNameLostCallback(GDBusConnection*, const gchar*, gpointer data) {
  static_cast<StatusNotifierItem*>(data)->OnNameLost();
}

}  // namespace

// The registration call's answer may come after the item has gone; the call is cancelled then,
// and the answer only looks at the item when it was not.
struct StatusNotifierItem::Pending {
  static void OnRegistered(GObject* source, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    if (reply != nullptr) {
      g_variant_unref(reply);
      return;
    }
    if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
      OutputDebugString(std::string("-----托盘图标未能登记：") + error->message + "-----\r\n");
      static_cast<StatusNotifierItem*>(data)->Fail();
    }
    g_error_free(error);
  }
};

StatusNotifierItem::StatusNotifierItem(GDBusConnection* connection, const Look& look,
                                       RequestHandler on_request, FailureHandler on_failure)
    : connection_(G_DBUS_CONNECTION(g_object_ref(connection))),
      look_(look),
      on_request_(std::move(on_request)),
      on_failure_(std::move(on_failure)),
      cancellable_(g_cancellable_new()) {
  if (look_.pixbuf != nullptr) g_object_ref(look_.pixbuf);
  static int serial = 0;
  bus_name_ = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  static const GDBusInterfaceVTable vtable{OnMethodCall, OnGetProperty, nullptr, {}};
  registration_ = g_dbus_connection_register_object(connection_, kItemPath, ItemInterfaceInfo(), &vtable,
                                                    this, nullptr, nullptr);
  if (registration_ == 0) return;
  name_owner_ =
      g_bus_own_name_on_connection(connection_, bus_name_.c_str(), G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
                                   OnNameAcquiredCallback, OnNameLostCallback, this, nullptr);
}

StatusNotifierItem::~StatusNotifierItem() {
  g_cancellable_cancel(cancellable_);
  g_object_unref(cancellable_);
  // Dropping the name is what tells the watcher and the hosts that the item has gone.
  if (name_owner_ != 0) g_bus_unown_name(name_owner_);
  if (registration_ != 0) g_dbus_connection_unregister_object(connection_, registration_);
  if (look_.pixbuf != nullptr) g_object_unref(look_.pixbuf);
  g_object_unref(connection_);
}

void StatusNotifierItem::SetPixbuf(GdkPixbuf* pixbuf) {
  if (pixbuf != nullptr) g_object_ref(pixbuf);
  if (look_.pixbuf != nullptr) g_object_unref(look_.pixbuf);
  look_.pixbuf = pixbuf;
  Emit("NewIcon");
}

GVariant* StatusNotifierItem::Property(const std::string& name) const {
  if (name == "Category") return g_variant_new_string("ApplicationStatus");
  if (name == "Id") return g_variant_new_string(look_.id.c_str());
  if (name == "Title") return g_variant_new_string(look_.title.c_str());
  if (name == "Status") return g_variant_new_string("Active");
  if (name == "WindowId") return g_variant_new_int32(0);
  if (name == "IconName") return g_variant_new_string(look_.icon_name.c_str());
  if (name == "IconPixmap") return PixmapsOf(look_.pixbuf);
  if (name == "OverlayIconPixmap" || name == "AttentionIconPixmap") return NoPixmaps();
  if (name == "OverlayIconName" || name == "AttentionIconName" || name == "AttentionMovieName")
    return g_variant_new_string("");
  if (name == "ToolTip") {
    return g_variant_new("(s@a(iiay)ss)", look_.icon_name.c_str(), NoPixmaps(), look_.title.c_str(), "");
  }
  if (name == "ItemIsMenu") return g_variant_new_boolean(FALSE);
  return nullptr;
}

void StatusNotifierItem::OnMethod(const std::string& method, GVariant* parameters) {
  if (method == "Scroll" || !on_request_) return;
  gint32 x = 0;
  gint32 y = 0;
  g_variant_get(parameters, "(ii)", &x, &y);
  // The middle button (SecondaryActivate) has nothing of its own to do; it opens the menu, as a
  // right click does.
  on_request_(method == "Activate" ? Request::kActivate : Request::kContextMenu, POINT{x, y});
}

void StatusNotifierItem::OnNameAcquired() {
  g_dbus_connection_call(connection_, kWatcherName, kWatcherPath, kWatcherName, "RegisterStatusNotifierItem",
                         g_variant_new("(s)", bus_name_.c_str()), nullptr, G_DBUS_CALL_FLAGS_NONE,
                         kCallTimeoutMs, cancellable_, Pending::OnRegistered, this);
}

void StatusNotifierItem::OnNameLost() {
  OutputDebugString("-----托盘图标的总线名称不可用-----\r\n");
  Fail();
}

void StatusNotifierItem::Emit(const char* signal) {
  if (registration_ == 0) return;
  g_dbus_connection_emit_signal(connection_, nullptr, kItemPath, kItemInterface, signal, nullptr, nullptr);
}

void StatusNotifierItem::Fail() {
  if (failed_) return;
  failed_ = true;
  if (on_failure_) on_failure_();
}

}  // namespace qrv
