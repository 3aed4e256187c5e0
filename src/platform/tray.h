#pragma once
// The notification-area (tray) icon of a window. A click on the icon posts the window's callback
// message with wparam 0 and, in lparam, the mouse message a tray sends: WM_LBUTTONDOWN for a left
// press, WM_RBUTTONUP for a right release (or the context-menu key). A tray that says where its
// menu belongs (a StatusNotifierItem host) asks for the menu with WM_CONTEXTMENU instead, the
// anchor point in wparam (screen coordinates, packed by PackTrayPoint); its activation arrives as
// WM_LBUTTONDOWN. The back end is installed like the WindowSystem: GTK registers a
// StatusNotifierItem when the desktop has a watcher for them and shows a status icon in the XEmbed
// system tray otherwise; headless records the icons and lets a test click one.
//
// A window has at most one icon. The picture is PNG data; the back end keeps its own copy.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/types.h"

namespace qrv {

// How a window's icon is shown at the moment.
enum class TrayIconKind { kNone, kSystemTray, kStatusNotifierItem };

inline WPARAM PackTrayPoint(POINT point) {
  return static_cast<WPARAM>(MAKELPARAM(static_cast<std::uint16_t>(static_cast<std::int16_t>(point.x)),
                                        static_cast<std::uint16_t>(static_cast<std::int16_t>(point.y))));
}
inline POINT TrayPointFromWparam(WPARAM wparam) { return PointFromLparam(static_cast<LPARAM>(wparam)); }

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
  virtual TrayIconKind KindOf(HWND hwnd) const = 0;
  // The icon's name in the desktop's icon theme, for trays that can take an icon by name (a
  // StatusNotifierItem host prefers it to the picture); set when the program is installed with
  // its icon in the theme. Empty: only the picture.
  virtual void SetThemeIconName(const std::string& name) = 0;
};

}  // namespace qrv
