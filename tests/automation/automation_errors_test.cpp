// Every kind of bad request gets an answer with a reason, and junk never brings the program down.

#include <random>

#include "automation_test_support.h"

namespace qrv::testing {
namespace {

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
