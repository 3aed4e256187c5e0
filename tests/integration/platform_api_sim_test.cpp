// The launcher's web layer against the platform simulator over loopback: the real WebClient and
// PlatformApi log in, read servers, profile and news, beat the heart and say goodbye, and the
// simulator's request log shows exactly what went over the wire.

#include <gtest/gtest.h>

#include <chrono>

#include <memory>

#include "net/stat_beacon.h"
#include "net/web_context.h"
#include "webapi/platform_api.h"
#include "webapi/platform_requests.h"
#include "sim/sim_test_support.h"

namespace qrv {
namespace {

using sim::testing::EntriesWithEvent;
using sim::testing::LogEntries;

constexpr std::int64_t kFixedTime = 1796637600;  // 2026-12-07 10:00 UTC

class PlatformApiSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SimOptions options;
    options.work_dir = dir_.path();
    std::string error;
    sim_ = sim::SimProcess::Start(options, error);
    ASSERT_NE(sim_, nullptr) << error;
    web_ = std::make_unique<WebContext>(DeployConfig::Load(sim_->deploy_path()), dir_.path() + "/cookies.txt");
    api_ = std::make_unique<PlatformApi>(*web_, [this] { return now_; }, [] { return std::string("eth0"); });
  }
  void TearDown() override {
    api_.reset();
    web_.reset();
    if (sim_) {
      EXPECT_EQ(sim_->Stop(), 0);
    }
  }

  // The raw request target of the last request whose path starts with `prefix`.
  std::string LastTarget(const std::string& prefix) const {
    std::string found;
    for (const auto& entry : LogEntries(*sim_)) {
      const std::string path = entry.Field("path");
      if (path.rfind("/" + prefix, 0) == 0) found = path;
    }
    return found;
  }

  sim::testing::TempDir dir_;
  std::unique_ptr<sim::SimProcess> sim_;
  std::unique_ptr<WebContext> web_;
  std::unique_ptr<PlatformApi> api_;
  std::int64_t now_ = kFixedTime;
};

TEST_F(PlatformApiSimTest, LoginReadsEverythingAndTheWireShowsExactPathsAndSignatures) {
  const std::string response = api_->Login("qrvtest", "abc123456");
  EXPECT_EQ(response, "SUCCESS");
  EXPECT_TRUE(ClassifyLoginResponse(response).success);

  // The path on the wire is the template with the arguments filled in and signed on the raw texts.
  const std::string time = TimeValue(kFixedTime);
  const std::string password_md5 = Sign("abc123456");
  const std::string signature = Sign("qrvtest" + time + password_md5 + "Hx3PqL8vRw2KdT6mZy9B");
  EXPECT_EQ(LastTarget("clientlogingame.php?action=login"),
            "/clientlogingame.php?action=login&&partner=qrv&account=qrvtest&time=" + time + "&sign=" + signature +
                "&%20addr%20=%7B%22%22%7D&mac=eth0");
  ASSERT_EQ(EntriesWithEvent(*sim_, "login_ok").size(), 1u);
  // The bare "SUCCESS" made the follow-up visit to the site root with the platform's headers.
  bool visited_root = false;
  for (const auto& entry : LogEntries(*sim_)) visited_root |= entry.Field("path") == "/";
  EXPECT_TRUE(visited_root);

  const auto servers = api_->FetchServerList();
  ASSERT_EQ(servers.size(), 45u);
  EXPECT_EQ(servers[0].name, "[45服]双线45区");
  EXPECT_EQ(servers[0].state, "4");
  EXPECT_EQ(LastTarget("clientgameserver.php"), "/clientgameserver.php?action=serverlist&partner=qrvclient&code=qrv");

  now_ += 2;
  const PlayerProfile profile = api_->FetchProfile("qrvtest", "abc123456");
  EXPECT_EQ(profile.played, "3|1|7");
  EXPECT_FALSE(profile.id.empty());
  const std::string profile_time = TimeValue(kFixedTime + 2);
  EXPECT_EQ(LastTarget("clientreglogin.php?action=getprofile"),
            "/clientreglogin.php?action=getprofile&&partner=qrv&account=qrvtest&time=" + profile_time +
                "&sign=" + Sign("qrvtest" + profile_time + password_md5 + "Hx3PqL8vRw2KdT6mZy9B") +
                "&%20addr%20=%7B%22%22%7D");

  const auto news = api_->FetchNewsList();
  EXPECT_GE(news.size(), 4u);
  EXPECT_EQ(LastTarget("news/"), "/news/list-1480-1.xml");

  // The session cookie of the login travels with the heartbeat.
  EXPECT_NE(api_->Heartbeat().find(profile.id), std::string::npos);
  EXPECT_EQ(LastTarget("clientlogingame.php?heart"), "/clientlogingame.php?heart=1");

  now_ += 60;
  api_->SendExitNotice();
  const std::string exit_time = TimeValue(kFixedTime + 62);
  EXPECT_EQ(LastTarget("clientreglogin.php?action=exit"),
            "/clientreglogin.php?action=exit&partner=qrv&%20userid=qrvtest&addr=&mac=eth0&login_date=" + time +
                "&time=" + exit_time + "&sign=" + Sign("exitqrvtest" + exit_time + "eth0Hx3PqL8vRw2KdT6mZy9B"));
  EXPECT_EQ(EntriesWithEvent(*sim_, "exit_ok").size(), 1u);
  // After the exit notice the platform no longer knows the session.
  EXPECT_EQ(api_->Heartbeat().find(profile.id), std::string::npos);
}

TEST_F(PlatformApiSimTest, FailedLoginsCarryTheirReasonsAndAnAccountWithSpecialCharactersStaysOneArgument) {
  EXPECT_TRUE(ClassifyLoginResponse(api_->Login("qrvtest", "wrong")).illegal_password);
  EXPECT_TRUE(ClassifyLoginResponse(api_->Login("nobody", "x")).account_not_exist);
  // "&" and "#" in an account would have cut the request short or added parameters.
  EXPECT_TRUE(ClassifyLoginResponse(api_->Login("a&mac=evil#x", "x")).account_not_exist);
  const auto failures = EntriesWithEvent(*sim_, "login_fail");
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_EQ(failures[2].query.at("account"), "a&mac=evil#x");
  EXPECT_EQ(failures[2].query.at("mac"), "eth0");

  // A Chinese account name logs in.
  EXPECT_EQ(api_->Login("玄岚侠客", "xiake888"), "SUCCESS");
}

TEST_F(PlatformApiSimTest, StatisticsBeaconReusesOneConnection) {
  StatBeacon beacon(*web_);
  beacon.Bind(web_->deploy().stat);
  beacon.Send("200015");
  beacon.Send("200020");
  ASSERT_TRUE(beacon.WaitSent(std::chrono::seconds(30)));
  const auto events = EntriesWithEvent(*sim_, "stat");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Field("path"), "/stat.htm?app=qrvclient200015&from=74&pid=1");
  EXPECT_EQ(events[1].Field("path"), "/stat.htm?app=qrvclient200020&from=74&pid=1");
  EXPECT_EQ(events[0].Field("connection"), events[1].Field("connection"));
}

}  // namespace
}  // namespace qrv
