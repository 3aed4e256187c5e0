// The side lines of the server list window: recently played servers from the profile's "played"
// text, recommended servers, and the latest-server button.

#include <gtest/gtest.h>

#include "servers/server_list_fixture.h"

namespace qrv {
namespace {

using ServerListSideLinesTest = testing::ServerListFixture;

TEST_F(ServerListSideLinesTest, RecentServersComeFromThePlayedList) {
  CServerListUI* list = OpenWith(testing::MakeServers(20), "12||15|");
  const std::vector<CButtonUI*> upper = ButtonsOf(list, "zjline1");
  ASSERT_EQ(upper.size(), 2u);
  EXPECT_EQ(upper[0]->GetText(), ". 玄岚城[12服] [双线]");
  EXPECT_EQ(upper[1]->GetText(), ". 玄岚城[15服] [双线]");
  EXPECT_TRUE(ButtonsOf(list, "zjline2").empty());
  EXPECT_EQ(Find(list, "bnzuixin")->GetText(), "玄岚城[12服]");

  // Tokens three and four go to the second line, a fifth is ignored, unknown ids add nothing.
  CServerListUI* more = OpenWith(testing::MakeServers(20), "1|99|3|4|5");
  EXPECT_EQ(ButtonsOf(more, "zjline1").size(), 1u);
  ASSERT_EQ(ButtonsOf(more, "zjline2").size(), 2u);
  EXPECT_EQ(ButtonsOf(more, "zjline2")[1]->GetText(), ". 玄岚城[4服] [双线]");

  // Without any recent server the first recommended one is the latest.
  CServerListUI* fresh = OpenWith(testing::MakeServers(2), "77");
  EXPECT_TRUE(ButtonsOf(fresh, "zjline1").empty());
  EXPECT_EQ(ButtonsOf(fresh, "tjline1").size(), 2u);
  EXPECT_TRUE(ButtonsOf(fresh, "tjline2").empty());
  EXPECT_EQ(Find(fresh, "bnzuixin")->GetText(), "玄岚城[1服]");
}

}  // namespace
}  // namespace qrv
