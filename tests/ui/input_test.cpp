// Mouse and keyboard through window messages: hot, pushed and click, option groups, focus and
// its notifications, edits, Tab, links, timers and "windowinit".

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace qrv::testing {
namespace {

using Log = std::vector<std::string>;

class InputTest : public UiTest {};

constexpr char kPanel[] = R"(<Window size="300,200" caption="0,0,0,30">
  <VerticalLayout bkcolor="#FF1B2838">
    <HorizontalLayout height="30">
      <Label name="title" text="标题"/><Button name="bnclose" width="30" text="X"/>
    </HorizontalLayout>
    <HorizontalLayout height="30">
      <Option name="op1" group="g" selected="true" text="一"/><Option name="op2" group="g" text="二"/>
      <Option name="op3" group="other" text="三"/><Option name="opnote" text="记住"/>
    </HorizontalLayout>
    <Edit name="edusername" height="30" text="如100"/>
    <Edit name="edpw" height="30" password="true" maxchar="8"/>
    <Button name="login" height="30" text="登录"/>
    <Control/>
  </VerticalLayout></Window>)";

TEST_F(InputTest, ButtonIsHotPushedAndClicksOnReleaseInside) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  auto* button = window.Find<CButtonUI>("login");
  const POINT c = CenterOf(button);
  MoveMouse(hwnd, c.x, c.y);
  EXPECT_TRUE(button->IsHot());
  Press(hwnd, c.x, c.y);
  EXPECT_TRUE(button->IsPushed());
  EXPECT_TRUE(window.LogOf("click").empty());
  // Dragging out releases the pushed look; releasing outside clicks nothing.
  MoveMouse(hwnd, c.x, 5);
  EXPECT_FALSE(button->IsPushed());
  Release(hwnd, c.x, 5);
  EXPECT_TRUE(window.LogOf("click").empty());
  EXPECT_FALSE(button->IsHot());
  ClickControl(hwnd, button);
  EXPECT_EQ(window.LogOf("click"), Log{"login"});
  // A disabled button neither gets hot nor clicks.
  button->SetEnabled(false);
  ClickControl(hwnd, button);
  EXPECT_EQ(window.LogOf("click"), Log{"login"});
  EXPECT_FALSE(button->IsHot());
}

TEST_F(InputTest, OptionGroupsSelectOneAndReportTheChange) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  auto* op1 = window.Find<COptionUI>("op1");
  auto* op2 = window.Find<COptionUI>("op2");
  auto* op3 = window.Find<COptionUI>("op3");
  auto* note = window.Find<COptionUI>("opnote");
  op3->Selected(true, false);
  EXPECT_TRUE(op1->IsSelected());
  ClickControl(hwnd, op2);
  EXPECT_TRUE(op2->IsSelected());
  EXPECT_FALSE(op1->IsSelected());
  EXPECT_TRUE(op3->IsSelected()) << "another group is untouched";
  EXPECT_EQ(window.Log(), (Log{"setfocus:op2", "selectchanged:op2", "click:op2"}));
  // Clicking the selected option of a group keeps it selected and reports no change.
  window.Clear();
  ClickControl(hwnd, op2);
  EXPECT_TRUE(op2->IsSelected());
  EXPECT_EQ(window.Log(), (Log{"click:op2"}));
  // An option without a group toggles.
  window.Clear();
  ClickControl(hwnd, note);
  ClickControl(hwnd, note);
  EXPECT_FALSE(note->IsSelected());
  EXPECT_EQ(window.LogOf("selectchanged"), (Log{"opnote", "opnote"}));
  // Selecting from code reports only when asked to and only on a change.
  window.Clear();
  note->Selected(true);
  note->Selected(true);
  op1->Selected(true, false);
  EXPECT_FALSE(op2->IsSelected());
  EXPECT_EQ(window.Log(), (Log{"selectchanged:opnote"}));
}

TEST_F(InputTest, EditTakesTextMovesTheCaretAndSendsReturn) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  auto* edit = window.Find<CEditUI>("edusername");
  ClickControl(hwnd, edit);
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_EQ(window.LogOf("setfocus"), Log{"edusername"});
  ASSERT_TRUE(windows_->text_input().enabled);
  EXPECT_EQ(windows_->text_input().hwnd, hwnd);
  EXPECT_FALSE(windows_->text_input().password);
  edit->SetText("");
  Type(hwnd, U"ab中");
  EXPECT_EQ(edit->GetText(), "ab中");
  Key(hwnd, VK_LEFT);
  Key(hwnd, VK_LEFT);
  Type(hwnd, U"X");
  EXPECT_EQ(edit->GetText(), "aXb中");
  Key(hwnd, VK_BACK);
  Key(hwnd, VK_DELETE);
  EXPECT_EQ(edit->GetText(), "a中");
  Key(hwnd, VK_HOME);
  Type(hwnd, U"^");
  Key(hwnd, VK_END);
  Type(hwnd, U"$");
  EXPECT_EQ(edit->GetText(), "^a中$");
  // Control characters typed as characters do not land in the text.
  Type(hwnd, U"\t\r\b");
  EXPECT_EQ(edit->GetText(), "^a中$");
  window.Clear();
  Key(hwnd, VK_RETURN);
  EXPECT_EQ(window.Log(), Log{"return:edusername"});
  EXPECT_EQ(window.LogOf("textchanged").size(), 0u);
}

TEST_F(InputTest, PasswordEditKeepsItsTextHidesItAndHonoursMaxChar) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  auto* edit = window.Find<CEditUI>("edpw");
  ClickControl(hwnd, edit);
  EXPECT_TRUE(windows_->text_input().password);
  Type(hwnd, U"secret1234");
  EXPECT_EQ(edit->GetText(), "secret12");
  EXPECT_TRUE(edit->IsPasswordMode());
  edit->SetText("0123456789");
  EXPECT_EQ(edit->GetText(), "01234567");
  // Moving the focus away turns text input off and reports killfocus.
  window.Clear();
  ClickControl(hwnd, window.Find<CControlUI>("login"));
  EXPECT_FALSE(windows_->text_input().enabled);
  EXPECT_EQ(window.Log(), (Log{"killfocus:edpw", "setfocus:login", "click:login"}));
}

TEST_F(InputTest, TabMovesFocusAmongFocusableControlsBothWays) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  Key(hwnd, VK_TAB);
  EXPECT_EQ(window.pm.GetFocus()->GetName(), "bnclose");
  Key(hwnd, VK_TAB);
  EXPECT_EQ(window.pm.GetFocus()->GetName(), "op1");
  SendMessage(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
  Key(hwnd, VK_TAB);
  SendMessage(hwnd, WM_KEYUP, VK_SHIFT, 0);
  EXPECT_EQ(window.pm.GetFocus()->GetName(), "bnclose");
  // Space on a focused button clicks it.
  window.Clear();
  Key(hwnd, VK_SPACE);
  EXPECT_EQ(window.LogOf("click"), Log{"bnclose"});
}

TEST_F(InputTest, WindowInitComesOnceAfterCreationAndTheFirstLayout) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  EXPECT_TRUE(window.LogOf("windowinit").empty()) << "the window's creation step must finish first";
  loop_->Pump();
  EXPECT_EQ(window.LogOf("windowinit").size(), 1u);
  SetWindowPos(hwnd, nullptr, 0, 0, 320, 220, SWP_NOMOVE);
  loop_->Pump();
  EXPECT_EQ(window.LogOf("windowinit").size(), 1u);
}

TEST_F(InputTest, ControlTimersTickUntilKilledAndStopWithTheControl) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  loop_->Pump();
  CControlUI* login = window.Find<CControlUI>("login");
  CControlUI* title = window.Find<CControlUI>("title");
  ASSERT_TRUE(window.pm.SetTimer(login, 10, 50));
  ASSERT_TRUE(window.pm.SetTimer(title, 10, 80));
  // A window timer of the window's own with the same number stays the window's.
  SetTimer(hwnd, 10, 1000);
  window.Clear();
  loop_->Advance(170);
  EXPECT_EQ(window.LogOf("timer"), (Log{"login", "title", "login", "login", "title"}));
  EXPECT_EQ(window.notes[0].wParam, 10u);
  EXPECT_TRUE(window.pm.KillTimer(login, 10));
  EXPECT_FALSE(window.pm.KillTimer(login, 10));
  window.Clear();
  auto* row = static_cast<CContainerUI*>(title->GetParent());
  row->Remove(title);
  loop_->Advance(500);
  EXPECT_TRUE(window.LogOf("timer").empty());
}

TEST_F(InputTest, ClickHandlerMayRemoveTheButtonItClicked) {
  LayoutWindow window(R"(<Window size="200,100"><HorizontalLayout name="strip">
      <HorizontalLayout name="item"><Button name="CloseTabBtn1" text="x"/></HorizontalLayout>
      <Button name="NewItemBtn"/></HorizontalLayout></Window>)");
  const HWND hwnd = window.Open(200, 100);
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.sType != "click" || msg.pSender->GetName() != "CloseTabBtn1") return;
    auto* strip = window.Find<CContainerUI>("strip");
    strip->Remove(msg.pSender->GetParent());
  };
  ClickControl(hwnd, window.Find<CControlUI>("CloseTabBtn1"));
  EXPECT_EQ(window.Find<CControlUI>("CloseTabBtn1"), nullptr);
  EXPECT_EQ(window.Find<CContainerUI>("strip")->GetCount(), 1);
  // The manager let go of everything inside the removed item.
  MoveMouse(hwnd, 5, 5);
  EXPECT_EQ(window.pm.GetHotControl(), window.Find<CControlUI>("NewItemBtn"));
}

TEST_F(InputTest, LinkInMarkupTextReportsItsIndex) {
  LayoutWindow window(R"(<Window size="300,40"><HorizontalLayout>
      <Label name="lb" showhtml="true" text="<a first>一</a>二三四五六七八九十<a>十一</a>"/>
    </HorizontalLayout></Window>)");
  const HWND hwnd = window.Open(300, 40);
  auto* label = window.Find<CLabelUI>("lb");
  // Find the x of each link by scanning the label; the link positions come from the text layout.
  int first_x = -1;
  int second_x = -1;
  for (int x = 0; x < 300; ++x) {
    const int link = label->LinkAt(POINT{x, 20});
    if (link == 0 && first_x < 0) first_x = x;
    if (link == 1 && second_x < 0) second_x = x;
  }
  ASSERT_GE(first_x, 0);
  ASSERT_GT(second_x, first_x);
  Click(hwnd, first_x + 2, 20);
  Click(hwnd, second_x + 2, 20);
  Click(hwnd, (first_x + second_x) / 2, 20);  // plain text between the links
  ASSERT_EQ(window.LogOf("link"), (Log{"lb", "lb"}));
  EXPECT_EQ(window.notes[0].wParam, 0u);
  EXPECT_EQ(window.notes[1].wParam, 1u);
  EXPECT_EQ(label->GetLinkContent(0), "first");
  EXPECT_EQ(label->GetLinkContent(1), "");
}

TEST_F(InputTest, TypingReportsTextChangedAndHidingTheFocusedEditTakesTheFocus) {
  LayoutWindow window(kPanel);
  const HWND hwnd = window.Open(300, 200);
  auto* edit = window.Find<CEditUI>("edusername");
  ClickControl(hwnd, edit);
  window.Clear();
  Type(hwnd, U"1");
  Key(hwnd, VK_BACK);
  Key(hwnd, VK_LEFT);  // moving the caret changes nothing
  EXPECT_EQ(window.Log(), (Log{"textchanged:edusername", "textchanged:edusername"}));
  window.Clear();
  edit->SetVisible(false);
  EXPECT_EQ(window.Log(), (Log{"killfocus:edusername"}));
  EXPECT_EQ(window.pm.GetFocus(), nullptr);
  EXPECT_FALSE(windows_->text_input().enabled);
  Type(hwnd, U"x");
  EXPECT_EQ(edit->GetText(), "如100");
}

TEST_F(InputTest, RightClickSendsMenuOnlyWhereAsked) {
  LayoutWindow window(R"(<Window size="200,40"><HorizontalLayout>
      <Label name="plain"/><Label name="withmenu" menu="true"/></HorizontalLayout></Window>)");
  const HWND hwnd = window.Open(200, 40);
  for (int x : {50, 150}) {
    SendMessage(hwnd, WM_RBUTTONDOWN, 0, MAKELPARAM(x, 20));
    SendMessage(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(x, 20));
  }
  EXPECT_EQ(window.Log(), (Log{"menu:withmenu"}));
}

TEST_F(InputTest, WheelOverAChildScrollsTheNearestScrollableContainer) {
  LayoutWindow window(R"(<Window size="200,100"><VerticalLayout name="outer" vscrollbar="true">
      <VerticalLayout name="inner" height="60"><Label name="a" height="30"/><Label name="b" height="30"/></VerticalLayout>
      <Label name="c" height="80"/></VerticalLayout></Window>)");
  const HWND hwnd = window.Open(200, 100);
  auto* outer = window.Find<CContainerUI>("outer");
  EXPECT_EQ(outer->GetScrollRange().cy, 40);
  Wheel(hwnd, 20, 10, -120);  // over "a", inside a column that cannot scroll
  EXPECT_EQ(outer->GetScrollPos().cy, 30);
  EXPECT_EQ(window.Find<CControlUI>("a")->GetPos().top, -30);
  Wheel(hwnd, 20, 90, -120);
  EXPECT_EQ(outer->GetScrollPos().cy, 40);
}

}  // namespace
}  // namespace qrv::testing
