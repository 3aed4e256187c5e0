#pragma once
// A Wayland session for end-to-end tests: weston (package weston) with its headless back end,
// the pixman renderer (so that the output has pixels to photograph) and Xwayland (package
// xwayland), in a runtime folder of its own. The launcher, which asks GTK for X11, runs in it
// through Xwayland as it does in a GNOME or KDE Plasma Wayland session. The desktop shell draws a
// plain background and no panel, so an unpainted window shows as one colour.
//
// Xwayland's root window holds no picture (every X window is a Wayland surface of its own), so
// `import -window root` cannot photograph the session; Screenshot asks weston itself
// (weston-screenshooter, which weston offers when started with --debug).

#include <sys/types.h>

#include <string>

namespace qrv::e2e {

class WestonSession {
 public:
  // Starts weston with an output of `width` x `height` in `folder` (made if needed) and waits
  // until its Xwayland display is announced.
  WestonSession(std::string folder, int width, int height);
  ~WestonSession();  // ends weston, and Xwayland with it
  WestonSession(const WestonSession&) = delete;
  WestonSession& operator=(const WestonSession&) = delete;

  bool started() const { return !x_display_.empty(); }
  const std::string& error() const { return error_; }
  // DISPLAY for X clients (":N"), WAYLAND_DISPLAY and XDG_RUNTIME_DIR for Wayland clients.
  const std::string& x_display() const { return x_display_; }
  const std::string& wayland_display() const { return socket_; }
  std::string runtime_dir() const { return folder_ + "/runtime"; }
  // What weston logged.
  std::string log() const;

  // Saves the whole output to `png`; false when weston made no screenshot.
  bool Screenshot(const std::string& png) const;

 private:
  std::string folder_;
  std::string socket_;
  std::string x_display_;
  std::string error_;
  pid_t pid_ = -1;
};

}  // namespace qrv::e2e
