#pragma once
// CMoreUI: the More panel ("moreui.xml"), the drop-down of the main frame's "bnmore" button. It
// gathers the less frequent tools and opens their windows, each made on its first click and shown
// again after that: the alarm list (asked of the main frame with message 1035 and the panel's
// rectangle), the settings window, the boss-key window, the feedback page (in the system's
// browser, through a hidden browser view), the flash repair and a cache cleaner of its own.
// Message 1049 (the tray menu's settings entry) opens the settings window as "bnset" does.
//
// The panel hides itself when the mouse leaves it; the main frame makes it hidden at its start-up
// and keeps it to the end of the process; it deletes itself with its window.

#include <string>

#include "app/app_services.h"
#include "browser/browser_view.h"
#include "tools/cache_cleaner.h"
#include "tools/hotkey_binding.h"
#include "ui/ui.h"

namespace qrv {

class CSystemSetUI;
class CBossSetUI;
class CFlashRepairUI;
class CRepairTool;

struct MorePanelDeps {
  AppServices& services;
  CacheTargets cache_targets;  // what the panel's cache cleaner empties
  HotkeyStatusSource hotkeys;  // the frame's hotkeys as they stand, for the windows that show them
};

class CMoreUI final : public CSkinnedWindow {
 public:
  static constexpr const char* kTitle = "更多选项";
  static constexpr const char* kSettingsEvent = "200011";

  explicit CMoreUI(MorePanelDeps deps);
  ~CMoreUI() override;

  // The logged-in account, for the feedback page; set right after the panel is made.
  void SetAccount(std::string account) { account_ = std::move(account); }

  std::string GetWindowClassName() const override { return "UIMore"; }
  void Notify(TNotifyUI& msg) override;

  // "bnset" and message 1049.
  void OpenSettings();
  // For the boss key: hides every window the panel opened that still exists.
  void HideWindows();

  // The tool windows while they exist (null before their first click or once gone).
  CSystemSetUI* settings_window() const;
  CBossSetUI* boss_window() const;
  CFlashRepairUI* flash_window() const;
  CRepairTool* cleaner_window() const;
  CMyHtmlView& hidden_view() { return hidden_view_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void OnClick(const std::string& name);
  void AskForAlarmList();
  void OpenBossKey();
  void OpenFeedback();
  void OpenFlashRepair();
  void OpenCacheCleaner();
  // Creates `window` as a pop-up of the main frame at the panel's top-left corner with the
  // layout's size, centred and still hidden. Returns its handle, or null (the object is gone).
  HWND CreateTool(CSkinnedWindow* window);

  MorePanelDeps deps_;
  std::string account_;
  CMyHtmlView hidden_view_;
  // Each tool window deletes itself with its window; it is used only while its handle is one.
  HWND settings_ = nullptr;
  HWND boss_ = nullptr;
  HWND flash_ = nullptr;
  HWND cleaner_ = nullptr;
};

}  // namespace qrv
