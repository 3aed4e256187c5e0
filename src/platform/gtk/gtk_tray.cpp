#include "platform/gtk/gtk_tray.h"

#include <gdk/gdkx.h>

#include <string>

#include "platform/message_core.h"
#include "platform/messages.h"

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

}  // namespace

GtkTray& GtkTray::Install() {
  auto* tray = new GtkTray();
  TrayIcon::Install(std::unique_ptr<TrayIcon>(tray));
  return *tray;
}

GtkTray::~GtkTray() {
  for (auto& [hwnd, icon] : icons_) {
    g_signal_handlers_disconnect_by_data(icon->status, icon.get());
    gtk_status_icon_set_visible(icon->status, FALSE);
    g_object_unref(icon->status);
  }
}

bool GtkTray::Add(HWND hwnd, UINT callback_message, const std::string& tooltip,
                  std::span<const std::uint8_t> icon_png) {
  if (!IsWindow(hwnd) || icons_.contains(hwnd)) return false;
  GdkPixbuf* pixbuf = PixbufFromPng(icon_png);
  if (pixbuf == nullptr) return false;
  auto icon = std::make_unique<Icon>();
  icon->hwnd = hwnd;
  icon->callback_message = callback_message;
  icon->status = gtk_status_icon_new_from_pixbuf(pixbuf);
  g_object_unref(pixbuf);
  gtk_status_icon_set_tooltip_text(icon->status, tooltip.c_str());
  gtk_status_icon_set_title(icon->status, tooltip.c_str());
  g_signal_connect(icon->status, "button-press-event", G_CALLBACK(OnPress), icon.get());
  g_signal_connect(icon->status, "button-release-event", G_CALLBACK(OnRelease), icon.get());
  g_signal_connect(icon->status, "popup-menu", G_CALLBACK(OnPopupMenu), icon.get());
  gtk_status_icon_set_visible(icon->status, TRUE);
  icons_[hwnd] = std::move(icon);
  return true;
}

bool GtkTray::Modify(HWND hwnd, const std::string& tooltip, std::span<const std::uint8_t> icon_png) {
  auto it = icons_.find(hwnd);
  if (it == icons_.end()) return false;
  GtkStatusIcon* status = it->second->status;
  if (!icon_png.empty()) {
    GdkPixbuf* pixbuf = PixbufFromPng(icon_png);
    if (pixbuf == nullptr) return false;
    gtk_status_icon_set_from_pixbuf(status, pixbuf);
    g_object_unref(pixbuf);
  }
  gtk_status_icon_set_tooltip_text(status, tooltip.c_str());
  gtk_status_icon_set_title(status, tooltip.c_str());
  return true;
}

bool GtkTray::Remove(HWND hwnd) {
  auto it = icons_.find(hwnd);
  if (it == icons_.end()) return false;
  GtkStatusIcon* status = it->second->status;
  g_signal_handlers_disconnect_by_data(status, it->second.get());
  gtk_status_icon_set_visible(status, FALSE);
  g_object_unref(status);
  icons_.erase(it);
  return true;
}

bool GtkTray::TaskbarFound() const {
  for (const auto& [hwnd, icon] : icons_) {
    if (gtk_status_icon_is_embedded(icon->status)) return true;
  }
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return false;
  GdkScreen* screen = gdk_display_get_default_screen(display);
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(gdk_x11_screen_get_screen_number(screen));
  Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
  return XGetSelectionOwner(xdisplay, gdk_x11_get_xatom_by_name_for_display(display, selection.c_str())) != None;
}

GtkStatusIcon* GtkTray::StatusIconOf(HWND hwnd) const {
  auto it = icons_.find(hwnd);
  return it == icons_.end() ? nullptr : it->second->status;
}

}  // namespace qrv

G_GNUC_END_IGNORE_DEPRECATIONS
