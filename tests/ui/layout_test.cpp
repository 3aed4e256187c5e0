// Where controls end up: sharing along rows and columns, fixed and limited sizes, padding, inset,
// floating positions (negative ones from the right/bottom) and the attribute lists windows apply.

#include <gtest/gtest.h>

#include "ui/controls/layout_math.h"
#include "ui_test_support.h"

namespace qrv::testing {
namespace {

using ui::DistributeSizes;
using ui::LayoutSlot;

TEST(DistributeSizes, FixedItemsTakeTheirSizeTheRestShare) {
  EXPECT_EQ(DistributeSizes(300, 0, {{100}, {}, {}}), (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(DistributeSizes(100, 0, {{}, {}, {}}), (std::vector<int>{33, 33, 34}));
  EXPECT_EQ(DistributeSizes(110, 5, {{}, {}, {}}), (std::vector<int>{33, 33, 34}));
}

TEST(DistributeSizes, LimitsGiveTheirShareBackToTheOthers) {
  EXPECT_EQ(DistributeSizes(300, 0, {{0, 0, 50}, {}, {}}), (std::vector<int>{50, 125, 125}));
  EXPECT_EQ(DistributeSizes(300, 0, {{0, 200}, {}}), (std::vector<int>{200, 100}));
  // A fixed size is clamped to its own limits too.
  EXPECT_EQ(DistributeSizes(300, 0, {{400, 0, 174}}), (std::vector<int>{174}));
  // Margins are space the items cannot use.
  EXPECT_EQ(DistributeSizes(100, 0, {{0, 0, 9999, 20}, {}}), (std::vector<int>{40, 40}));
  // Not enough room: flexible items get nothing rather than a negative size.
  EXPECT_EQ(DistributeSizes(50, 0, {{80}, {}}), (std::vector<int>{80, 0}));
}

class LayoutTest : public UiTest {
 protected:
  CControlUI* Build(const std::string& xml) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(xml, nullptr, &pm_);
    pm_.AttachDialog(root);
    pm_.UpdateLayout();
    return root;
  }
  RECT PosOf(const std::string& name) {
    CControlUI* control = pm_.FindControl(name);
    EXPECT_NE(control, nullptr) << name;
    return control == nullptr ? RECT{} : control->GetPos();
  }
  CPaintManagerUI pm_;
};

TEST_F(LayoutTest, ColumnAndRowShareSpaceWithPaddingInsetAndLimits) {
  Build(R"(<Window size="400,300">
    <VerticalLayout inset="10,10,10,10" childpadding="5">
      <HorizontalLayout name="row" height="40" childpadding="4">
        <Button name="a" width="100"/><Button name="b"/><Button name="c" maxwidth="50"/>
        <Control name="d" padding="3,2,3,2"/>
      </HorizontalLayout>
      <Control name="mid"/>
      <Control name="bottom" height="30" width="120"/>
      <Control name="floater" float="true" pos="-24,12,-12,24"/>
    </VerticalLayout></Window>)");
  EXPECT_EQ(PosOf("row"), (RECT{10, 10, 390, 50}));
  EXPECT_EQ(PosOf("mid"), (RECT{10, 55, 390, 255}));
  EXPECT_EQ(PosOf("bottom"), (RECT{10, 260, 130, 290}));
  EXPECT_EQ(PosOf("a"), (RECT{10, 10, 110, 50}));
  EXPECT_EQ(PosOf("b"), (RECT{114, 10, 220, 50}));
  EXPECT_EQ(PosOf("c"), (RECT{224, 10, 274, 50}));
  EXPECT_EQ(PosOf("d"), (RECT{281, 12, 387, 48}));
  // Negative float coordinates count from the parent's right edge.
  EXPECT_EQ(PosOf("floater"), (RECT{376, 12, 388, 24}));
}

TEST_F(LayoutTest, MinimumHeightAndHiddenChildren) {
  Build(R"(<Window size="100,200"><VerticalLayout>
      <Control name="one" minheight="150"/><Control name="two"/><Control name="gone" visible="false"/>
    </VerticalLayout></Window>)");
  EXPECT_EQ(PosOf("one"), (RECT{0, 0, 100, 150}));
  EXPECT_EQ(PosOf("two"), (RECT{0, 150, 100, 200}));
  pm_.FindControl("one")->SetVisible(false);
  pm_.UpdateLayout();
  EXPECT_EQ(PosOf("two"), (RECT{0, 0, 100, 200}));
}

TEST_F(LayoutTest, ServerButtonAndLabelListsPlaceRelativeToTheirLine) {
  auto* root = static_cast<CContainerUI*>(Build(R"(<Window size="700,400"><VerticalLayout>
      <Control height="100"/><HorizontalLayout name="serline1" height="40"/>
      <Control/></VerticalLayout></Window>)"));
  ASSERT_NE(root, nullptr);
  auto* line = static_cast<CContainerUI*>(pm_.FindControl("serline1"));
  auto* button = new CButtonUI;
  button->ApplyAttributeList(
      R"(name="serbutton100" float="true" pos="52,0,0,0" width="139" height="28" textcolor="#00279188" disabledtextcolor="#FFA7A6AA" align="left")");
  auto* label = new CLabelUI;
  label->ApplyAttributeList(
      R"(name="TextUI100" bkimage="file='ser.png' source='0,114,75,135'" float="true" pos="194,7,0,0" width="70" height="15"  align="centerwrap")");
  auto* holder = new CHorizontalLayoutUI;
  ASSERT_TRUE(holder->Add(button));
  ASSERT_TRUE(holder->Add(label));
  holder->ApplyAttributeList(R"(maxwidth="290" )");
  ASSERT_TRUE(line->Add(holder));
  pm_.UpdateLayout();

  EXPECT_EQ(holder->GetPos(), (RECT{0, 100, 290, 140}));
  EXPECT_EQ(button->GetPos(), (RECT{52, 100, 191, 128}));
  EXPECT_EQ(label->GetPos(), (RECT{194, 107, 264, 122}));
  EXPECT_EQ(button->GetTextColor(), 0xff279188u);
  EXPECT_EQ(button->GetDisabledTextColor(), 0xffa7a6aau);
  EXPECT_EQ(button->GetTextStyle() & (DT_CENTER | DT_RIGHT), 0u);
  EXPECT_EQ(label->GetBkImage(), "file='ser.png' source='0,114,75,135'");
  EXPECT_EQ(label->GetTextStyle() & (DT_CENTER | DT_WORDBREAK), DT_CENTER | DT_WORDBREAK);
  EXPECT_EQ(pm_.FindControl("serbutton100"), button);
}

TEST_F(LayoutTest, TabStripItemPutsItsCloseButtonNearTheRightEdge) {
  Build(R"(<Window size="800,80"><VerticalLayout>
      <HorizontalLayout name="IContainer" height="32"><Button name="NewItemBtn" width="30"/></HorizontalLayout>
      <Control/></VerticalLayout></Window>)");
  auto* strip = static_cast<CContainerUI*>(pm_.FindControl("IContainer"));
  auto* option = new COptionUI;
  option->ApplyAttributeList(
      R"( float="false" group="group1" text="新页面1" name="page1" height="30" maxwidth="174" normalimage="file='tabitem.png' source='0,0,174,32'" hotimage="file='tabitem.png' source='174,0,348,32'" pushedimage="file='tabitem.png' source='348,0,522,32'" selectedimage="file='tabitem.png' source='348,0,522,32'" textalign="center" )");
  auto* close = new CButtonUI;
  close->ApplyAttributeList(
      R"(name="CloseTabBtn1" float="true" normalimage="tab_close_Crop1.png" hotimage="tab_close_Crop1.png" pushedimage="tab_close_Crop3.png" bordersize="0" pos="-24,12,-12,24" bordercolor="#FF000000" width="12" height="12")");
  auto* item = new CHorizontalLayoutUI;
  item->ApplyAttributeList(R"(maxwidth="174" )");
  item->SetName("标签页1");
  item->Add(option);
  item->Add(close);
  ASSERT_TRUE(strip->AddAt(item, strip->GetCount() - 1));
  pm_.UpdateLayout();

  EXPECT_EQ(item->GetPos(), (RECT{0, 0, 174, 32}));
  EXPECT_EQ(option->GetPos(), (RECT{0, 0, 174, 30}));
  EXPECT_EQ(close->GetPos(), (RECT{150, 12, 162, 24}));
  EXPECT_EQ(pm_.FindControl("NewItemBtn")->GetPos(), (RECT{174, 0, 204, 32}));
  EXPECT_EQ(option->GetText(), "新页面1");
  EXPECT_EQ(option->GetGroup(), "group1");
  EXPECT_EQ(strip->GetItemAt(strip->GetCount() - 1)->GetName(), "NewItemBtn");
}

TEST_F(LayoutTest, AccountTileListsAsApplied) {
  Build(R"(<Window size="400,200"><HorizontalLayout name="HorizontalLayoutUI41"/></Window>)");
  auto* picture = new CControlUI;
  picture->ApplyAttributeList(
      R"(name="ControlUI2" float="true" pos="0,0,0,0" width="50" maxwidth="50" height="50" bkimage="jiong.png")");
  auto* check = new COptionUI;
  check->ApplyAttributeList(
      R"(name="OptionUI1" float="true" pos="0,0,0,0" width="12" height="12" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" align="center" normalimage="file='CheckBox.png' source='0,0,13,13'" hotimage="file='CheckBox.png' source='13,0,26,13'" selectedimage="file='CheckBox.png' source='13,0,26,13'")");
  auto* close = new CButtonUI;
  close->ApplyAttributeList(
      R"(name="ButtonUI2" float="true" normalimage="tab_close_Crop1.png" hotimage="tab_close_Crop2.png" pushedimage="tab_close_Crop3.png" bordersize="0" pos="-16,0,-1,15" bordercolor="#FF000000" width="15" height="15")");
  auto* caption = new CTextUI;
  caption->ApplyAttributeList(
      R"(name="TextUI2" text="心跳包发送成功" float="true" pos="2,50,0,0" width="50" height="11" textpadding="2,0,2,0" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" align="wrap")");
  auto* tile = new CHorizontalLayoutUI;
  for (CControlUI* part : {static_cast<CControlUI*>(picture), static_cast<CControlUI*>(check),
                           static_cast<CControlUI*>(close), static_cast<CControlUI*>(caption)}) {
    ASSERT_TRUE(tile->Add(part));
  }
  tile->ApplyAttributeList(R"(name="HorizontalLayoutUI51" maxwidth="50")");
  auto* holder = static_cast<CContainerUI*>(pm_.FindControl("HorizontalLayoutUI41"));
  ASSERT_TRUE(holder->Add(tile));
  pm_.UpdateLayout();

  EXPECT_EQ(tile->GetPos(), (RECT{0, 0, 50, 200}));
  EXPECT_EQ(picture->GetPos(), (RECT{0, 0, 50, 50}));
  EXPECT_EQ(check->GetPos(), (RECT{0, 0, 12, 12}));
  EXPECT_EQ(close->GetPos(), (RECT{34, 0, 49, 15}));
  EXPECT_EQ(caption->GetPos(), (RECT{2, 50, 52, 61}));
  EXPECT_EQ(caption->GetText(), "心跳包发送成功");
  EXPECT_EQ(caption->GetTextPadding(), (RECT{2, 0, 2, 0}));
  EXPECT_EQ(caption->GetClass(), "TextUI");
}

TEST_F(LayoutTest, TabLayoutShowsOnePageAndKeepsSelectedIdFromTheLayout) {
  Build(R"(<Window size="200,100"><TabLayout name="switch" selectedid="1">
      <Control name="page0"/><VerticalLayout name="page1"><Button name="inner"/></VerticalLayout><Control name="page2"/>
    </TabLayout></Window>)");
  auto* tabs = static_cast<CTabLayoutUI*>(pm_.FindControl("switch"));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_FALSE(pm_.FindControl("page0")->IsVisible());
  EXPECT_TRUE(pm_.FindControl("page1")->IsVisible());
  EXPECT_EQ(PosOf("page1"), (RECT{0, 0, 200, 100}));
  EXPECT_EQ(pm_.FindControl(POINT{50, 50}), pm_.FindControl("inner"));
  EXPECT_TRUE(tabs->SelectItem(0));
  EXPECT_TRUE(pm_.FindControl("page0")->IsVisible());
  EXPECT_FALSE(pm_.FindControl("page1")->IsVisible());
  EXPECT_EQ(pm_.FindControl(POINT{50, 50}), pm_.FindControl("page0"));
  EXPECT_FALSE(tabs->SelectItem(3));
  EXPECT_TRUE(tabs->SelectItem(pm_.FindControl("page2")));
  EXPECT_EQ(tabs->GetCurSel(), 2);
}

TEST_F(LayoutTest, FloatWithoutWidthUsesTheRightAndBottomOfPos) {
  Build(R"(<Window size="300,200"><Container>
      <Control name="box" float="true" pos="10,20,110,70"/>
      <Control name="corner" float="true" pos="-50,-40,-10,-5"/>
      <Control name="fill" padding="5,5,5,5"/>
    </Container></Window>)");
  EXPECT_EQ(PosOf("box"), (RECT{10, 20, 110, 70}));
  EXPECT_EQ(PosOf("corner"), (RECT{250, 160, 290, 195}));
  EXPECT_EQ(PosOf("fill"), (RECT{5, 5, 295, 195}));
}

TEST_F(LayoutTest, ResizingTheWindowLaysOutAgain) {
  LayoutWindow window(
      R"(<Window><HorizontalLayout><Control name="l"/><Control name="r" width="40"/></HorizontalLayout></Window>)");
  const HWND hwnd = window.Open(200, 50);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window.pm.FindControl("l")->GetPos(), (RECT{0, 0, 160, 50}));
  SetWindowPos(hwnd, nullptr, 0, 0, 300, 60, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(window.pm.FindControl("l")->GetPos(), (RECT{0, 0, 260, 60}));
  EXPECT_EQ(window.pm.FindControl("r")->GetPos(), (RECT{260, 0, 300, 60}));
}

}  // namespace
}  // namespace qrv::testing
