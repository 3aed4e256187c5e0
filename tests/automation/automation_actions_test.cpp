// Commands that act: input through the window's own messages, and direct calls on controls.

#include "automation_test_support.h"
#include "platform/message_core.h"

namespace qrv::testing {
namespace {

using Notes = std::vector<std::string>;

TEST_F(AutomationTest, ClickPressesAndReleasesAtTheCentreAndOnlyWhereAPlayerCould) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  const AutomationAnswer click = Run(AutomationRequest("click").Set("class", "UILogIn").Set("name", "login"));
  ASSERT_TRUE(click.ok()) << click.line();
  EXPECT_EQ(window.NotesOf("click"), (Notes{"click:login"}));
  const RECT& rc = window.pm.FindControl("login")->GetPos();
  EXPECT_EQ(click.Int("x"), (rc.left + rc.right) / 2);
  EXPECT_EQ(click.Int("y"), (rc.top + rc.bottom) / 2);

  for (const char* name : {"bnoff", "bnhidden", "page1"}) {
    const AutomationAnswer refused =
        Run(AutomationRequest("click").Set("hwnd", window.Id()).Set("name", name));
    EXPECT_FALSE(refused.ok()) << name;
    EXPECT_NE(refused.error().find(name), std::string::npos) << refused.error();
  }
  EXPECT_EQ(window.NotesOf("click"), (Notes{"click:login"})) << "refused clicks deliver nothing";

  // By client coordinates: the same input path.
  window.notes.clear();
  const RECT& close = window.pm.FindControl("bnclose")->GetPos();
  ASSERT_TRUE(Run(AutomationRequest("click")
                      .Set("hwnd", window.Id())
                      .Set("x", (close.left + close.right) / 2)
                      .Set("y", (close.top + close.bottom) / 2))
                  .ok());
  EXPECT_EQ(window.NotesOf("click"), (Notes{"click:bnclose"}));

  // A hidden window cannot be clicked.
  ShowWindow(window.GetHWND(), SW_HIDE);
  EXPECT_FALSE(Run(AutomationRequest("click").Set("hwnd", window.Id()).Set("name", "login")).ok());
}

TEST_F(AutomationTest, SetTextSelectAndNotifyChangeControlsAsTheirOwnCallsDo) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  const AutomationAnswer set = Run(
      AutomationRequest("settext").Set("hwnd", window.Id()).Set("name", "edusername").Set("text", "新名字"));
  ASSERT_TRUE(set.ok()) << set.line();
  EXPECT_EQ(window.pm.FindControl("edusername")->GetText(), "新名字");

  ASSERT_TRUE(
      Run(AutomationRequest("select").Set("class", "UILogIn").Set("name", "op2").Set("selected", true)).ok());
  EXPECT_TRUE(static_cast<COptionUI*>(window.pm.FindControl("op2"))->IsSelected());
  EXPECT_FALSE(static_cast<COptionUI*>(window.pm.FindControl("op1"))->IsSelected());
  EXPECT_EQ(window.notes, (Notes{"selectchanged:op2"}));

  ASSERT_TRUE(
      Run(AutomationRequest("select").Set("class", "UILogIn").Set("name", "tabs").Set("index", 1)).ok());
  EXPECT_EQ(static_cast<CTabLayoutUI*>(window.pm.FindControl("tabs"))->GetCurSel(), 1);
  ASSERT_TRUE(Run(AutomationRequest("select").Set("class", "UILogIn").Set("name", "row1")).ok());
  EXPECT_EQ(Run(AutomationRequest("control").Set("class", "UILogIn").Set("name", "servers")).Int("cursel"),
            1);
  const AutomationAnswer beyond =
      Run(AutomationRequest("select").Set("class", "UILogIn").Set("name", "servers").Set("index", 2));
  EXPECT_FALSE(beyond.ok());
  EXPECT_NE(beyond.error().find("out of range"), std::string::npos);
  EXPECT_FALSE(Run(AutomationRequest("select").Set("class", "UILogIn").Set("name", "login")).ok());
  EXPECT_FALSE(Run(AutomationRequest("select").Set("class", "UILogIn").Set("name", "tabs")).ok())
      << "needs an index";

  window.notes.clear();
  ASSERT_TRUE(
      Run(AutomationRequest("notify").Set("class", "UILogIn").Set("name", "login").Set("type", "click"))
          .ok());
  EXPECT_EQ(window.notes, (Notes{"click:login"}));
}

TEST_F(AutomationTest, KeysAndTypedTextReachTheWindow) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  ASSERT_TRUE(Run(AutomationRequest("key").Set("class", "UILogIn").Set("vk", 27)).ok());
  EXPECT_EQ(window.keys, (Notes{"down:27", "up:27"}));
  EXPECT_FALSE(Run(AutomationRequest("key").Set("class", "UILogIn").Set("vk", 0)).ok());
  EXPECT_FALSE(Run(AutomationRequest("key").Set("class", "UILogIn").Set("vk", "esc")).ok());

  // Typing goes to the focused edit, as a player's typing does.
  auto* edit = window.pm.FindControl("edusername");
  edit->SetText("");
  ASSERT_TRUE(Run(AutomationRequest("click").Set("class", "UILogIn").Set("name", "edusername")).ok());
  ASSERT_TRUE(Run(AutomationRequest("type").Set("class", "UILogIn").Set("text", "玩a")).ok());
  EXPECT_EQ(edit->GetText(), "玩a");
}

TEST_F(AutomationTest, AnActionWhoseWindowWentDoesNothing) {
  auto window = std::make_unique<LayoutWindow>("UILogIn", kPanelLayout);
  window->Open("login");
  PreparedCommand click =
      PrepareCommand(AutomationRequest("click").Set("class", "UILogIn").Set("name", "login").Line());
  PreparedCommand text = PrepareCommand(
      AutomationRequest("settext").Set("class", "UILogIn").Set("name", "edusername").Set("text", "x").Line());
  ASSERT_TRUE(click.action && text.action);
  window.reset();
  click.action();
  text.action();
  EXPECT_EQ(MessageCore::WindowCount(), 0u);
}

}  // namespace
}  // namespace qrv::testing
