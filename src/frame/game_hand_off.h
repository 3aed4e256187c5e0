#pragma once
// The hand-off the program gives the login window: a chosen server opens the main frame, "bnstart"
// shows the server list window (mode 1, whose choice opens the main frame in the same way), and a
// logout closes that list.
//
// The program never has two main frames: the list closes when the frame opens from the login
// window, and a choice made once a frame exists (in a list that outlived the moment) switches that
// frame's server instead of making another.

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
  HWND frame_window() const { return frame_; }

 private:
  // Opens the main frame, or hands the choice to the one that exists. False when no frame could
  // be made.
  bool OpenOrSwitch(const LoginSession& session, const ServerEntry& server);

  FrameDeps deps_;
  HWND server_list_ = nullptr;  // the list deletes itself with its window
  HWND frame_ = nullptr;        // the main frame, once made (it lives to the end of the program)
};

}  // namespace qrv
