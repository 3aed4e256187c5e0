#pragma once
// Tray icons on the desktops of X11 and Wayland sessions. While the session bus has an
// org.kde.StatusNotifierWatcher (KDE Plasma, GNOME with the AppIndicator extension, and most
// others), a window's icon is a StatusNotifierItem registered with it; otherwise it is a
// GtkStatusIcon in the XEmbed system tray. The watcher is watched for as long as icons exist:
// when it appears or goes, every icon moves to the other kind at once. Until the first answer
// about the watcher arrives, an icon is a status icon that is not shown yet.

#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <string>

#include "platform/gtk/gtk_status_notifier_item.h"
#include "platform/tray.h"

namespace qrv {

class GtkTray final : public TrayIcon {
 public:
  // Installs the GTK tray for the process and returns it (owned by TrayIcon).
  static GtkTray& Install();

  GtkTray() = default;
  ~GtkTray() override;
  GtkTray(const GtkTray&) = delete;
  GtkTray& operator=(const GtkTray&) = delete;

  bool Add(HWND hwnd, UINT callback_message, const std::string& tooltip,
           std::span<const std::uint8_t> icon_png) override;
  bool Modify(HWND hwnd, const std::string& tooltip, std::span<const std::uint8_t> icon_png) override;
  bool Remove(HWND hwnd) override;
  // A watcher takes status notifier items, a tray manager owns the tray selection of the screen,
  // or one of our icons sits in a tray.
  bool TaskbarFound() const override;
  TrayIconKind KindOf(HWND hwnd) const override;
  void SetThemeIconName(const std::string& name) override { theme_icon_name_ = name; }

  // The status icon of the window's tray icon, or null (also while it is a status notifier item).
  GtkStatusIcon* StatusIconOf(HWND hwnd) const;

  struct Icon {
    HWND hwnd = nullptr;
    UINT callback_message = 0;
    std::string tooltip;
    GdkPixbuf* pixbuf = nullptr;
    GtkStatusIcon* status = nullptr;
    std::unique_ptr<StatusNotifierItem> item;
  };

  // The watcher's comings and goings, from the bus watch.
  void OnWatcherAppeared(GDBusConnection* connection);
  void OnWatcherVanished();
  // An item the watcher would not take goes back to being a status icon.
  void OnItemFailed(HWND hwnd);

 private:
  enum class Watcher { kUnknown, kPresent, kAbsent };

  void StartWatching();
  void ShowAsStatusIcon(Icon& icon);
  // False when the item cannot be exported (the path is taken by another icon's item).
  bool ShowAsItem(Icon& icon);
  static void DropStatusIcon(Icon& icon);

  std::map<HWND, std::unique_ptr<Icon>> icons_;
  Watcher watcher_ = Watcher::kUnknown;
  guint watch_ = 0;
  GDBusConnection* connection_ = nullptr;
  std::string theme_icon_name_;
  // Deferred work (an item's failure) checks this before it touches the tray.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qrv
