#include "e2e/screen.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace qrv::e2e {

bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
  return pclose(pipe) == 0 ? out : std::string();
}

bool Xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

Rect RectOf(JsonObject* object) {
  Rect rect{};
  if (object == nullptr || !json_object_has_member(object, "rect")) return rect;
  JsonArray* values = json_object_get_array_member(object, "rect");
  for (guint i = 0; i < 4 && i < json_array_get_length(values); ++i)
    rect[i] = static_cast<int>(json_array_get_int_element(values, i));
  return rect;
}

namespace {

// Calls `each` for every window of the automation's list with class `cls`.
void ForEachWindow(qrv::testing::AutomationClient& automation, const std::string& cls,
                   const std::function<void(JsonObject*)>& each) {
  const auto answer = automation.Windows();
  if (answer.object() == nullptr || !json_object_has_member(answer.object(), "windows")) return;
  JsonArray* windows = json_object_get_array_member(answer.object(), "windows");
  for (guint i = 0; i < json_array_get_length(windows); ++i) {
    JsonObject* window = json_array_get_object_element(windows, i);
    if (json_object_get_string_member(window, "class") == cls) each(window);
  }
}

}  // namespace

Rect VisibleWindowRect(qrv::testing::AutomationClient& automation, const std::string& cls) {
  Rect rect{};
  bool found = false;
  ForEachWindow(automation, cls, [&](JsonObject* window) {
    if (found || !json_object_get_boolean_member(window, "visible")) return;
    rect = RectOf(window);
    found = true;
  });
  return rect;
}

Rect WindowRect(qrv::testing::AutomationClient& automation, const std::string& cls) {
  Rect rect{};
  bool found = false;
  ForEachWindow(automation, cls, [&](JsonObject* window) {
    if (found) return;
    rect = RectOf(window);
    found = true;
  });
  return rect;
}

std::string WindowString(qrv::testing::AutomationClient& automation, const std::string& cls,
                         const char* member) {
  std::string value;
  bool found = false;
  ForEachWindow(automation, cls, [&](JsonObject* window) {
    if (found) return;
    found = true;
    if (json_object_has_member(window, member)) value = json_object_get_string_member(window, member);
  });
  return value;
}

bool WindowFlag(qrv::testing::AutomationClient& automation, const std::string& cls, const char* member) {
  bool value = false;
  bool found = false;
  ForEachWindow(automation, cls, [&](JsonObject* window) {
    if (found) return;
    found = true;
    value = json_object_has_member(window, member) && json_object_get_boolean_member(window, member);
  });
  return value;
}

int WindowCount(qrv::testing::AutomationClient& automation, const std::string& cls) {
  int count = 0;
  ForEachWindow(automation, cls, [&](JsonObject*) { ++count; });
  return count;
}

std::string ScreenColor(int x, int y) {
  const std::string shot =
      CommandOutput("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                    " -depth 8 -format '%[hex:p{0,0}]' info:- 2>/dev/null");
  return shot.substr(0, 6);
}

int SaveScreenshot(const Rect& rect, const std::string& png, int margin) {
  const int width = rect[2] - rect[0] + 2 * margin;
  const int height = rect[3] - rect[1] + 2 * margin;
  if (width <= 0 || height <= 0) return 0;
  std::filesystem::create_directories(std::filesystem::path(png).parent_path());
  const std::string crop = std::to_string(width) + "x" + std::to_string(height) + "+" +
                           std::to_string(rect[0] - margin) + "+" + std::to_string(rect[1] - margin);
  if (std::system(("import -window root -crop " + crop + " +repage " + png).c_str()) != 0) return 0;
  const std::string colours = CommandOutput("convert " + png + " -format %k info:");
  return colours.empty() ? 0 : std::stoi(colours);
}

std::string ScreenshotFolder() { return QRV_DOCS_OUTPUT; }

void ExpectSkinShown(qrv::testing::AutomationClient& automation, const std::string& cls,
                     const std::string& file, const std::function<bool(const Rect&)>& painted) {
  const Rect rect = VisibleWindowRect(automation, cls);
  ASSERT_GT(rect[2], rect[0]) << cls << " is not shown";
  if (painted) {
    EXPECT_TRUE(WaitFor([&] { return painted(rect); }, 10000)) << cls << " is not painted";
  }
  int colours = 0;
  EXPECT_TRUE(
      WaitFor([&] { return (colours = SaveScreenshot(rect, ScreenshotFolder() + "/" + file)) > 64; }, 10000))
      << cls << " shows a uniform box (" << colours << " colours)";
}

}  // namespace qrv::e2e
