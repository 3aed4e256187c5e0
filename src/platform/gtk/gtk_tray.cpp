#include "platform/gtk/gtk_tray.h"

#include <gdk/gdkx.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"

// GtkStatusIcon is deprecated in GTK 3 but is still the way to the XEmbed tray that X11 desktops
// show; GTK 3 has no successor.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace qrv {
namespace {

GdkPixbuf* PixbufFromPng(std::span<const std::uint8_t> png) {
  if (png.empty()) return nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
  if (loader == nullptr) return nullptr;
  GdkPixbuf* pixbuf = nullptr;
  const bool written = gdk_pixbuf_loader_write(loader, png.data(), png.size(), nullptr) != FALSE;
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr) != FALSE;
  if (written && closed) {
    pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (pixbuf != nullptr) g_object_ref(pixbuf);
  }
  g_object_unref(loader);
  return pixbuf;
}

void PostCallback(const GtkTray::Icon* icon, UINT mouse_message) {
  PostMessage(icon->hwnd, icon->callback_message, 0, static_cast<LPARAM>(mouse_message));
}

gboolean OnPress(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
  if (event->type != GDK_BUTTON_PRESS) return TRUE;
  if (event->button == 1) PostCallback(static_cast<GtkTray::Icon*>(data), WM_LBUTTONDOWN);
  if (event->button == 3) PostCallback(static_cast<GtkTray::Icon*>(data), WM_RBUTTONDOWN);
  return TRUE;
}

gboolean OnRelease(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
  if (event->button == 1) PostCallback(static_cast<GtkTray::Icon*>(data), WM_LBUTTONUP);
  if (event->button == 3) PostCallback(static_cast<GtkTray::Icon*>(data), WM_RBUTTONUP);
  return TRUE;
}

void OnPopupMenu(GtkStatusIcon*, guint, guint, gpointer data) {
  PostCallback(static_cast<GtkTray::Icon*>(data), WM_RBUTTONUP);
}

constexpr char kWatcherName[] = "org.kde.StatusNotifierWatcher";

void OnAppeared(GDBusConnection* connection, const gchar*, const gchar*, gpointer data) {
  static_cast<GtkTray*>(data)->OnWatcherAppeared(connection);
}

void OnVanished(GDBusConnection*, const gchar*, gpointer data) {
  static_cast<GtkTray*>(data)->OnWatcherVanished();
}

// The program's name as the desktop knows it (GTK sets it from the program file's name).
std::string ProgramId() {
  const char* name = g_get_prgname();
  return name != nullptr ? name : "zelto_qrv";
}

}  // namespace

GtkTray& GtkTray::Install() {
  auto* tray = new GtkTray();
  TrayIcon::Install(std::unique_ptr<TrayIcon>(tray));
  return *tray;
}

GtkTray::~GtkTray() {
  *alive_ = false;
  for (auto& [hwnd, icon] : icons_) {
    icon->item.reset();
    DropStatusIcon(*icon);
    g_object_unref(icon->pixbuf);
  }
  if (watch_ != 0) g_bus_unwatch_name(watch_);
  if (connection_ != nullptr) g_object_unref(connection_);
}

void GtkTray::StartWatching() {
  if (watch_ != 0) return;
  watch_ = g_bus_watch_name(G_BUS_TYPE_SESSION, kWatcherName, G_BUS_NAME_WATCHER_FLAGS_NONE, OnAppeared,
                            OnVanished, this, nullptr);
}

void GtkTray::OnWatcherAppeared(GDBusConnection* connection) {
  // The session bus connection is shared by the whole process; losing the bus must not end the
  // launcher, which is what a shared connection does by default.
  g_dbus_connection_set_exit_on_close(connection, FALSE);
  if (connection_ != connection) {
    if (connection_ != nullptr) g_object_unref(connection_);
    connection_ = G_DBUS_CONNECTION(g_object_ref(connection));
  }
  watcher_ = Watcher::kPresent;
  for (auto& [hwnd, icon] : icons_) {
    if (!icon->item && !ShowAsItem(*icon)) ShowAsStatusIcon(*icon);
  }
}

void GtkTray::OnWatcherVanished() {
  watcher_ = Watcher::kAbsent;
  for (auto& [hwnd, icon] : icons_) {
    icon->item.reset();
    ShowAsStatusIcon(*icon);
  }
}

void GtkTray::OnItemFailed(HWND hwnd) {
  auto it = icons_.find(hwnd);
  if (it == icons_.end() || !it->second->item) return;
  it->second->item.reset();
  ShowAsStatusIcon(*it->second);
}

void GtkTray::ShowAsStatusIcon(Icon& icon) {
  if (icon.status == nullptr) {
    icon.status = gtk_status_icon_new_from_pixbuf(icon.pixbuf);
    gtk_status_icon_set_tooltip_text(icon.status, icon.tooltip.c_str());
    gtk_status_icon_set_title(icon.status, icon.tooltip.c_str());
    g_signal_connect(icon.status, "button-press-event", G_CALLBACK(OnPress), &icon);
    g_signal_connect(icon.status, "button-release-event", G_CALLBACK(OnRelease), &icon);
    g_signal_connect(icon.status, "popup-menu", G_CALLBACK(OnPopupMenu), &icon);
  }
  // Not shown while it is unknown whether a watcher will take the icon instead: a tray proxy for
  // the old icons (as KDE Plasma runs) would show it twice for a moment.
  gtk_status_icon_set_visible(icon.status, watcher_ == Watcher::kUnknown ? FALSE : TRUE);
}

bool GtkTray::ShowAsItem(Icon& icon) {
  if (connection_ == nullptr) return false;
  StatusNotifierItem::Look look;
  look.id = ProgramId();
  look.title = WindowSystem::Installed() ? WindowSystem::Get().Title(icon.hwnd) : icon.tooltip;
  if (look.title.empty()) look.title = icon.tooltip;
  look.icon_name = theme_icon_name_;
  look.pixbuf = icon.pixbuf;
  const HWND hwnd = icon.hwnd;
  const UINT callback_message = icon.callback_message;
  auto on_request = [hwnd, callback_message](StatusNotifierItem::Request request, POINT at) {
    const UINT mouse_message =
        request == StatusNotifierItem::Request::kActivate ? WM_LBUTTONDOWN : WM_CONTEXTMENU;
    PostMessage(hwnd, callback_message, PackTrayPoint(at), static_cast<LPARAM>(mouse_message));
  };
  // The failure is reported from inside a D-Bus callback of the item; the item is let go of
  // once that has returned.
  std::weak_ptr<bool> alive = alive_;
  auto on_failure = [this, alive, hwnd] {
    auto* job = new std::function<void()>([this, alive, hwnd] {
      if (!alive.expired()) OnItemFailed(hwnd);
    });
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
          (*static_cast<std::function<void()>*>(data))();
          return G_SOURCE_REMOVE;
        },
        job, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
  };
  auto item = std::make_unique<StatusNotifierItem>(connection_, look, on_request, on_failure);
  if (!item->exported()) return false;
  icon.item = std::move(item);
  DropStatusIcon(icon);
  return true;
}

void GtkTray::DropStatusIcon(Icon& icon) {
  if (icon.status == nullptr) return;
  g_signal_handlers_disconnect_by_data(icon.status, &icon);
  gtk_status_icon_set_visible(icon.status, FALSE);
  g_object_unref(icon.status);
  icon.status = nullptr;
}

bool GtkTray::Add(HWND hwnd, UINT callback_message, const std::string& tooltip,
                  std::span<const std::uint8_t> icon_png) {
  if (!IsWindow(hwnd) || icons_.contains(hwnd)) return false;
  GdkPixbuf* pixbuf = PixbufFromPng(icon_png);
  if (pixbuf == nullptr) return false;
  auto icon = std::make_unique<Icon>();
  icon->hwnd = hwnd;
  icon->callback_message = callback_message;
  icon->tooltip = tooltip;
  icon->pixbuf = pixbuf;
  StartWatching();
  if (watcher_ != Watcher::kPresent || !ShowAsItem(*icon)) ShowAsStatusIcon(*icon);
  icons_[hwnd] = std::move(icon);
  return true;
}

bool GtkTray::Modify(HWND hwnd, const std::string& tooltip, std::span<const std::uint8_t> icon_png) {
  auto it = icons_.find(hwnd);
  if (it == icons_.end()) return false;
  Icon& icon = *it->second;
  if (!icon_png.empty()) {
    GdkPixbuf* pixbuf = PixbufFromPng(icon_png);
    if (pixbuf == nullptr) return false;
    g_object_unref(icon.pixbuf);
    icon.pixbuf = pixbuf;
    if (icon.status != nullptr) gtk_status_icon_set_from_pixbuf(icon.status, pixbuf);
    if (icon.item) icon.item->SetPixbuf(pixbuf);
  }
  icon.tooltip = tooltip;
  if (icon.status != nullptr) {
    gtk_status_icon_set_tooltip_text(icon.status, tooltip.c_str());
    gtk_status_icon_set_title(icon.status, tooltip.c_str());
  }
  return true;
}

bool GtkTray::Remove(HWND hwnd) {
  auto it = icons_.find(hwnd);
  if (it == icons_.end()) return false;
  Icon& icon = *it->second;
  icon.item.reset();
  DropStatusIcon(icon);
  g_object_unref(icon.pixbuf);
  icons_.erase(it);
  return true;
}

TrayIconKind GtkTray::KindOf(HWND hwnd) const {
  auto it = icons_.find(hwnd);
  if (it == icons_.end()) return TrayIconKind::kNone;
  return it->second->item ? TrayIconKind::kStatusNotifierItem : TrayIconKind::kSystemTray;
}

bool GtkTray::TaskbarFound() const {
  if (watcher_ == Watcher::kPresent) return true;
  for (const auto& [hwnd, icon] : icons_) {
    if (icon->status != nullptr && gtk_status_icon_is_embedded(icon->status)) return true;
  }
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return false;
  GdkScreen* screen = gdk_display_get_default_screen(display);
  const std::string selection =
      "_NET_SYSTEM_TRAY_S" + std::to_string(gdk_x11_screen_get_screen_number(screen));
  Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
  return XGetSelectionOwner(xdisplay, gdk_x11_get_xatom_by_name_for_display(display, selection.c_str())) !=
         None;
}

GtkStatusIcon* GtkTray::StatusIconOf(HWND hwnd) const {
  auto it = icons_.find(hwnd);
  return it == icons_.end() ? nullptr : it->second->status;
}

}  // namespace qrv

G_GNUC_END_IGNORE_DEPRECATIONS
