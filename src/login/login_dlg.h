#pragma once
// The login window: the program's first window. Two faces on one panel: logged out (account,
// password, remember-password option, log-in button) and logged in (current account, the
// recommended and recently played servers, start and log-out buttons). It logs in through the
// platform's web interface, remembers the credentials on request, shows the game's news, opens the
// platform's pages in the system's browser, and hands the player on through a LoginHandOff: to the
// server list window ("bnstart") or straight to the main frame for one server.
//
// Without a hand-off (nothing to hand over to yet) the login window stays open after a server
// button: it must never close while no other window of the program exists, or nothing would end
// the process.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "browser/browser_view.h"
#include "login/login_credentials.h"
#include "login/login_hand_off.h"
#include "platform/reply_port.h"
#include "webapi/platform_service.h"
#include "ui/ui.h"

namespace qrv {

class CLoginErrUI;

class CLoginDlg final : public CSkinnedWindow {
 public:
  static constexpr char kLayout[] = "loginex1.xml";

  // `hand_off` may be null; the services and the API must outlive the window.
  CLoginDlg(AppServices& services, PlatformService& platform, LoginHandOff* hand_off)
      : CSkinnedWindow(kLayout, Lifetime::kDeletesItself),
        services_(services),
        platform_(platform),
        hand_off_(hand_off) {}

  std::string GetWindowClassName() const override { return "UILogIn"; }
  void Notify(TNotifyUI& msg) override;
  bool logged_in() const { return logged_in_; }
  bool login_pending() const { return login_pending_; }
  const LoginSession& session() const { return session_; }
  // The error window once a login has failed; null before (or when its window has gone).
  CLoginErrUI* error_window() const;

  // The client rectangle that always answers HTCLIENT: the account and password fields.
  static constexpr RECT kFixedClientArea{234, 217, 389, 294};
  static constexpr std::uintptr_t kAutoLoginTimer = 1;
  static constexpr unsigned kAutoLoginDelayMs = 50;
  static constexpr std::uintptr_t kFillInTimer = 2;
  static constexpr unsigned kFillInDelayMs = 20;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  // Window behaviour (login_dlg.cpp).
  void FindControls();
  void LoadNews();
  LRESULT OnHitTest(POINT screen) const;
  LRESULT OnSysCommand(WPARAM command, LPARAM lparam);
  void OnTimer(std::uintptr_t id);
  void OnDestroy();
  bool ErrorWindowVisible() const;

  // Notifications (login_dlg_actions.cpp).
  void OnClick(CControlUI* sender);
  void OnNoteChanged();
  void OnServerButton(CControlUI* button);
  void OnLogout();
  void OnClose();
  void OnStart();
  void OnNewsButton(std::size_t index);
  // Opens a page of the platform in the system's browser through the hidden browser view, and
  // sends the button's statistics event (when it has one) whether or not the view exists.
  void OpenPage(const std::string& address, const char* event_code);
  bool OnPageButton(const std::string& name);
  void OpenNoteTip();

  // Logging in and the two faces (login_dlg_faces.cpp).
  void FillInRemembered();
  void PerformLogin(bool use_stored, bool keep_on_login);
  void LogIn(const std::string& account, const std::string& password, bool keep_on_login);
  void OnLoginResult(LoginResult result, bool keep_on_login);
  void ShowLoginPending(bool pending);
  void ShowLoginError(const LoginVerdict& verdict);
  void ShowLoggedIn(const std::string& account);
  void ShowLoggedOut();
  void OpenGameFrame(const ServerEntry& server);

  AppServices& services_;
  PlatformService& platform_;
  ReplyPort replies_;  // the platform's answers come back here; they go with the window
  LoginHandOff* hand_off_;
  std::unique_ptr<CMyHtmlView> browser_;
  HWND error_window_ = nullptr;

  bool logged_in_ = false;
  bool login_pending_ = false;  // a login is under way: the buttons wait, a second click sends nothing
  static constexpr const char* kLoggingInText = "登录中…";
  std::string login_text_;  // the buttons' own texts, shown again when the login is over
  std::string start_text_;
  bool auto_login_ = false;  // "Runset"/"autologin" was on when the window was made
  bool note_ = false;        // "update"/"note" was on when the window was made
  LoginSession session_;     // account and password of the current attempt, servers, profile
  RememberedCredentials last_login_;  // the account and password of this window's last success
  std::vector<NewsItem> news_;

  CEditUI* account_edit_ = nullptr;
  CEditUI* password_edit_ = nullptr;
  COptionUI* note_option_ = nullptr;
  CTabLayoutUI* switch_ = nullptr;
  CButtonUI* login_button_ = nullptr;
  CButtonUI* start_button_ = nullptr;
  CButtonUI* logout_button_ = nullptr;
  CLabelUI* nickname_text_ = nullptr;
  CLabelUI* recent_label_ = nullptr;       // "lbstate"
  CLabelUI* recommended_label_ = nullptr;  // "lbstate2"
  CButtonUI* recommended_button_ = nullptr;
  CButtonUI* recent_buttons_[3] = {};
  // "bnnew1" to "bnnew4" and "txnew1" to "txnew4": titles and dates of the first four news items.
  static constexpr std::size_t kNewsSlots = 4;
  std::array<CButtonUI*, kNewsSlots> news_buttons_{};
  std::array<CLabelUI*, kNewsSlots> news_dates_{};
};

}  // namespace qrv
