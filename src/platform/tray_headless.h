#pragma once
// Tray icons without a display: kept in memory; a test clicks one with Click.

#include <map>
#include <vector>

#include "platform/tray.h"

namespace qrv {

class HeadlessTray final : public TrayIcon {
 public:
  struct Icon {
    UINT callback_message = 0;
    std::string tooltip;
    std::vector<std::uint8_t> png;
  };

  // Installs a headless tray for the process and returns it (owned by TrayIcon).
  static HeadlessTray& Install();

  bool Add(HWND hwnd, UINT callback_message, const std::string& tooltip,
           std::span<const std::uint8_t> icon_png) override;
  bool Modify(HWND hwnd, const std::string& tooltip, std::span<const std::uint8_t> icon_png) override;
  bool Remove(HWND hwnd) override;
  bool TaskbarFound() const override { return taskbar_found_; }
  TrayIconKind KindOf(HWND hwnd) const override {
    return icons_.contains(hwnd) ? TrayIconKind::kSystemTray : TrayIconKind::kNone;
  }
  void SetThemeIconName(const std::string& name) override { theme_icon_name_ = name; }
  const std::string& theme_icon_name() const { return theme_icon_name_; }

  void set_taskbar_found(bool found) { taskbar_found_ = found; }
  const Icon* Find(HWND hwnd) const;
  // The player clicks the icon: posts its callback message with `mouse_message` (WM_LBUTTONDOWN,
  // WM_RBUTTONUP) in lparam. Returns whether the window has an icon.
  bool Click(HWND hwnd, UINT mouse_message);

 private:
  HeadlessTray() = default;

  std::map<HWND, Icon> icons_;
  bool taskbar_found_ = true;
  std::string theme_icon_name_;
};

}  // namespace qrv
