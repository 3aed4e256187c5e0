#pragma once
// Where the login window hands the player on once logged in: to the main frame for one server, or
// to the server list window. The windows that take over implement this; the login window only
// knows the interface, so it builds and tests without them.

#include <string>
#include <vector>

#include "webapi/records.h"
#include "platform/types.h"

namespace qrv {

// What a successful login gathered, copied to whichever window takes over.
struct LoginSession {
  std::string account;
  std::string password;
  std::vector<ServerEntry> servers;
  PlayerProfile profile;
};

class LoginHandOff {
 public:
  virtual ~LoginHandOff() = default;

  // Opens the main frame on `server`. The login window closes itself right after this returns.
  virtual void OpenGameFrame(const LoginSession& session, const ServerEntry& server) = 0;

  // Shows the server list window with its top-left corner at `at` (screen coordinates), owned by
  // `login_window`. A window that already exists is moved there and shown as it is.
  virtual void ShowServerList(const LoginSession& session, POINT at, HWND login_window) = 0;

  // Closes the server list window when one is open (the player logged out, so its list belongs
  // to nobody any more).
  virtual void CloseServerList() = 0;
};

}  // namespace qrv
