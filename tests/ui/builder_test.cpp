// Layout files: the <Window> element, fonts and default attribute lists, every element kind,
// custom elements through the callback, and what happens with bad input.

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace qrv::testing {
namespace {

class BuilderTest : public UiTest {};

class GameList : public CListUI {
 public:
  std::string GetClass() const override { return "GameListUI"; }
};

class Callback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const std::string& tag) override {
    asked.push_back(tag);
    if (tag == "GameList") return new GameList;
    return nullptr;
  }
  std::vector<std::string> asked;
};

TEST_F(BuilderTest, WindowAttributesFontsAndDefaultsReachTheManager) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(R"(<?xml version="1.0" encoding="utf-8"?>
    <Window size="620,380" caption="0,0,0,36" roundcorner="8,8" sizebox="2,3,4,5" mininfo="620,380" defaultfontcolor="#00112233">
      <Font id="0" name="Noto Sans CJK SC" size="12" bold="false" default="true"/>
      <Font id="1" name="Noto Sans CJK SC" size="14" bold="true"/>
      <Default name="Button" value="textcolor=&quot;#FFFFFFFF&quot; height=&quot;24&quot;"/>
      <VerticalLayout bkcolor="#FF1B2838">
        <Button name="plain"/><Button name="own" textcolor="#FF00FF00"/><Label name="label"/>
      </VerticalLayout>
    </Window>)",
                                    nullptr, &pm);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetClass(), "VerticalLayoutUI");
  EXPECT_EQ(root->GetBkColor(), 0xff1b2838u);
  EXPECT_EQ(pm.GetInitSize(), (CDuiSize{620, 380}));
  EXPECT_EQ(pm.GetCaptionRect(), (RECT{0, 0, 0, 36}));
  EXPECT_EQ(pm.GetSizeBox(), (RECT{2, 3, 4, 5}));
  EXPECT_EQ(pm.GetRoundCorner(), (CDuiSize{8, 8}));
  EXPECT_EQ(pm.GetMinInfo(), (CDuiSize{620, 380}));
  EXPECT_EQ(pm.GetDefaultFontColor(), 0xff112233u);
  EXPECT_EQ(pm.Fonts().Get(1).size, 14);
  EXPECT_TRUE(pm.Fonts().Get(1).bold);
  EXPECT_EQ(pm.Fonts().Default().size, 12);
  pm.AttachDialog(root);
  auto* plain = static_cast<CButtonUI*>(pm.FindControl("plain"));
  auto* own = static_cast<CButtonUI*>(pm.FindControl("own"));
  EXPECT_EQ(plain->GetTextColor(), 0xffffffffu);
  EXPECT_EQ(plain->GetFixedHeight(), 24);
  EXPECT_EQ(own->GetTextColor(), 0xff00ff00u) << "the element's own attribute wins";
  EXPECT_EQ(static_cast<CLabelUI*>(pm.FindControl("label"))->GetTextColor(), 0u)
      << "defaults are per element name";
}

TEST_F(BuilderTest, EveryElementKindMakesItsClass) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(R"(<Window><Container name="c">
      <Control name="Control"/><Label name="Label"/><Text name="Text"/><Button name="Button"/>
      <Option name="Option"/><Edit name="Edit"/><Combo name="Combo"><ListLabelElement name="in" text="a"/></Combo>
      <List name="List"><ListLabelElement name="ListLabelElement"/><ListContainerElement name="ListContainerElement"/></List>
      <VerticalLayout name="VerticalLayout"/><HorizontalLayout name="HorizontalLayout"/>
      <TabLayout name="TabLayout"/><Progress name="Progress"/>
    </Container></Window>)",
                                    nullptr, &pm);
  pm.AttachDialog(root);
  for (const char* kind :
       {"Control", "Label", "Text", "Button", "Option", "Edit", "Combo", "List", "ListLabelElement",
        "ListContainerElement", "VerticalLayout", "HorizontalLayout", "TabLayout", "Progress"}) {
    CControlUI* control = pm.FindControl(kind);
    ASSERT_NE(control, nullptr) << kind;
    EXPECT_EQ(control->GetClass(), std::string(kind) + "UI");
    EXPECT_NE(control->GetInterface(kind), nullptr) << kind;
  }
  EXPECT_EQ(pm.FindControl("c")->GetClass(), "ContainerUI");
  EXPECT_EQ(static_cast<CComboUI*>(pm.FindControl("Combo"))->GetCount(), 1);
}

TEST_F(BuilderTest, CustomElementsGoToTheCallbackUnknownOnesAreSkippedWhole) {
  CPaintManagerUI pm;
  Callback callback;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(R"(<Window><VerticalLayout>
      <GameList name="gamelist" itemshowhtml="true" height="100"/>
      <Mystery name="m"><Button name="inside"/></Mystery>
      <Button name="after"/>
    </VerticalLayout></Window>)",
                                    &callback, &pm);
  pm.AttachDialog(root);
  EXPECT_EQ(callback.asked, (std::vector<std::string>{"GameList", "Mystery"}));
  auto* list = static_cast<CListUI*>(pm.FindControl("gamelist"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetClass(), "GameListUI");
  EXPECT_TRUE(list->IsItemShowHtml());
  EXPECT_EQ(pm.FindControl("inside"), nullptr);
  EXPECT_NE(pm.FindControl("after"), nullptr);
}

TEST_F(BuilderTest, ParentGetsTheControlsAndTheMarkupBuildsAgain) {
  CPaintManagerUI pm;
  CDialogBuilder page;
  pm.AttachDialog(page.Create(R"(<Window size="300,200"><List name="friends"/></Window>)", nullptr, &pm));
  auto* list = static_cast<CListUI*>(pm.FindControl("friends"));
  CDialogBuilder rows;
  CControlUI* first = rows.Create(
      R"(<ListContainerElement height="32"><Label name="nickname"/><Button name="ButtonUI5"/></ListContainerElement>)",
      nullptr, &pm, list);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(rows.GetMarkup()->IsValid());
  CControlUI* second = rows.Create(nullptr, &pm, list);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->GetItemAt(1), second);
  EXPECT_NE(pm.FindSubControlByName(second, "nickname"), pm.FindSubControlByName(first, "nickname"));
  EXPECT_EQ(pm.FindSubControlByName(second, "nickname")->GetParent(), second);
  EXPECT_EQ(pm.FindControls("ButtonUI5").size(), 2u);
}

TEST_F(BuilderTest, BrokenXmlGivesNoControlAndOneLine) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(builder.Create("<Window><VerticalLayout></Window>", nullptr, &pm), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot be parsed"), std::string::npos) << err;
  EXPECT_FALSE(builder.GetMarkup()->IsValid());
  EXPECT_EQ(builder.Create("<Window><Font id=\"1\"/></Window>", nullptr, &pm), nullptr) << "no control in it";
  EXPECT_FALSE(pm.AttachDialog(nullptr));
}

TEST_F(BuilderTest, MarkupNodesWalkElementsOnly) {
  CMarkup markup;
  ASSERT_TRUE(markup.Load("<a x=\"1\" y=\"2\"><!-- c --> text <b/>tail<c z=\"q\">v</c></a>"));
  CMarkupNode root = markup.GetRoot();
  EXPECT_EQ(root.GetName(), "a");
  EXPECT_EQ(root.GetAttributeCount(), 2);
  EXPECT_EQ(root.GetAttributeName(1), "y");
  EXPECT_EQ(root.GetAttributeValue("x"), "1");
  CMarkupNode b = root.GetChild();
  EXPECT_EQ(b.GetName(), "b");
  CMarkupNode c = b.GetSibling();
  EXPECT_EQ(c.GetName(), "c");
  EXPECT_EQ(c.GetValue(), "v");
  EXPECT_FALSE(c.GetSibling().IsValid());
  EXPECT_EQ(c.GetParent().GetName(), "a");
  EXPECT_FALSE(markup.Load("not xml"));
  EXPECT_FALSE(markup.IsValid());
}

}  // namespace
}  // namespace qrv::testing
