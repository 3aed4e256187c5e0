#pragma once
// AutomationServer: the automation interface on a Unix socket. With QRV_AUTOMATION=<path> the
// program listens there for one JSON request per line and writes one JSON answer per line (see
// automation_commands.h). Only its own user may connect: the socket's folder must be that user's
// with mode 0700 (the server refuses to start otherwise), and the socket is bound mode 0600.
//
// The server lives on GLib's default main context, which is where the GTK back end runs the
// program, so every command runs on the UI thread between other events. Each connection reads
// its lines asynchronously; a command's answer is written before its action runs, and the next
// line is already being read while the action runs, so that a click opening a modal dialog can
// be followed by the clicks that close it.

#include <sys/types.h>

#include <memory>
#include <string>

typedef struct _GCancellable GCancellable;
typedef struct _GSocketService GSocketService;

namespace qrv {

class AutomationServer {
 public:
  ~AutomationServer();
  AutomationServer(const AutomationServer&) = delete;
  AutomationServer& operator=(const AutomationServer&) = delete;

  // Listens at $QRV_AUTOMATION; null when it is unset or empty, or (after one line on stderr)
  // when the socket cannot be made.
  static std::unique_ptr<AutomationServer> StartFromEnvironment();
  // Listens at `socket_path`. A stale socket left there by an earlier run is replaced; any other
  // kind of file is left alone and the server is not made. On failure returns null and, when
  // `error` is given, says why.
  static std::unique_ptr<AutomationServer> Listen(const std::string& socket_path,
                                                  std::string* error = nullptr);

  const std::string& socket_path() const { return socket_path_; }

  // Connections still open across all servers (they end on the main context after the client
  // hangs up or the server is destroyed); tests use it to see that nothing is left behind.
  static int OpenConnections();

 private:
  AutomationServer() = default;

  std::string socket_path_;
  dev_t socket_device_ = 0;
  ino_t socket_inode_ = 0;
  GSocketService* service_ = nullptr;
  GCancellable* cancellable_ = nullptr;
};

}  // namespace qrv
