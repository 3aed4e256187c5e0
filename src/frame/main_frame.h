#pragma once
// CMainFrameWnd: the window in which the player plays once a server is chosen. Its top band holds
// the system buttons, the toolbar and the tab strip; below it lie the tab windows, the first of
// which is the chosen server's game page in the frame's own browser view.
//
// The frame is also the hub of the logged-in state: it keeps the login data handed over by the
// login window (or the server list window it opened), sends the heartbeat every ten minutes and
// logs in again when a refresh or a server switch finds the login lost, owns the system hotkeys,
// the keyboard hook and the tray icon, opens the toolbar's pop-ups, and ends the program. Other
// windows reach it only through window messages (messages.h); blocks handed over with a message
// ride as owning payloads, so a refused or undelivered message never leaks or frees one twice.
// It owns the customer-service chat too: the connection, the agent list and the chat tabs
// (main_frame_chat.cpp).
//
// There is one frame per process; it is made with new and deletes itself at its final message.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "browser/browser_view.h"
#include "chat/gm_helper.h"
#include "chat/gm_list_wnd.h"
#include "frame/frame_hotkeys.h"
#include "frame/frame_tray.h"
#include "frame/game_tabs.h"
#include "login/login_hand_off.h"
#include "platform/reply_port.h"
#include "tools/alarm_watch.h"
#include "ui/ui.h"
#include "webapi/platform_service.h"

namespace qrv {

class CUserInfUI;
class CLockScreenUI;
class CMoreUI;
class CRepairTool;
class CCharDlg;

struct FrameDeps {
  AppServices& services;
  PlatformService& platform;
};

class CMainFrameWnd final : public CSkinnedWindow {
 public:
  static constexpr const char* kTitle = "玄岚城";
  static constexpr std::uintptr_t kHeartbeatTimer = 1000001;
  static constexpr unsigned kHeartbeatPeriodMs = 600000;
  // The stored alarms are compared with the clock a second after the frame opened, then whenever
  // one can fall due (and at least once a minute, alarm_watch.h).
  static constexpr std::uintptr_t kAlarmTimer = 1000002;
  static constexpr unsigned kAlarmFirstCheckMs = 1000;
  static constexpr int kTopBand = 50;
  static constexpr RECT kFirstViewRect{0, 50, 1000, 700};
  static constexpr int kDefaultWidth = 1000;
  static constexpr int kDefaultHeight = 700;
  static constexpr const char* kTopBandName = "HorizontalLayoutUI4";
  static constexpr const char* kSingleTabQuestion = "您正在体验玄岚城，是否退出？";
  static constexpr const char* kAlreadyOpenQuestion = "已进入此服务器";

  explicit CMainFrameWnd(FrameDeps deps);
  ~CMainFrameWnd() override;

  // The login data, set before the window is created.
  void SetAccount(std::string account) { account_ = std::move(account); }
  void SetPassword(std::string password) { password_ = std::move(password); }
  void SetServer(ServerEntry server) { server_ = std::move(server); }
  void SetServerList(std::vector<ServerEntry> servers) { servers_ = std::move(servers); }
  void SetPlayer(PlayerProfile player) { player_ = std::move(player); }

  std::string GetWindowClassName() const override { return "UIMainFrame"; }
  void Notify(TNotifyUI& msg) override;

  // The keyboard hook: Esc, F2, F3 and F5 going down reach the frame even while another window
  // (the browser) has the focus. Never swallows a key.
  bool PreviewKey(UINT msg, WPARAM vk, LPARAM flags);

  CMyHtmlView& first_view() { return first_view_; }
  GameTabs& tabs() { return tabs_; }
  const FrameHotkeys& hotkeys() const { return hotkeys_; }
  const FrameTray& tray() const { return tray_; }
  const ServerEntry& current_server() const { return server_; }
  bool full_screen() const { return full_screen_; }
  int window_state() const { return window_state_; }
  HWND server_list_window() const { return server_list_; }
  HWND lock_window() const { return lock_hwnd_; }
  HWND user_info_window() const { return user_inf_hwnd_; }
  HWND restore_prompt() const { return restore_prompt_; }
  HWND alarm_list() const { return alarm_list_; }
  HWND alarm_tip() const { return alarm_tip_; }

  CMoreUI* more_panel() const;
  CRepairTool* cache_cleaner() const;

  // The customer-service chat: its connection, the agent list and the chat window of an agent's
  // tab (null when the agent has none).
  static constexpr std::uintptr_t kChatRequestTimer = 1000;  // heartbeat and game information
  static constexpr std::uintptr_t kChatListTimer = 1001;     // the agent list
  static constexpr std::uintptr_t kChatStatesTimer = 1002;   // local agents and states
  static constexpr std::uintptr_t kChatHeartbeatTimer = 100001;
  static constexpr unsigned kChatFirstRequestMs = 100;
  static constexpr unsigned kChatStepMs = 500;
  static constexpr unsigned kChatHeartbeatMs = 30000;
  CGMHelper& chat_connection() { return gm_helper_; }
  CGMListWnd& agent_list() { return gm_list_; }
  CCharDlg* ChatWindowOf(std::uint64_t agent_id);

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  // Window behaviour (main_frame.cpp).
  LRESULT OnSysCommand(WPARAM command, LPARAM lparam);
  void OnKeyDown(WPARAM vk);
  void LeaveFullScreen();
  LRESULT OnHotkey(LPARAM lparam);
  void ToggleBossKey();
  LRESULT OnAppMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);
  void OnTrayCallback(WPARAM where, LPARAM mouse_message);

  // The login and the game page (main_frame_login.cpp).
  void SendHeartbeat();
  // The login check, then `then` (on the UI thread, unless the frame has gone).
  void CheckLogin(std::function<void()> then);
  void Refresh();
  void SwitchServer(const ServerEntry& server);
  std::string CurrentGamePage() const;
  void ShowCurrentGamePage();

  // Notifications and toolbar actions (main_frame_actions.cpp).
  void OnClick(CControlUI* sender);
  void OnCloseButton();
  void EnterFullScreen();
  void StartCapture();
  void OpenPayPage();
  void HideTopBand();
  // Tray icon off and the exit notice sent: what every exit chosen by the player does first.
  void ExitSteps();
  [[noreturn]] void EndProgram(int code);

  // Pop-up windows (main_frame_popups.cpp).
  void OpenServerList();
  void ShowUserInfo(CControlUI* button);
  void HideUserInfo();
  void LockScreen();
  void OpenRestorePrompt();
  POINT ScreenPointOf(const RECT& client_rect) const;

  // Alarms: the alarm list, the check against the clock and the reminder (main_frame_alarms.cpp).
  std::string AlarmStorePath() const;
  void OpenAlarmListBelow(CControlUI* button);
  void OpenAlarmList(POINT at);
  // Rings what is due and sets the alarm timer for the next check.
  void CheckAlarms();
  void RingAlarm(const DueAlarm& alarm);
  void HideAlarmWindows();

  // The More panel and the frame's own cache cleaner (main_frame_more.cpp).
  void CreateMorePanel();
  void ToggleMorePanel(CControlUI* button);
  // A press on the frame hides the panel, except one on "bnmore", whose click toggles it.
  void HideMorePanelOnPress(UINT msg, LPARAM lparam);
  // The boss key: the panel, every window it opened and the frame's cleaner.
  void HideMorePanelAndWindows();
  void ToggleCacheCleaner(CControlUI* button);
  POINT MorePanelPoint(const CControlUI& button) const;

  // The customer-service chat (main_frame_chat.cpp).
  void StartChat();
  void OnChatTimer(std::uintptr_t id);
  LRESULT OnChatText(LPARAM lparam);
  LRESULT OnAskChat(LPARAM lparam);
  std::optional<GMEntry> KnownAgent(std::uint64_t agent_id) const;
  HWND MakeChatWindow(const GMEntry& agent, const RECT& rect);
  void ShowAgentList(CControlUI* button);
  // The agent list and the chat windows' emoticon pickers (boss key, screen lock).
  void HideChatPopups();
  // The chat windows follow the frame's size.
  void FitChatWindows();

  // Tabs (main_frame_tabs.cpp).
  void OpenBrowserTab(const std::string& caption, const std::string& address);
  void OpenMultiAccountTab();
  LRESULT OpenChatTab(std::uint64_t agent_id);
  LRESULT DockWindow(HWND window);
  void UpdateDockedCaption(HWND window);
  void CloseTab(const std::string& button_name);
  // The end of every opening: the new tab's window is the one shown.
  void AppendTab(TabRecord record);
  // Selecting a tab's option shows that tab's window and hides the others.
  void OnTabSelected(CControlUI* option);
  // Shows the window of the selected tab (the first view when no tab is selected).
  void ShowSelectedTab();
  // The screen lock lies over the frame.
  bool Locked() const;
  RECT LaterTabRect() const;
  void MoveEveryTab(const RECT& rect);

  FrameDeps deps_;
  std::string account_;
  std::string password_;
  ServerEntry server_;
  std::vector<ServerEntry> servers_;
  PlayerProfile player_;

  ReplyPort replies_;  // the platform's answers come back here; they go with the frame
  CMyHtmlView first_view_;
  GameTabs tabs_;
  FrameHotkeys hotkeys_;
  FrameTray tray_;

  bool full_screen_ = false;
  int window_state_ = 0;
  bool capture_busy_ = false;
  int click_count_ = 0;

  CButtonUI* close_button_ = nullptr;
  CButtonUI* max_button_ = nullptr;
  CButtonUI* restore_button_ = nullptr;
  CButtonUI* min_button_ = nullptr;
  CControlUI* top_band_ = nullptr;  // "HorizontalLayoutUI4", hidden by "bntab"
  CTabLayoutUI* pages_ = nullptr;   // "switch"

  // Pop-ups delete themselves with their windows, so each is reached through its handle and used
  // only while the handle is still a window.
  HWND server_list_ = nullptr;
  CUserInfUI* user_inf_ = nullptr;
  HWND user_inf_hwnd_ = nullptr;
  CLockScreenUI* lock_ = nullptr;
  HWND lock_hwnd_ = nullptr;
  HWND restore_prompt_ = nullptr;
  HWND alarm_list_ = nullptr;
  HWND alarm_tip_ = nullptr;
  AlarmWatch alarm_watch_;
  AlarmStoreReader alarm_store_;

  HWND more_panel_ = nullptr;
  HWND cache_cleaner_ = nullptr;

  CGMHelper gm_helper_;
  CGMListWnd gm_list_;
};

// Opens the main frame for `server`: sets the login data, creates the window titled "玄岚城" at
// the work area's size, topmost when "Runset"/"showtop" (default 1) says so, centred and shown.
// Null when the window cannot be made.
CMainFrameWnd* OpenMainFrame(FrameDeps deps, const LoginSession& session, const ServerEntry& server);

}  // namespace qrv
