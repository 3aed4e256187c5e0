#include "webapi/records.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace qrv {
namespace {

std::string ReadTestData(const std::string& name) {
  const std::string path = std::string(QRV_WEBAPI_TESTDATA_DIR) + "/" + name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot open " << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(RecordsTest, ServerListKeepsEveryElementInOrder) {
  const std::vector<ServerEntry> servers = ReadServerList(ReadTestData("serverlist.xml"));
  ASSERT_EQ(servers.size(), 3u);
  EXPECT_EQ(servers[0], (ServerEntry{"101", "玄岚城[1服]", "qrv_s1", "2", "4", "2013-05-01 10:00"}));
  EXPECT_EQ(servers[1], (ServerEntry{"102", "玄岚城[2服]", "qrv_s2", "0", "3", "2013-05-08 10:00"}));
  EXPECT_EQ(servers[2], (ServerEntry{"103", "新区", "qrv_s3", "1", "1", ""}));
}

TEST(RecordsTest, ProfileComesFromTheFirstElementOnly) {
  const PlayerProfile profile = ReadProfile(ReadTestData("profile.xml"));
  EXPECT_EQ(profile, (PlayerProfile{"5566", "c5566", "3", "88", "qq", "风之子", "120", "9.50", "102|101||"}));
}

TEST(RecordsTest, NewsAttributesAreFoundInAnyOrder) {
  const std::vector<NewsItem> news = ReadNewsList(ReadTestData("news.xml"));
  ASSERT_EQ(news.size(), 2u);
  EXPECT_EQ(news[0], (NewsItem{"新服开启", "05-01", "http://qrv.zelto.com/xwgg/1.htm"}));
  EXPECT_EQ(news[1], (NewsItem{"维护公告", "05-02", "http://qrv.zelto.com/xwgg/2.htm"}));
}

TEST(RecordsTest, EmptyOrForeignResponsesGiveNoRecords) {
  for (const char* response : {"", "<html>404 Not Found</html>"}) {
    EXPECT_TRUE(ReadServerList(response).empty());
    EXPECT_TRUE(ReadNewsList(response).empty());
    EXPECT_EQ(ReadProfile(response), PlayerProfile{});
  }
}

TEST(RecordsTest, ProfileWithUidTypeBeforeUidReadsUidFromInsideUidType) {
  const PlayerProfile profile = ReadProfile("<data id='1' uid_type='qq' uid='77' />");
  EXPECT_EQ(profile.uid, "ype=");
  EXPECT_EQ(profile.uid_type, "qq");
}

}  // namespace
}  // namespace qrv
