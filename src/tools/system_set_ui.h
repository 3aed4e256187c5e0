#pragma once
// CSystemSetUI: the settings window ("syssetui.xml", window class "UIClockList"), opened by the
// More panel's "bnset" and, through the More panel, by the tray menu. Three pages of the tab
// layout "switch":
//
//   0 general   "opautorun" (start with the session: the autostart entry KRAVO.desktop),
//               "opautologin" (usable only once a password is remembered), "opshowtop" (the main
//               frame above other windows, applied at once), and the close button's action, the
//               pair "opminsize" / "opexit";
//   1 hotkeys   two hotkey fields placed by the window: the screen-capture key and the boss key;
//   2 updates   the pair "zidonggengxin" / "tishigengxin".
//
// "bnok" saves the page shown (only that page) and hides the window; "bnapp" saves it and keeps
// the window; "bnclose" and "bncancle" hide it and save nothing. Saving the hotkey page has the
// main frame re-register both keys (two 1036 posts) and reports event 200011. Of each pair
// exactly one option stays selected.
//
// Made once by the More panel as a pop-up of the main frame, then hidden and shown again (Reopen);
// it deletes itself with its window.

#include <string>

#include "app/program_paths.h"
#include "app/settings_file.h"
#include "tools/edit_ex.h"
#include "tools/stat_sender.h"
#include "ui/ui.h"

namespace qrv {

struct SystemSetDeps {
  const SettingsFile& settings;
  StatSender send_stat;
  LaunchEntry autostart;  // the start-with-the-session entry ($XDG_CONFIG_HOME/autostart/KRAVO.desktop)
};

class CSystemSetUI final : public CSkinnedWindow {
 public:
  static constexpr int kGeneralPage = 0;
  static constexpr int kHotkeyPage = 1;
  static constexpr int kUpdatePage = 2;
  static constexpr RECT kCaptureFieldRect{263, 86, 438, 101};
  static constexpr RECT kBossFieldRect{263, 162, 438, 177};
  static constexpr const char* kCaptureFieldName = "edcapkey";
  static constexpr const char* kBossFieldName = "edbosskey";
  static constexpr const char* kSaveHotkeysEvent = "200011";
  // A window whose right edge would pass the work area's ends this far inside it.
  static constexpr int kRightEdgeInset = 50;
  static constexpr int kDragBandWidth = 448;
  static constexpr int kDragBandHeight = 35;

  explicit CSystemSetUI(SystemSetDeps deps);

  std::string GetWindowClassName() const override { return "UIClockList"; }
  void Notify(TNotifyUI& msg) override;

  // Shown again by the More panel: centred, the general page reloaded and selected, the hotkey
  // fields hidden (the caller shows the window).
  void Reopen();

  // The page "switch" shows, or -1 without it.
  int CurrentPage() const;
  // Saves the page shown, as "bnapp" does.
  void SaveCurrentPage();

  CEditEx* capture_field() const { return capture_field_; }
  CEditEx* boss_field() const { return boss_field_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  // Pages (system_set_pages.cpp).
  void LoadGeneralPage();
  void LoadHotkeyPage();
  void LoadUpdatePage();
  void SaveGeneralPage();
  void SaveHotkeyPage();
  void SaveUpdatePage();

  void OnClick(const std::string& name);
  void SelectPage(int page);
  void ShowHotkeyFields(bool show);
  // Of `changed` and `other`, exactly one stays selected.
  static void KeepOneOfPair(COptionUI* changed, COptionUI* other);
  void KeepInsideWorkArea();

  SystemSetDeps deps_;
  CTabLayoutUI* switch_ = nullptr;
  COptionUI* autorun_ = nullptr;
  COptionUI* autologin_ = nullptr;
  COptionUI* show_top_ = nullptr;
  COptionUI* minimise_ = nullptr;     // "opminsize"
  COptionUI* exit_ = nullptr;         // "opexit"
  COptionUI* update_auto_ = nullptr;  // "zidonggengxin"
  COptionUI* update_ask_ = nullptr;   // "tishigengxin"
  CEditEx* capture_field_ = nullptr;
  CEditEx* boss_field_ = nullptr;
};

}  // namespace qrv
