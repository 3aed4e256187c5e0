// The simulator's web interface, exercised over loopback the way the launcher uses it.

#include <glib.h>
#include <gtest/gtest.h>

#include <set>

#include "sim/sim_test_support.h"

namespace qrv::sim::testing {
namespace {

constexpr const char* kTime = "1765000000";

bool HasSessionCookie(const HttpResult& result) {
  for (const std::string& cookie : result.set_cookies) {
    if (cookie.rfind("PHPSESSID=", 0) == 0 && cookie.find("path=/") != std::string::npos) return true;
  }
  return false;
}

TEST_F(SimTest, LoginAnswersTheWordsTheLauncherLooksFor) {
  HttpClient client;
  const HttpResult ok = client.Get(Url(LoginPath("qrvtest", "abc123456", kTime)));
  EXPECT_EQ(ok.body, "SUCCESS");  // exactly: the launcher's follow-up visit depends on it
  EXPECT_TRUE(HasSessionCookie(ok));

  const HttpResult wrong = client.Get(Url(LoginPath("qrvtest", "abc12345", kTime)));
  EXPECT_EQ(wrong.body, "ILLEGAL_PASSWORD");
  EXPECT_FALSE(HasSessionCookie(wrong));
  EXPECT_EQ(client.Get(Url(LoginPath("nobody", "abc123456", kTime))).body, "ACCOUNT_NOT_EXIST");
  EXPECT_EQ(client.Get(Url(LoginPath("", "", kTime))).body, "ACCOUNT_NOT_EXIST");

  // Signatures a correct launcher never sends: lowercase digits, a time with a leading zero.
  std::string lowercase = LoginPath("qrvtest", "abc123456", kTime);
  const auto sign_at = lowercase.find("&sign=") + 6;
  for (std::size_t i = sign_at; i < sign_at + 32; ++i) lowercase[i] = g_ascii_tolower(lowercase[i]);
  EXPECT_EQ(client.Get(Url(lowercase)).body, "ILLEGAL_SIGN");
  EXPECT_EQ(client.Get(Url(LoginPath("qrvtest", "abc123456", std::string("0") + kTime))).body,
            "ILLEGAL_SIGN");

  const auto ok_entries = EntriesWithEvent(*sim_, "login_ok");
  ASSERT_EQ(ok_entries.size(), 1u);
  EXPECT_EQ(ok_entries[0].Field("account"), "qrvtest");
  EXPECT_EQ(ok_entries[0].Field("mac"), "eth0");
  std::vector<std::string> reasons;
  for (const LogEntry& entry : EntriesWithEvent(*sim_, "login_fail"))
    reasons.push_back(entry.Field("reason"));
  EXPECT_EQ(reasons, (std::vector<std::string>{"ILLEGAL_PASSWORD", "ACCOUNT_NOT_EXIST", "ACCOUNT_NOT_EXIST",
                                               "ILLEGAL_SIGN", "ILLEGAL_SIGN"}));
}

TEST_F(SimTest, ChineseAccountSignsItsUtf8Bytes) {
  HttpClient client;
  EXPECT_EQ(client.Get(Url(LoginPath("玄岚侠客", "xiake888", kTime))).body, "SUCCESS");
  const auto entries = EntriesWithEvent(*sim_, "login_ok");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].query.at("account"), "玄岚侠客");
  // The template's odd key arrives escaped and is logged decoded, spaces and all.
  EXPECT_EQ(entries[0].query.at(" addr "), "{\"\"}");
  EXPECT_NE(entries[0].Field("path").find("%20addr%20"), std::string::npos);
}

TEST_F(SimTest, HeartbeatNamesTheProfileIdOnlyWhileTheSessionLives) {
  HttpClient player;
  HttpClient stranger;
  const std::string heartbeat = Url("/clientlogingame.php?heart=1");
  EXPECT_EQ(player.Get(Url(LoginPath("qrvtest", "abc123456", kTime, "enp0s3"))).body, "SUCCESS");
  EXPECT_NE(player.Get(heartbeat).body.find("1000231"), std::string::npos);
  const std::string anonymous = stranger.Get(heartbeat).body;
  EXPECT_EQ(anonymous.find("1000231"), std::string::npos);
  EXPECT_FALSE(anonymous.empty());

  // A wrongly signed exit notice changes nothing; a proper one ends the session.
  const std::string exit_path = ExitPath("qrvtest", "enp0s3", kTime, "1765000100");
  std::string other_mac = exit_path;
  other_mac.replace(other_mac.find("mac=enp0s3"), 10, "mac=eth9");
  std::string other_user = exit_path;
  other_user.replace(other_user.find("userid=qrvtest"), 14, "userid=newbie01");
  EXPECT_EQ(player.Get(Url(other_mac)).body, "ILLEGAL_SIGN");
  EXPECT_EQ(player.Get(Url(other_user)).body, "ILLEGAL_SIGN");
  EXPECT_NE(player.Get(heartbeat).body.find("1000231"), std::string::npos);
  EXPECT_EQ(player.Get(Url(exit_path)).body, "OK");
  EXPECT_EQ(player.Get(heartbeat).body.find("1000231"), std::string::npos);

  const auto exits = EntriesWithEvent(*sim_, "exit_ok");
  ASSERT_EQ(exits.size(), 1u);
  EXPECT_EQ(exits[0].Field("userid"), "qrvtest");
  EXPECT_EQ(exits[0].Field("login_date"), kTime);
  EXPECT_EQ(exits[0].Field("mac"), "enp0s3");
  EXPECT_EQ(EntriesWithEvent(*sim_, "exit_fail").size(), 2u);

  // A platform that forgets its sessions makes the next heartbeat come back without the id.
  EXPECT_EQ(player.Get(Url(LoginPath("qrvtest", "abc123456", kTime))).body, "SUCCESS");
  EXPECT_NE(player.Get(heartbeat).body.find("1000231"), std::string::npos);
  EXPECT_EQ(player.Get(Url("/__sim/drop-sessions")).body, "OK");
  EXPECT_EQ(player.Get(heartbeat).body.find("1000231"), std::string::npos);
}

TEST_F(SimTest, ProfileIsOneDataElementInTheOrderTheLauncherReads) {
  HttpClient client;
  const HttpResult result = client.Get(Url(ProfilePath("qrvtest", "abc123456", kTime)));
  const auto elements = DataElements(result.body);
  ASSERT_EQ(elements.size(), 1u) << result.body;
  const Attributes& profile = elements[0];
  EXPECT_EQ(profile.at("id"), "1000231");
  EXPECT_EQ(profile.at("code"), "a7f3c2");
  EXPECT_EQ(profile.at("nick"), "风之旅人");
  EXPECT_EQ(profile.at("played"), "3|1|7");
  for (const char* key : {"vip", "uid", "uid_type", "credits", "balance"})
    EXPECT_TRUE(profile.count(key)) << key;
  // The launcher finds attributes as plain substrings, first match wins: "id" must come first
  // and "uid" before "uid_type".
  EXPECT_EQ(result.body.find("id="), result.body.find("<data ") + 6);
  EXPECT_LT(result.body.find("uid="), result.body.find("uid_type="));

  EXPECT_TRUE(DataElements(client.Get(Url(ProfilePath("qrvtest", "wrong", kTime))).body).empty());
  EXPECT_EQ(client.Get(Url(ProfilePath("nobody", "x", kTime))).body, "ACCOUNT_NOT_EXIST");
}

TEST_F(SimTest, ServerListAndNewsAreDataElements) {
  HttpClient client;
  const HttpResult list =
      client.Get(Url("/clientgameserver.php?action=serverlist&partner=qrvclient&code=qrv"));
  EXPECT_TRUE(g_utf8_validate(list.body.data(), static_cast<gssize>(list.body.size()), nullptr));
  const auto servers = DataElements(list.body);
  ASSERT_GE(servers.size(), 40u);
  std::set<std::string> ids;
  std::set<std::string> states;
  for (const Attributes& server : servers) {
    for (const char* key : {"id", "name", "code", "type", "state", "open_date"}) {
      EXPECT_FALSE(server.at(key).empty()) << key;
    }
    EXPECT_NE(server.at("name").find("[" + server.at("id") + "服]"), std::string::npos) << server.at("name");
    ids.insert(server.at("id"));
    states.insert(server.at("state"));
  }
  EXPECT_EQ(ids.size(), servers.size());
  EXPECT_TRUE(states.count("3") && states.count("4"));
  EXPECT_TRUE(
      DataElements(client.Get(Url("/clientgameserver.php?action=serverlist&code=other")).body).empty());

  const auto news = DataElements(client.Get(Url("/news/list-1480-1.xml")).body);
  ASSERT_GE(news.size(), 6u);
  for (const Attributes& item : news) {
    EXPECT_FALSE(item.at("title").empty());
    EXPECT_FALSE(item.at("add_date").empty());
    EXPECT_EQ(item.at("url").rfind(sim_->base_url() + "/", 0), 0u) << item.at("url");
    const HttpResult article = client.Get(item.at("url"));
    EXPECT_EQ(article.status, 200);
    EXPECT_NE(article.body.find(item.at("title")), std::string::npos);
  }
}

TEST_F(SimTest, StatisticsBeaconsAreRecordedOverOneKeptAliveConnection) {
  HttpClient beacon(/*http10_keep_alive=*/true);
  EXPECT_EQ(beacon.Get(Url("/stat.htm?app=qrvclient200020&from=74&pid=1")).body, "1");
  EXPECT_EQ(beacon.Get(Url("/stat.htm?app=qrvclient200015&from=74&pid=1")).body, "1");
  HttpClient other(/*http10_keep_alive=*/true);
  EXPECT_EQ(other.Get(Url("/stat.htm?app=qrvclient200002&from=74&pid=1")).body, "1");

  const auto stats = EntriesWithEvent(*sim_, "stat");
  ASSERT_EQ(stats.size(), 3u);
  EXPECT_EQ(stats[0].Field("code"), "200020");
  EXPECT_EQ(stats[1].Field("code"), "200015");
  EXPECT_EQ(stats[0].Field("http_version"), "1.0");
  EXPECT_EQ(stats[0].Field("connection"), stats[1].Field("connection"));
  EXPECT_NE(stats[1].Field("connection"), stats[2].Field("connection"));
}

}  // namespace
}  // namespace qrv::sim::testing
