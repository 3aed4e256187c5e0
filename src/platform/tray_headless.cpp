#include "platform/tray_headless.h"

#include "platform/message_core.h"

namespace qrv {
namespace {

std::unique_ptr<TrayIcon>& InstalledTray() {
  static std::unique_ptr<TrayIcon> tray;
  return tray;
}

}  // namespace

void TrayIcon::Install(std::unique_ptr<TrayIcon> tray) {
  InstalledTray().reset();
  InstalledTray() = std::move(tray);
}

TrayIcon& TrayIcon::Get() {
  if (!InstalledTray()) HeadlessTray::Install();
  return *InstalledTray();
}

HeadlessTray& HeadlessTray::Install() {
  auto* tray = new HeadlessTray();
  TrayIcon::Install(std::unique_ptr<TrayIcon>(tray));
  return *tray;
}

bool HeadlessTray::Add(HWND hwnd, UINT callback_message, const std::string& tooltip,
                       std::span<const std::uint8_t> icon_png) {
  if (!IsWindow(hwnd) || icons_.contains(hwnd) || icon_png.empty()) return false;
  icons_[hwnd] = Icon{callback_message, tooltip, {icon_png.begin(), icon_png.end()}};
  return true;
}

bool HeadlessTray::Modify(HWND hwnd, const std::string& tooltip, std::span<const std::uint8_t> icon_png) {
  auto it = icons_.find(hwnd);
  if (it == icons_.end()) return false;
  it->second.tooltip = tooltip;
  if (!icon_png.empty()) it->second.png.assign(icon_png.begin(), icon_png.end());
  return true;
}

bool HeadlessTray::Remove(HWND hwnd) { return icons_.erase(hwnd) > 0; }

const HeadlessTray::Icon* HeadlessTray::Find(HWND hwnd) const {
  auto it = icons_.find(hwnd);
  return it == icons_.end() ? nullptr : &it->second;
}

bool HeadlessTray::Click(HWND hwnd, UINT mouse_message) {
  const Icon* icon = Find(hwnd);
  if (icon == nullptr) return false;
  return PostMessage(hwnd, icon->callback_message, 0, static_cast<LPARAM>(mouse_message));
}

}  // namespace qrv
