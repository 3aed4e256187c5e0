#pragma once
// The hand-off the program gives the login window: a chosen server opens the main frame, "bnstart"
// shows the server list window (mode 1, whose choice opens the main frame in the same way), and a
// logout closes that list.

#include "frame/main_frame.h"
#include "login/login_hand_off.h"

namespace qrv {

class GameHandOff final : public LoginHandOff {
 public:
  explicit GameHandOff(FrameDeps deps) : deps_(deps) {}

  void OpenGameFrame(const LoginSession& session, const ServerEntry& server) override;
  void ShowServerList(const LoginSession& session, POINT at, HWND login_window) override;
  void CloseServerList() override;

  HWND server_list_window() const { return server_list_; }

 private:
  FrameDeps deps_;
  HWND server_list_ = nullptr;  // the list deletes itself with its window
};

}  // namespace qrv
