// What windows and controls look like from outside: lists, single controls, lookup by class or
// title, and windows of the message core that are no toolkit windows.

#include "automation_test_support.h"
#include "platform/message_core.h"

namespace qrv::testing {
namespace {

JsonArray* ArrayOf(const AutomationAnswer& answer, const char* member) {
  JsonObject* object = answer.object();
  if (object == nullptr || !json_object_has_member(object, member)) return nullptr;
  return json_object_get_array_member(object, member);
}

std::vector<int> RectOf(JsonObject* object) {
  std::vector<int> rect;
  JsonArray* array = json_object_get_array_member(object, "rect");
  for (guint i = 0; i < json_array_get_length(array); ++i)
    rect.push_back(static_cast<int>(json_array_get_int_element(array, i)));
  return rect;
}

JsonObject* ControlNamed(JsonArray* controls, const std::string& name) {
  for (guint i = 0; i < json_array_get_length(controls); ++i) {
    JsonObject* control = json_array_get_object_element(controls, i);
    if (json_object_get_string_member(control, "name") == name) return control;
  }
  return nullptr;
}

TEST_F(AutomationTest, WindowsAreListedWithClassTitleVisibilityAndRectangle) {
  LayoutWindow login("UILogIn", kPanelLayout);
  LayoutWindow hidden("UIMain", kPanelLayout);
  login.Open("玄岚城");
  hidden.Open("main", false);
  const AutomationAnswer answer = Run(R"({"cmd":"windows"})");
  ASSERT_TRUE(answer.ok()) << answer.line();
  JsonArray* windows = ArrayOf(answer, "windows");
  ASSERT_NE(windows, nullptr);
  ASSERT_EQ(json_array_get_length(windows), 2u);
  JsonObject* first = json_array_get_object_element(windows, 0);
  EXPECT_EQ(json_object_get_int_member(first, "hwnd"), login.Id());
  EXPECT_STREQ(json_object_get_string_member(first, "class"), "UILogIn");
  EXPECT_STREQ(json_object_get_string_member(first, "title"), "玄岚城");
  EXPECT_TRUE(json_object_get_boolean_member(first, "visible"));
  EXPECT_EQ(RectOf(first), (std::vector<int>{100, 100, 400, 300}));
  JsonObject* second = json_array_get_object_element(windows, 1);
  EXPECT_STREQ(json_object_get_string_member(second, "class"), "UIMain");
  EXPECT_FALSE(json_object_get_boolean_member(second, "visible"));
}

TEST_F(AutomationTest, ControlsAreListedWithTheirStateAndLaidOutRectangles) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  const AutomationAnswer answer = Run(AutomationRequest("controls").Set("hwnd", window.Id()));
  ASSERT_TRUE(answer.ok()) << answer.line();
  JsonArray* controls = ArrayOf(answer, "controls");
  ASSERT_NE(controls, nullptr);
  // Every named control, in tree order, and no unnamed layout.
  std::vector<std::string> names;
  for (guint i = 0; i < json_array_get_length(controls); ++i) {
    names.push_back(json_object_get_string_member(json_array_get_object_element(controls, i), "name"));
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"title", "bnclose", "op1", "op2", "bnoff", "bnhidden", "edusername",
                                      "tabs", "page0", "page1", "servers", "row0", "row1", "login"}));
  JsonObject* op1 = ControlNamed(controls, "op1");
  EXPECT_STREQ(json_object_get_string_member(op1, "class"), "OptionUI");
  EXPECT_TRUE(json_object_get_boolean_member(op1, "selected"));
  EXPECT_FALSE(json_object_get_boolean_member(ControlNamed(controls, "op2"), "selected"));
  EXPECT_FALSE(json_object_get_boolean_member(ControlNamed(controls, "bnoff"), "enabled"));
  EXPECT_FALSE(json_object_get_boolean_member(ControlNamed(controls, "bnhidden"), "visible"));
  // A page the tab layout does not show is invisible although its own flag is set.
  EXPECT_TRUE(json_object_get_boolean_member(ControlNamed(controls, "page0"), "visible"));
  EXPECT_FALSE(json_object_get_boolean_member(ControlNamed(controls, "page1"), "visible"));
  EXPECT_EQ(json_object_get_int_member(ControlNamed(controls, "servers"), "cursel"), -1);
  EXPECT_STREQ(json_object_get_string_member(ControlNamed(controls, "edusername"), "text"), "玩家");
  const CControlUI* login = window.pm.FindControl("login");
  const RECT& rc = login->GetPos();
  EXPECT_EQ(RectOf(ControlNamed(controls, "login")),
            (std::vector<int>{rc.left, rc.top, rc.right, rc.bottom}));
  EXPECT_GT(rc.Height(), 0);

  const AutomationAnswer one =
      Run(AutomationRequest("control").Set("hwnd", window.Id()).Set("name", "title"));
  ASSERT_TRUE(one.ok()) << one.line();
  EXPECT_EQ(one.String("text"), "玄岚城");
  EXPECT_EQ(one.String("class"), "LabelUI");
  EXPECT_TRUE(one.Bool("visible"));
  EXPECT_TRUE(one.Bool("enabled"));
}

TEST_F(AutomationTest, ClassOrTitlePrefersTheVisibleWindow) {
  LayoutWindow hidden("UILogIn", kPanelLayout);
  LayoutWindow shown("UILogIn", kPanelLayout);
  hidden.Open("first", false);
  shown.Open("second");
  EXPECT_EQ(Run(R"({"cmd":"controls","class":"UILogIn"})").Int("hwnd"), shown.Id());
  EXPECT_EQ(Run(R"({"cmd":"controls","title":"first"})").Int("hwnd"), hidden.Id());
  ShowWindow(shown.GetHWND(), SW_HIDE);
  EXPECT_EQ(Run(R"({"cmd":"controls","class":"UILogIn"})").Int("hwnd"), hidden.Id())
      << "no visible one: the first";
}

// A window with a text of its own, as the chat's text controls are.
class TextWindow final : public CWindowWnd {
 public:
  std::string GetWindowClassName() const override { return "RichEdit20A"; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg != WM_GETTEXT) return CWindowWnd::HandleMessage(msg, wparam, lparam);
    *reinterpret_cast<std::string*>(lparam) = "你好\\:F01";
    return 1;
  }
};

TEST_F(AutomationTest, WindowTextsAndListRowsAreDescribed) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  TextWindow text;
  text.Create(window.GetHWND(), "", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 50, 20});
  const AutomationAnswer listed = Run(R"({"cmd":"windows"})");
  JsonArray* windows = ArrayOf(listed, "windows");
  ASSERT_NE(windows, nullptr) << listed.line();
  ASSERT_EQ(json_array_get_length(windows), 2u);
  // Toolkit windows have no text; the text control gives its own.
  EXPECT_FALSE(json_object_has_member(json_array_get_object_element(windows, 0), "text"));
  EXPECT_STREQ(json_object_get_string_member(json_array_get_object_element(windows, 1), "text"), "你好\\:F01");

  const AutomationAnswer list = Run(AutomationRequest("control").Set("hwnd", window.Id()).Set("name", "servers"));
  JsonArray* rows = ArrayOf(list, "rows");
  ASSERT_NE(rows, nullptr) << list.line();
  ASSERT_EQ(json_array_get_length(rows), 2u);
  JsonObject* second = json_array_get_object_element(rows, 1);
  EXPECT_STREQ(json_object_get_string_member(second, "text"), "二区");
  EXPECT_TRUE(json_object_get_boolean_member(second, "visible"));
  const RECT& rc = window.pm.FindControl("row1")->GetPos();
  EXPECT_EQ(RectOf(second), (std::vector<int>{rc.left, rc.top, rc.right, rc.bottom}));
}

// A window of the message core that is no toolkit window, as a message box is.
class PlainWindow final : public MessageTarget {
 public:
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    messages.push_back({msg, wparam, lparam});
    return 0;
  }
  struct Message {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
  };
  std::vector<Message> messages;
};

TEST_F(AutomationTest, WindowsWithoutControlsTakeKeysClicksAndCommands) {
  PlainWindow box;
  const HWND hwnd = RegisterWindow(&box);
  WindowCreateParams params;
  params.title = "提示";
  params.style = WS_POPUP | WS_VISIBLE;
  params.rect = RECT{10, 10, 210, 110};
  WindowSystem::Get().Create(hwnd, params);
  const auto id = static_cast<std::int64_t>(IdFromHandle(hwnd));

  // Only the window system knows what a message box asks.
  SetWindowTextSource(
      [hwnd](HWND asked) { return asked == hwnd ? std::string("要退出吗？") : std::string(); });
  const AutomationAnswer listed = Run(R"({"cmd":"windows"})");
  SetWindowTextSource(nullptr);
  JsonObject* listed_box = json_array_get_object_element(ArrayOf(listed, "windows"), 0);
  ASSERT_NE(listed_box, nullptr) << listed.line();
  EXPECT_STREQ(json_object_get_string_member(listed_box, "class"), "");
  EXPECT_STREQ(json_object_get_string_member(listed_box, "text"), "要退出吗？");
  EXPECT_FALSE(json_object_get_boolean_member(listed_box, "controls"));

  const AutomationAnswer controls = Run(AutomationRequest("controls").Set("title", "提示"));
  ASSERT_TRUE(controls.ok()) << controls.line();
  EXPECT_EQ(json_array_get_length(ArrayOf(controls, "controls")), 0u);
  EXPECT_FALSE(Run(AutomationRequest("control").Set("hwnd", id).Set("name", "x")).ok());
  box.messages.clear();
  ASSERT_TRUE(Run(AutomationRequest("click").Set("hwnd", id).Set("x", 10).Set("y", 20)).ok());
  ASSERT_TRUE(Run(AutomationRequest("command").Set("hwnd", id).Set("id", 6)).ok());
  ASSERT_EQ(box.messages.size(), 4u);
  EXPECT_EQ(box.messages[0].msg, WM_MOUSEMOVE);
  EXPECT_EQ(box.messages[1].msg, WM_LBUTTONDOWN);
  EXPECT_EQ(box.messages[2].msg, WM_LBUTTONUP);
  EXPECT_EQ(box.messages[2].lparam, MAKELPARAM(10, 20));
  EXPECT_EQ(box.messages[3].msg, 0x0111u);
  EXPECT_EQ(box.messages[3].wparam, 6u);
  WindowSystem::Get().Destroy(hwnd);
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace qrv::testing
