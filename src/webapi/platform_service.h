#pragma once
// The platform's requests off the UI thread: the windows ask here, the requests run on the
// platform's request lane one after another (so the platform sees them in the order of the
// Parts' flows: the login before the server list before the profile), and each result comes back
// to its window through the window's reply port on the UI thread. A window that has gone by then
// gets nothing.
//
// The exit notice has a lane of its own, so that it never waits behind a request that hangs; the
// program waits for it at most two seconds before it ends (WaitForExitNotice).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "net/request_lane.h"
#include "webapi/platform_api.h"

namespace qrv {

// What a login of the login window gathered: the verdict, and on success the server list and the
// profile, fetched right after it.
struct LoginResult {
  LoginVerdict verdict;
  std::vector<ServerEntry> servers;
  PlayerProfile profile;
};

class PlatformService {
 public:
  static constexpr std::chrono::milliseconds kExitNoticeWait{2000};

  explicit PlatformService(PlatformApi& api) : api_(api) {}

  // The news list of the login window.
  void FetchNews(const ReplyPort& port, std::function<void(std::vector<NewsItem>)> reply);

  // The full login; on success also the server list, then the profile.
  void LogIn(std::string account, std::string password, const ReplyPort& port,
             std::function<void(LoginResult)> reply);

  // The heartbeat of the main frame's ten-minute timer; its answer is not looked at.
  void Heartbeat();

  // The login check of a refresh or a server switch: the heartbeat, and when its answer lacks
  // `profile_id` the short login with the account and password; then `done` on the UI thread.
  void CheckLogin(std::string account, std::string password, std::string profile_id, const ReplyPort& port,
                  std::function<void()> done);

  // Tells the platform the player is leaving, after nothing but earlier exit notices.
  void SendExitNotice();
  // Waits until every exit notice asked for has gone (or failed), at most `limit`.
  bool WaitForExitNotice(std::chrono::milliseconds limit = kExitNoticeWait) const;

  // Whether the platform's lane has requests queued or running.
  bool Busy() const { return lane_.Busy(); }

  PlatformApi& api() { return api_; }

 private:
  PlatformApi& api_;
  RequestLane lane_;
  RequestLane exit_lane_;
};

}  // namespace qrv
