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
// the window; "bnclose" and "bncancle" hide it and save nothing. Saving the hotkey page asks the
// main frame to bind both keys (message 1036 with a HotkeyChange) and waits for its answer
// (message 1038): once they are in force the page is written and event 200011 reported; a key
// that cannot be bound leaves the window open with the reason in "lbhotkeyerror", and nothing
// is written. "lbcapstate" and "lbbossstate" show what is in force. Of each pair exactly one
// option stays selected.
//
// Made once by the More panel as a pop-up of the main frame, then hidden and shown again (Reopen);
// it deletes itself with its window.

#include <optional>
#include <string>

#include "app/program_paths.h"
#include "app/settings_file.h"
#include "tools/edit_ex.h"
#include "tools/hotkey_binding.h"
#include "tools/stat_sender.h"
#include "ui/ui.h"

namespace qrv {

struct SystemSetDeps {
  const SettingsFile& settings;
  StatSender send_stat;
  LaunchEntry autostart;       // the start-with-the-session entry ($XDG_CONFIG_HOME/autostart/KRAVO.desktop)
  HotkeyStatusSource hotkeys;  // the frame's hotkeys as they stand (nothing shown without)
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
  static constexpr const char* kCaptureStateName = "lbcapstate";
  static constexpr const char* kBossStateName = "lbbossstate";
  static constexpr const char* kErrorLineName = "lbhotkeyerror";
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
  // Saves the page shown, as "bnapp" does. False when the hotkey page waits for the main frame's
  // answer before it writes anything.
  bool SaveCurrentPage();
  // The refusal line's text ("" when none).
  std::string error_text() const { return error_line_ != nullptr ? error_line_->GetText() : std::string(); }
  bool waiting() const { return pending_.has_value(); }

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
  bool SaveHotkeyPage();
  void WriteHotkeys(const std::string& capture, const std::string& boss);
  void OnHotkeyAnswer(const HotkeyAnswer& answer);
  void ShowInForce(const std::vector<HotkeyInForce>& keys);
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
  CControlUI* capture_state_ = nullptr;  // "lbcapstate"
  CControlUI* boss_state_ = nullptr;     // "lbbossstate"
  CControlUI* error_line_ = nullptr;     // "lbhotkeyerror"

  // The hotkey page sent to the frame, whose answer has not come yet.
  struct Pending {
    int serial = 0;
    std::string capture;
    std::string boss;
    bool hide = false;  // "bnok": the window hides once the keys are in force
  };
  std::optional<Pending> pending_;
  int serial_ = 0;
};

}  // namespace qrv
