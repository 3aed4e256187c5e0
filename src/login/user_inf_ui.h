#pragma once
// The player information pop-up ("userinfui.xml"): the main frame shows it beside its account
// button with the player's nickname and the server being played, and it hides itself three
// seconds after every show. It offers two ways on: log in again (start a fresh launcher and end
// this one) and choose another server (the main frame opens the server list).
//
// The main frame creates it once with CreatePopup, keeps the raw pointer, and calls ShowAt with
// the current server on every later show; the object deletes itself with its window.

#include "app/app_services.h"
#include "webapi/records.h"
#include "ui/ui.h"

namespace qrv {

class CUserInfUI final : public CSkinnedWindow {
 public:
  static constexpr const char* kTitle = "玩家信息";
  static constexpr std::uintptr_t kHideTimerId = 1;
  static constexpr unsigned kHideAfterMs = 3000;
  // The pop-up's top-left corner sits this far left of the button's right edge and below its top.
  static constexpr int kOffsetLeft = 326;
  static constexpr int kOffsetDown = 30;

  // `main_frame` receives the exit steps (1048, sent) and the server list request (1034, posted).
  CUserInfUI(AppServices& services, HWND main_frame, ServerEntry server, PlayerProfile player);

  // Where the pop-up goes for the account button whose rectangle is `button_screen` (screen
  // coordinates): its top-right corner moved 326 pixels left and 30 down.
  static POINT PositionBeside(const RECT& button_screen);

  // Creates the window as a pop-up owned by the main frame at `top_left`, sized by its layout,
  // hidden until ShowAt. Returns null when it cannot be made (the object has then gone with its window).
  HWND CreatePopup(POINT top_left);

  // Copies the server and shows its name in "txuserinf".
  void SetServer(const ServerEntry& server);

  // The show the main frame performs on every click of its account button: moves the pop-up to
  // `top_left` (size and z-order kept), takes the current server, restarts the three-second hide
  // timer and shows the window.
  void ShowAt(POINT top_left, const ServerEntry& server);

  const ServerEntry& server() const { return server_; }
  const PlayerProfile& player() const { return player_; }

  std::string GetWindowClassName() const override { return "UIUserInf"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void ShowFields();
  [[noreturn]] void RestartLauncher();
  void OpenServerList();

  AppServices& services_;
  HWND main_frame_;
  ServerEntry server_;
  PlayerProfile player_;
  CLabelUI* nickname_ = nullptr;
  CLabelUI* server_name_ = nullptr;
};

}  // namespace qrv
