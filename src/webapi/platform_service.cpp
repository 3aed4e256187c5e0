#include "webapi/platform_service.h"

namespace qrv {

void PlatformService::FetchNews(const ReplyPort& port, std::function<void(std::vector<NewsItem>)> reply) {
  lane_.Run<std::vector<NewsItem>>([this] { return api_.FetchNewsList(); }, port, std::move(reply));
}

void PlatformService::LogIn(std::string account, std::string password, const ReplyPort& port,
                            std::function<void(LoginResult)> reply) {
  lane_.Run<LoginResult>(
      [this, account = std::move(account), password = std::move(password)] {
        LoginResult result;
        result.verdict = ClassifyLoginResponse(api_.Login(account, password));
        if (result.verdict.success) {
          result.servers = api_.FetchServerList();
          result.profile = api_.FetchProfile(account, password);
        }
        return result;
      },
      port, std::move(reply));
}

void PlatformService::Heartbeat() {
  lane_.Run([this] { (void)api_.Heartbeat(); });
}

void PlatformService::CheckLogin(std::string account, std::string password, std::string profile_id,
                                 const ReplyPort& port, std::function<void()> done) {
  lane_.Run<bool>(
      [this, account = std::move(account), password = std::move(password), profile_id = std::move(profile_id)] {
        // An empty id is found in any answer: there is nothing to compare.
        const bool valid = api_.Heartbeat().find(profile_id) != std::string::npos;
        if (!valid) (void)api_.ShortLogin(account, password);
        return valid;
      },
      port, [done = std::move(done)](bool) { done(); });
}

void PlatformService::SendExitNotice() {
  exit_lane_.Run([this] { api_.SendExitNotice(); });
}

bool PlatformService::WaitForExitNotice(std::chrono::milliseconds limit) const { return exit_lane_.WaitIdle(limit); }

}  // namespace qrv
