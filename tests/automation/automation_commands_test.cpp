// The commands without a socket: what windows and controls look like from outside, input that
// goes through the window's own messages, and answers to every kind of bad request.

#include <random>

#include "automation_test_support.h"
#include "platform/message_core.h"

namespace qrv::testing {
namespace {

using Notes = std::vector<std::string>;

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

TEST_F(AutomationTest, BadRequestsAreAnsweredWithAReason) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "JSON object"},
      {"{\"cmd\":", "bad JSON"},
      {"[1,2]", "JSON object"},
      {"{}", "no \"cmd\""},
      {R"({"cmd":7})", "\"cmd\" must be a string"},
      {R"({"cmd":"fly"})", "unknown command \"fly\""},
      {R"({"cmd":"controls"})", "names no window"},
      {R"({"cmd":"controls","hwnd":99999})", "no window with hwnd 99999"},
      {R"({"cmd":"controls","hwnd":-1})", "no window with hwnd -1"},
      {R"({"cmd":"controls","hwnd":"1"})", "\"hwnd\" must be an integer"},
      {R"({"cmd":"controls","class":"UINope"})", "no window with class \"UINope\""},
      {R"({"cmd":"control","class":"UILogIn"})", "\"name\""},
      {R"({"cmd":"control","class":"UILogIn","name":"nobody"})", "no control named \"nobody\""},
      {R"({"cmd":"click","class":"UILogIn"})", "\"x\" and \"y\""},
      {R"({"cmd":"click","class":"UILogIn","x":1,"y":99999})", "out of range"},
      {R"({"cmd":"settext","class":"UILogIn","name":"edusername"})", "\"text\""},
      {R"({"cmd":"notify","class":"UILogIn","name":"login"})", "\"type\""},
  };
  for (const auto& [request, reason] : cases) {
    const AutomationAnswer answer = Run(request);
    ASSERT_NE(answer.object(), nullptr) << request;
    EXPECT_FALSE(answer.ok()) << request;
    EXPECT_NE(answer.error().find(reason), std::string::npos) << request << " -> " << answer.error();
  }
  EXPECT_TRUE(window.notes.empty());
}

TEST_F(AutomationTest, JunkLinesNeverCrashAndAlwaysGetAnObject) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  const std::string valid = AutomationRequest("click").Set("class", "UILogIn").Set("name", "login").Line();
  std::mt19937 random(20240601);
  for (int round = 0; round < 2000; ++round) {
    std::string line = valid;
    // Damage a valid request in a few places, or make it up from random bytes.
    if (round % 4 == 0) {
      line.assign(random() % 64, '\0');
      for (char& c : line) c = static_cast<char>(random() % 256);
    } else {
      for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
        const std::size_t at = random() % line.size();
        if (random() % 2 == 0)
          line[at] = static_cast<char>(random() % 256);
        else
          line.erase(at, 1 + random() % 5);
        if (line.empty()) break;
      }
    }
    const AutomationAnswer answer = Run(line);
    ASSERT_NE(answer.object(), nullptr) << "round " << round;
    ASSERT_TRUE(answer.ok() || !answer.error().empty()) << "round " << round;
  }
}

}  // namespace
}  // namespace qrv::testing
