// The server list window's shape, its paged list, paging bar, sections and side lines, built from
// the real skin.

#include <gtest/gtest.h>

#include "servers/server_list_fixture.h"

namespace qrv {
namespace {

using ServerListWindowTest = testing::ServerListFixture;
using Texts = std::vector<std::string>;

std::vector<std::string> ItemTexts(int from, int to) {
  std::vector<std::string> texts;
  for (int n = from; n <= to; ++n) texts.push_back(". 玄岚城[" + std::to_string(n) + "服] [双线]");
  return texts;
}

TEST_F(ServerListWindowTest, IsAShapedPopUpWithEveryControlItUses) {
  CServerListUI* list = OpenWith(testing::MakeServers(3), "", CServerListUI::kModeLogin);
  const HeadlessWindows::State* state = windows_->StateOf(list->GetHWND());
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(state->visible);
  EXPECT_TRUE(state->layered);
  EXPECT_EQ(state->color_key, 0x000000u);
  EXPECT_EQ(state->alpha, 250);
  EXPECT_EQ(state->style & WS_CAPTION, 0u);
  EXPECT_EQ(state->style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  EXPECT_EQ(CWindowWnd::FromHandle(list->GetHWND())->GetWindowClassName(), "UISerList");
  EXPECT_EQ(list->GetClassStyle(), CS_DBLCLKS);
  EXPECT_EQ(windows_->Title(list->GetHWND()), "玄岚城服务器");
  for (const char* name : {"serline1", "serline10", "zjline1", "zjline2", "tjline1", "tjline2", "fangyi",
                           "HorizontalLayoutUI8", "edserid", "bngo", "bnzuixin", "bnclose", "tab0", "tab1"}) {
    EXPECT_NE(Find(list, name), nullptr) << name;
  }
  // The login window's list has no close button; the main frame's has.
  EXPECT_FALSE(Find(list, "bnclose")->IsVisible());
  CServerListUI* from_frame = OpenWith(testing::MakeServers(3));
  EXPECT_TRUE(Find(from_frame, "bnclose")->IsVisible());
  Click(from_frame, "bnclose");
  loop_->Pump();
  EXPECT_FALSE(ListAlive());
}

TEST_F(ServerListWindowTest, FortyFiveServersMakeThreePagesOfTwentyTwentyAndFive) {
  CServerListUI* list = OpenWith(testing::MakeServers(45));
  EXPECT_EQ(PagedTexts(list), ItemTexts(1, 20));
  EXPECT_EQ(ButtonsOf(list, "serline1").size(), 2u);
  EXPECT_EQ(ButtonsOf(list, "serline10").size(), 2u);
  EXPECT_EQ(PagingBar(list), (Texts{"pagepre", "page1", "page2", "page3", "pagenext"}));
  EXPECT_EQ(Find(list, "page2")->GetText(), "2");
  EXPECT_EQ(Find(list, "HorizontalLayoutUI8")->GetMaxWidth(), 191);

  Click(list, "pagenext");
  EXPECT_EQ(list->page(), 2);
  EXPECT_EQ(PagedTexts(list), ItemTexts(21, 40));
  Click(list, "page3");
  EXPECT_EQ(PagedTexts(list), ItemTexts(41, 45));
  EXPECT_EQ(ButtonsOf(list, "serline3").size(), 1u);
  EXPECT_TRUE(ButtonsOf(list, "serline4").empty());
  Click(list, "pagenext");  // already the last page
  EXPECT_EQ(list->page(), 3);
  EXPECT_EQ(PagedTexts(list), ItemTexts(41, 45));
  Click(list, "pagepre");
  Click(list, "pagepre");
  Click(list, "pagepre");  // not below the first page
  EXPECT_EQ(list->page(), 1);
  EXPECT_EQ(PagedTexts(list), ItemTexts(1, 20));
}

TEST_F(ServerListWindowTest, TwoServersMakeOnePageAndAWideSpacer) {
  CServerListUI* list = OpenWith(testing::MakeServers(2));
  EXPECT_EQ(PagedTexts(list), ItemTexts(1, 2));
  EXPECT_EQ(PagingBar(list), (Texts{"pagepre", "page1", "pagenext"}));
  EXPECT_EQ(Find(list, "HorizontalLayoutUI8")->GetMaxWidth(), 406);
}

TEST_F(ServerListWindowTest, SectionsShowTheirOwnServersOnly) {
  CServerListUI* list = OpenWith(testing::MakeServers(200));
  EXPECT_EQ(PagingBar(list).size(), 10u);  // eight pages and the two arrows
  Click(list, "page8");
  EXPECT_EQ(PagedTexts(list), ItemTexts(141, 160));

  Click(list, "tab1");
  EXPECT_EQ(list->section(), 1);
  EXPECT_EQ(list->page(), 1);
  EXPECT_EQ(PagedTexts(list), ItemTexts(161, 180));
  EXPECT_EQ(PagingBar(list), (Texts{"pagepre", "page1", "page2", "pagenext"}));
  EXPECT_EQ(Find(list, "HorizontalLayoutUI8")->GetMaxWidth(), 458 - 26 * 3);
  auto* tab = static_cast<COptionUI*>(Find(list, "tab1")->GetInterface("Option"));
  EXPECT_TRUE(tab->IsSelected());
  Click(list, "pagenext");
  EXPECT_FALSE(tab->IsSelected());  // a section option lets go of its selection with the focus
  EXPECT_EQ(PagedTexts(list), ItemTexts(181, 200));
  Click(list, "pagenext");
  EXPECT_EQ(PagedTexts(list), ItemTexts(181, 200));

  // A section past the end has no pages; next page there shows nothing, and never the last page
  // of the section before it.
  Click(list, "tab2");
  EXPECT_TRUE(PagedTexts(list).empty());
  EXPECT_EQ(PagingBar(list), (Texts{"pagepre", "pagenext"}));
  Click(list, "pagenext");
  EXPECT_EQ(list->page(), 0);
  EXPECT_TRUE(PagedTexts(list).empty());
  Click(list, "tab0");
  EXPECT_EQ(PagedTexts(list), ItemTexts(1, 20));
}

TEST_F(ServerListWindowTest, NextPageOnAnEmptySectionShowsNothingOfTheSectionBefore) {
  CServerListUI* list = OpenWith(testing::MakeServers(150));
  Click(list, "tab1");
  Click(list, "pagenext");
  EXPECT_EQ(list->page(), 0);
  EXPECT_TRUE(PagedTexts(list).empty());  // not servers 141 to 150 of the first section
  Click(list, "pagepre");
  EXPECT_EQ(list->page(), 1);
  EXPECT_TRUE(PagedTexts(list).empty());
}

TEST_F(ServerListWindowTest, ItemsCarryTheirExactAttributes) {
  std::vector<ServerEntry> servers = testing::MakeServers(3);
  servers[0].state = "0";
  servers[1].state = "3";
  servers[2].type = "5";
  CServerListUI* list = OpenWith(servers, "2");
  list->paint_manager().UpdateLayout();

  auto* button = static_cast<CButtonUI*>(Find(list, "serbutton1"));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->IsFloat());
  const RECT holder = button->GetParent()->GetPos();
  const RECT r = button->GetPos();
  EXPECT_EQ(r.left - holder.left, 52);
  EXPECT_EQ(r.top - holder.top, 0);
  EXPECT_EQ(r.right - r.left, 139);
  EXPECT_EQ(r.bottom - r.top, 28);
  EXPECT_EQ(button->GetTextColor() & 0xFFFFFFu, 0x279188u);  // text colours are drawn opaque
  EXPECT_EQ(button->GetDisabledTextColor(), 0xFFA7A6AAu);
  EXPECT_EQ(button->GetTextStyle() & kHorizontalAlignMask, static_cast<std::uint32_t>(DT_LEFT));
  EXPECT_EQ(button->GetParent()->GetMaxWidth(), 290);
  // The label beside it ("TextUI1" also names the first side item's label, so take the sibling).
  auto* holder_layout = static_cast<CContainerUI*>(button->GetParent()->GetInterface("Container"));
  ASSERT_EQ(holder_layout->GetCount(), 2);
  auto* label = static_cast<CLabelUI*>(holder_layout->GetItemAt(1)->GetInterface("Label"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetName(), "TextUI1");
  EXPECT_EQ(label->GetBkImage(), "file='ser.png' source='0,159,75,174'");
  EXPECT_EQ(label->GetPos().left - holder.left, 194);
  EXPECT_EQ(label->GetPos().top - holder.top, 7);
  EXPECT_EQ(label->GetPos().right - label->GetPos().left, 70);
  EXPECT_NE(label->GetTextStyle() & DT_CENTER, 0u);
  EXPECT_NE(label->GetTextStyle() & DT_WORDBREAK, 0u);

  // State "3" cannot be chosen anywhere; a type without a line word gives an empty text.
  EXPECT_FALSE(Find(list, "serbutton2")->IsEnabled());
  const auto* disabled_holder = static_cast<CContainerUI*>(Find(list, "serbutton2")->GetParent());
  EXPECT_EQ(disabled_holder->GetItemAt(1)->GetBkImage(), "file='ser.png' source='0,219,75,234'");
  EXPECT_EQ(Find(list, "serbutton3")->GetText(), "");
  EXPECT_TRUE(Find(list, "serbutton3")->IsEnabled());

  // The side buttons: the recent server 2 is item 1 in the upper line, lower in its row.
  const std::vector<CButtonUI*> recent = ButtonsOf(list, "zjline1");
  ASSERT_EQ(recent.size(), 1u);
  EXPECT_EQ(recent[0]->GetName(), "zjbutton1");
  EXPECT_FALSE(recent[0]->IsEnabled());
  EXPECT_EQ(recent[0]->GetTextColor() & 0xFFFFFFu, 0xA8BC00u);
  const RECT side = recent[0]->GetPos();
  const RECT side_holder = recent[0]->GetParent()->GetPos();
  EXPECT_EQ(side.left - side_holder.left, 52);
  EXPECT_EQ(side.top - side_holder.top, 12);
  EXPECT_EQ(side.bottom - side.top, 30);
  const auto* side_holder_layout = static_cast<CContainerUI*>(recent[0]->GetParent());
  const RECT side_label = side_holder_layout->GetItemAt(1)->GetPos();
  EXPECT_EQ(side_label.left - side_holder.left, 194);
  EXPECT_EQ(side_label.top - side_holder.top, 21);
  // Recommended: the first four (three here), numbered on after the recent one.
  const std::vector<CButtonUI*> recommended = ButtonsOf(list, "tjline1");
  ASSERT_EQ(recommended.size(), 2u);
  EXPECT_EQ(recommended[0]->GetName(), "zjbutton2");
  EXPECT_EQ(recommended[1]->GetName(), "zjbutton3");
  const std::vector<CButtonUI*> lower = ButtonsOf(list, "tjline2");
  ASSERT_EQ(lower.size(), 1u);
  EXPECT_EQ(lower[0]->GetPos().top - lower[0]->GetParent()->GetPos().top, 5);

  // The paging buttons.
  auto* page1 = static_cast<CButtonUI*>(Find(list, "page1"));
  ASSERT_NE(page1, nullptr);
  EXPECT_EQ(page1->GetNormalImage(), "file='ser.png' source='0,403,21,423'");
  EXPECT_EQ(page1->GetHotImage(), "file='ser.png'  source='0,424,21,444'");
  EXPECT_EQ(page1->GetTextColor() & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(page1->GetParent()->GetMaxWidth(), 26);
  auto* next = static_cast<CButtonUI*>(Find(list, "pagenext"));
  EXPECT_EQ(next->GetNormalImage(), "file='ser.png' source='0,382,45,403' ");
  EXPECT_EQ(next->GetPos().right - next->GetPos().left, 45);
  EXPECT_EQ(static_cast<CButtonUI*>(Find(list, "pagepre"))->GetTextStyle() & kHorizontalAlignMask,
            static_cast<std::uint32_t>(DT_RIGHT));
}

TEST_F(ServerListWindowTest, AServerCodeFromThePlatformCannotAddAttributesToItsItem) {
  std::vector<ServerEntry> servers = testing::MakeServers(2);
  servers[0].code = R"(qrv7" visible="false" enabled="false)";
  CServerListUI* list = OpenWith(servers, "");
  list->paint_manager().UpdateLayout();
  const std::string key = R"(7" visible="false" enabled="false)";
  CControlUI* button = Find(list, "serbutton" + key);
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->IsVisible());
  EXPECT_TRUE(button->IsEnabled());
  EXPECT_EQ(static_cast<CContainerUI*>(button->GetParent())->GetItemAt(1)->GetName(), "TextUI" + key);
  EXPECT_NE(Find(list, "serbutton2"), nullptr);
}

}  // namespace
}  // namespace qrv
