// How servers are named on the login window's buttons and found again from a button's text.

#include "login/login_servers.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

ServerEntry Server(std::string id, std::string name, std::string type, std::string state = "1") {
  return ServerEntry{std::move(id), std::move(name), "code" + id, std::move(type), std::move(state), ""};
}

TEST(LoginServersTest, LabelsAndButtonTexts) {
  EXPECT_EQ(ServerLabel("[45服]双线45区"), "45服");
  EXPECT_EQ(ServerLabel("双线45区[45服]"), "45服");
  EXPECT_EQ(ServerLabel("无标签"), "");
  EXPECT_EQ(ServerLabel("[未闭合"), "");
  EXPECT_EQ(ServerLabel("a]b"), "a");  // no "[": from the start up to the "]"
  EXPECT_EQ(ServerButtonText(Server("1", "[1服]电信1区", "0")), "1服[电信]");
  EXPECT_EQ(ServerButtonText(Server("2", "[2服]网通2区", "1")), "2服[网通]");
  EXPECT_EQ(ServerButtonText(Server("3", "双线3区", "2")), "[双线]");
  EXPECT_EQ(ServerButtonText(Server("4", "[4服]", "9")), "");
}

TEST(LoginServersTest, RecommendedServer) {
  EXPECT_FALSE(RecommendedServer({}).has_value());
  EXPECT_EQ(RecommendedServer({Server("1", "[1服]", "0", "3"), Server("2", "[2服]", "0")}), 0u);
  EXPECT_EQ(RecommendedServer({Server("1", "[1服]", "0", "4"), Server("2", "[2服]", "0", "4")}), 1u);
  EXPECT_FALSE(RecommendedServer({Server("1", "[1服]", "0", "4")}).has_value());
}

TEST(LoginServersTest, RecentServersDropEmptyPiecesAndKeepTheFirstServerOfAnId) {
  const std::vector<ServerEntry> servers{Server("20", "[20服]", "1"), Server("18", "[18服]", "2"),
                                         Server("20", "[20服]二", "0")};
  const RecentServers recent = FindRecentServers("20||18|", servers);
  EXPECT_EQ(recent.pieces, 2u);
  EXPECT_EQ(recent.matches, (std::vector<std::size_t>{0, 1}));
  const RecentServers unknown = FindRecentServers("|99|18", servers);
  EXPECT_EQ(unknown.pieces, 2u);
  EXPECT_EQ(unknown.matches, (std::vector<std::size_t>{1}));
  EXPECT_EQ(FindRecentServers("", servers).pieces, 0u);
  EXPECT_EQ(FindRecentServers("||", servers).pieces, 0u);
}

TEST(LoginServersTest, ButtonTextFindsTheFirstServerHoldingItsBracketedLabel) {
  const std::vector<ServerEntry> servers{Server("1", "[1服]电信1区", "0"),
                                         Server("11", "[11服]电信11区", "0"), Server("3", "双线3区", "2")};
  EXPECT_EQ(ServerForButtonText("11服[电信]", servers), 1u);
  EXPECT_EQ(ServerForButtonText("1服[电信]", servers), 0u);
  // The bracketless server's button says "[双线]": its empty label matches nothing.
  EXPECT_FALSE(ServerForButtonText("[双线]", servers).has_value());
  EXPECT_FALSE(ServerForButtonText("", servers).has_value());
  EXPECT_FALSE(ServerForButtonText("9服[电信]", servers).has_value());
}

}  // namespace
}  // namespace qrv
