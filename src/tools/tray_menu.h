#pragma once
// The tray menu: the small pop-up a right click on the notification-area icon opens just above
// and left of the cursor ("menuTray.xml"), or, when the desktop's tray host says where the menu
// belongs (a StatusNotifierItem's context-menu request), at that point. Its three entries are rows of one
// list, so the row under the mouse shows selected as in a native menu:
//
//   "menu_show"    restores a minimised or hidden main frame and gives it the keyboard focus,
//                  then the menu closes;
//   "menu_sysset"  asks the More panel to open the settings window, then the menu closes;
//   "menu_exit"    reports the exit, has the main frame take its exit steps (exit notice, tray
//                  icon off) and ends the program at once, without the exit question.
//
// The menu closes itself when the keyboard focus goes to any other window, and deletes itself
// with its window. One menu is made per right click.

#include <functional>
#include <optional>
#include <string_view>

#include "ui/ui.h"

namespace qrv {

class CTrayMenu final : public CSkinnedWindow {
 public:
  static constexpr int kWidth = 126;
  static constexpr int kHeight = 105;
  // The menu's top-left corner lies this far left of and above the cursor.
  static constexpr int kLeftOfCursor = 129;
  static constexpr int kAboveCursor = 100;
  static constexpr int kCornerSize = 3;
  static constexpr const char* kExitEvent = "200012";

  // Reports a statistics event ("200012"); the program passes its statistics beacon.
  using StatSender = std::function<void(std::string_view code)>;

  CTrayMenu(HWND main_frame, StatSender send_stat);

  // Where the menu opens for a cursor at `cursor`: its top-left corner 129 pixels left of and 100
  // above the cursor, moved only as far as it takes to keep it inside `area`.
  static RECT RectAtCursor(POINT cursor, const RECT& area);
  // Where the menu opens at a host's `anchor`: there, as a context menu opens (its top-left
  // corner at the point, turned to the left of or above it where the area ends), and inside
  // `area`.
  static RECT RectAtAnchor(POINT anchor, const RECT& area);

  // Opens a menu for `main_frame` at `anchor`, or at the cursor without one, on the work area of
  // that point's monitor, with `more_panel` (may be null) as the target of the settings entry.
  // Returns null, and makes nothing, when there is no system tray to anchor the menu to or its
  // window cannot be made.
  static CTrayMenu* Open(HWND main_frame, HWND more_panel, StatSender send_stat,
                         std::optional<POINT> anchor = std::nullopt);

  void SetMorePanel(HWND more_panel) { more_panel_ = more_panel; }

  std::string GetWindowClassName() const override { return "MenuTrayWnd"; }
  // The toolkit's default class style: a menu has no use for double clicks.
  UINT GetClassStyle() const override { return 0; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void SelectRowAt(POINT pt);
  void OnItemClick(const std::string& name);
  void ShowMainFrame();
  [[noreturn]] void ExitProgram();

  HWND main_frame_ = nullptr;
  HWND more_panel_ = nullptr;
  StatSender send_stat_;
  CControlUI* exit_item_ = nullptr;
  CControlUI* settings_item_ = nullptr;
  CControlUI* show_item_ = nullptr;
};

}  // namespace qrv
