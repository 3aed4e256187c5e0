#pragma once
// Tray icons as GtkStatusIcons (the XEmbed system tray of X11 desktops).

#include <gtk/gtk.h>

#include <map>
#include <memory>

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
  // A tray manager owns the tray selection of the screen, or one of our icons sits in a tray.
  bool TaskbarFound() const override;

  // The status icon of the window's tray icon, or null.
  GtkStatusIcon* StatusIconOf(HWND hwnd) const;

  struct Icon {
    HWND hwnd = nullptr;
    UINT callback_message = 0;
    GtkStatusIcon* status = nullptr;
  };

 private:
  std::map<HWND, std::unique_ptr<Icon>> icons_;
};

}  // namespace qrv
