// Naming and finding servers, and the paging of the whole list.

#include "servers/server_lookup.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

using Tokens = std::vector<std::string>;

TEST(ServerLookupTest, KeysTextsAndPictures) {
  EXPECT_EQ(ServerKey("qrv100"), "100");
  EXPECT_EQ(ServerKey("s1qrv7"), "7");
  EXPECT_EQ(ServerKey("xx45"), "45");
  EXPECT_EQ(ServerKey("x"), "");

  ServerEntry server{"1", "玄岚城[12服]", "qrv12", "0", "1", ""};
  EXPECT_EQ(ServerItemText(server), ". 玄岚城[12服] [电信]");
  server.type = "1";
  EXPECT_EQ(ServerItemText(server), ". 玄岚城[12服] [网通]");
  server.type = "5";
  EXPECT_EQ(ServerItemText(server), "");

  EXPECT_EQ(StatePictureAttribute("4"), "bkimage=\"file='ser.png' source='0,179,75,194'\"");
  EXPECT_EQ(StatePictureAttribute("12"), StatePictureAttribute("7"));
  EXPECT_EQ(StatePictureAttribute("9"), StatePictureAttribute("x"));
  EXPECT_EQ(StatePictureAttribute(""), "bkimage=\"file='ser.png' source='0,114,75,135'\"");
  EXPECT_EQ(StatePictureAttribute("6"), "bkimage=\"file='ser.png' source='0,279,75,294'\"");
  EXPECT_FALSE(PagedItemEnabled("3"));
  EXPECT_FALSE(PagedItemEnabled("4"));
  EXPECT_TRUE(PagedItemEnabled("12"));
  EXPECT_FALSE(SideItemEnabled("3"));
  EXPECT_TRUE(SideItemEnabled("4"));
}

TEST(ServerLookupTest, LookupTextsAndTheSearchByNumber) {
  EXPECT_EQ(ServerLookupText(". 玄岚城[12服] [双线]"), "[12服]");
  EXPECT_EQ(ServerLookupText("12服]x"), "12服]");  // no "[": from the start
  EXPECT_EQ(ServerLookupText("[12服"), "");
  EXPECT_EQ(ServerNumberTag("a1b0c0"), "[100服]");
  EXPECT_EQ(ServerNumberTag("如100"), "[100服]");

  const std::vector<ServerEntry> servers{
      {"1", "甲[1服]", "", "", "", ""}, {"2", "乙[11服]", "", "", "", ""}, {"3", "丙[11服]", "", "", "", ""}};
  EXPECT_EQ(FindServerByLookup("[11服]", servers), 1u);
  EXPECT_EQ(FindServerByLookup("[1服]", servers), 0u);
  EXPECT_EQ(FindServerByLookup("", servers), 0u);
  EXPECT_EQ(FindServerByLookup("[2服]", servers), std::nullopt);
  EXPECT_EQ(FindServerByLookup("", {}), std::nullopt);
}

TEST(ServerLookupTest, PlayedTokensDropEmptyPieces) {
  EXPECT_EQ(PlayedTokens("12||15|"), (Tokens{"12", "15"}));
  EXPECT_EQ(PlayedTokens("|3"), (Tokens{"3"}));
  EXPECT_EQ(PlayedTokens(""), Tokens{});
  EXPECT_EQ(PlayedTokens("||"), Tokens{});
}

TEST(ServerLookupTest, SectionsAndPages) {
  EXPECT_EQ(SectionPageCount(45, 0), 3);
  EXPECT_EQ(SectionPage(45, 0, 2).first, 20u);
  EXPECT_EQ(SectionPage(45, 0, 3).count, 5u);
  EXPECT_EQ(SectionPage(45, 0, 4).count, 0u);
  EXPECT_EQ(SectionPage(45, 0, 0).count, 0u);

  EXPECT_EQ(SectionServerCount(200, 0), 160);
  EXPECT_EQ(SectionServerCount(200, 1), 40);
  EXPECT_EQ(SectionServerCount(200, 2), 0);
  EXPECT_EQ(SectionServerCount(200, -1), 0);
  EXPECT_EQ(SectionPageCount(200, 1), 2);
  EXPECT_EQ(SectionPage(200, 1, 1).first, 160u);
  EXPECT_EQ(SectionPage(200, 1, 2).first, 180u);
  EXPECT_EQ(SectionPage(200, 1, 2).count, 20u);
  // Page 0 of a section never reaches back into the section before it.
  EXPECT_EQ(SectionPage(150, 1, 0).count, 0u);

  EXPECT_EQ(PagingSpacerWidth(3), 191);
  EXPECT_EQ(PagingSpacerWidth(8), 191);
  EXPECT_EQ(PagingSpacerWidth(2), 380);
  EXPECT_EQ(PagingSpacerWidth(1), 406);
  EXPECT_EQ(PagingSpacerWidth(0), 432);
}

}  // namespace
}  // namespace qrv
