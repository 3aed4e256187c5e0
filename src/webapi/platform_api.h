#pragma once
// The launcher's side of the platform's web interface: log in, read the profile, the server
// list and the news, keep the login alive and announce the player's exit. Every request is one
// blocking GET through a fresh WebClient on the host the deployment names for it, closed right
// after. No request reports an error: a failed fetch gives empty text, which reads as a failed
// login, no records or an empty profile.
//
// The application creates one PlatformApi and passes it to the windows that talk to the
// platform, because it keeps what the last login request sent (adapter text, login time,
// account), which the exit notice repeats.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "webapi/records.h"

namespace qrv {

class WebContext;

// What the last login request sent, kept for the exit notice.
struct LoginValues {
  std::string adapter_text;  // the network interface name sent by the last full login
  std::string login_time;    // the time value of the last login request of either form
  std::string user_id;       // the account of the last login request of either form
};

enum class LoginOutcome { kSuccess, kIllegalPassword, kAccountNotExist, kFailed };

// The login response's status words. The response is searched, not parsed, and both failure
// words can occur together; the login window reacts to each one it finds.
struct LoginVerdict {
  bool success = false;            // "SUCCESS" occurs anywhere
  bool illegal_password = false;   // "ILLEGAL_PASSWORD" occurs and "SUCCESS" does not
  bool account_not_exist = false;  // "ACCOUNT_NOT_EXIST" occurs and "SUCCESS" does not

  // One word for the whole verdict; "ILLEGAL_PASSWORD" ranks before "ACCOUNT_NOT_EXIST".
  LoginOutcome outcome() const;
};

LoginVerdict ClassifyLoginResponse(std::string_view response);

class PlatformApi {
 public:
  // Whole seconds since 1970 for the requests' time values.
  using Clock = std::function<std::int64_t()>;
  // The adapter text of a full login: the first network interface that is up and not a loopback.
  using AdapterReader = std::function<std::string()>;

  // Empty functions stand for the system clock and the system's interfaces.
  explicit PlatformApi(WebContext& web, Clock clock = {}, AdapterReader adapter_reader = {});

  // Full login (login window): reads the adapter text afresh, keeps it with the time value and
  // the account, sends the login request and returns the response as received (not converted).
  std::string Login(std::string_view account, std::string_view password);

  // Short login (main frame, after a heartbeat shows the login lost): the same request with the
  // adapter text of the last full login; keeps the time value and the account.
  std::string ShortLogin(std::string_view account, std::string_view password);

  // The profile from the first element of the response, signed with a fresh time value.
  PlayerProfile FetchProfile(std::string_view account, std::string_view password);

  std::vector<ServerEntry> FetchServerList();
  std::vector<NewsItem> FetchNewsList();

  // The heartbeat response, for the callers that search it for the profile's id.
  std::string Heartbeat();

  // Tells the platform the player is leaving; the response is ignored.
  void SendExitNotice();

  // A copy: the login runs on the platform's request lane and the exit notice on a lane of its own.
  LoginValues login_values() const;

 private:
  std::string SendLogin(std::string_view account, std::string_view password);
  std::string Fetch(const std::string& host, std::string_view path);
  std::string Now() const;

  WebContext& web_;
  Clock clock_;
  AdapterReader adapter_reader_;
  mutable std::mutex values_mutex_;
  LoginValues login_values_;
};

}  // namespace qrv
