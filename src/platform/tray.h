#pragma once
// The notification-area (tray) icon of a window. A click on the icon posts the window's callback
// message with wparam 0 and, in lparam, the mouse message a tray sends: WM_LBUTTONDOWN for a left
// press, WM_RBUTTONUP for a right release (or the context-menu key). The back end is installed
// like the WindowSystem: GTK shows a status icon in the desktop's system tray, headless records
// the icons and lets a test click one.
//
// A window has at most one icon. The picture is PNG data; the back end keeps its own copy.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/types.h"

namespace qrv {

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;

  // Installs the back end for the process; the icons of the previous one go away with it.
  static void Install(std::unique_ptr<TrayIcon> tray);
  // The installed back end; headless when none was installed.
  static TrayIcon& Get();

  // Fails when the window already has an icon, is no window, or the picture cannot be read.
  virtual bool Add(HWND hwnd, UINT callback_message, const std::string& tooltip,
                   std::span<const std::uint8_t> icon_png) = 0;
  // Changes the tooltip, and the picture unless `icon_png` is empty. Fails when there is no icon.
  virtual bool Modify(HWND hwnd, const std::string& tooltip, std::span<const std::uint8_t> icon_png) = 0;
  // Fails when there is no icon.
  virtual bool Remove(HWND hwnd) = 0;
  // Whether a system tray is there to hold icons (the "taskbar" the tray menu attaches to).
  virtual bool TaskbarFound() const = 0;
};

}  // namespace qrv
