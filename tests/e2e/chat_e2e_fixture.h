#pragma once
// What the chat's end-to-end test reads off the running program: its windows with their texts
// (the chat's text controls give theirs with emoticon codes), the history and the input of the
// chat tab, the agent list's rows, the chat frames the simulator received, and photographs.

#include <gtest/gtest.h>
#include <json-glib/json-glib.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"

namespace qrv::e2e {

struct Window {
  std::int64_t hwnd = 0;
  std::string cls;
  std::string title;
  std::string text;
  bool visible = false;
  Rect rect{};
};

struct Row {
  std::string text;
  std::string plain;  // what the reader sees of the text
  Rect rect{};        // client coordinates of the list window
};

// The rows of the agent list in their order: the groups, each agent's name and state word.
inline const std::vector<std::string> kOrder = {"本区客服", "小青 在线",  "阿蓝 在线", "红豆 离开",
                                                "其他客服", "小 紫 繁忙", "大白 在线", "老周 离线"};

class ChatE2eTest : public LauncherTest {
 protected:
  qrv::testing::AutomationClient& automation() { return launcher_->automation(); }

  std::vector<Window> Windows() {
    std::vector<Window> found;
    const auto answer = automation().Windows();
    if (answer.object() == nullptr || !json_object_has_member(answer.object(), "windows")) return found;
    JsonArray* windows = json_object_get_array_member(answer.object(), "windows");
    for (guint i = 0; i < json_array_get_length(windows); ++i) {
      JsonObject* object = json_array_get_object_element(windows, i);
      Window window;
      window.hwnd = json_object_get_int_member(object, "hwnd");
      window.cls = json_object_get_string_member(object, "class");
      window.title = json_object_get_string_member(object, "title");
      if (json_object_has_member(object, "text")) window.text = json_object_get_string_member(object, "text");
      window.visible = json_object_get_boolean_member(object, "visible");
      window.rect = RectOf(object);
      found.push_back(window);
    }
    return found;
  }
  // The first visible window that `matches`, or one with hwnd 0.
  Window Find(const std::function<bool(const Window&)>& matches) {
    for (const Window& window : Windows())
      if (window.visible && matches(window)) return window;
    return Window{};
  }
  // The chat's history and input: the two text controls, the history above.
  Window History() {
    Window top;
    for (const Window& w : Windows())
      if (w.cls == "RichEdit20A" && w.visible && (top.hwnd == 0 || w.rect[1] < top.rect[1])) top = w;
    return top;
  }
  Window Input() {
    Window bottom;
    for (const Window& w : Windows())
      if (w.cls == "RichEdit20A" && w.visible && (bottom.hwnd == 0 || w.rect[1] > bottom.rect[1])) bottom = w;
    return bottom;
  }

  std::vector<Row> AgentRows() {
    std::vector<Row> rows;
    const auto answer = automation().Control("UIGMLit", "gamelist");
    if (answer.object() == nullptr || !json_object_has_member(answer.object(), "rows")) return rows;
    JsonArray* array = json_object_get_array_member(answer.object(), "rows");
    for (guint i = 0; i < json_array_get_length(array); ++i) {
      JsonObject* row = json_array_get_object_element(array, i);
      rows.push_back(
          Row{json_object_get_string_member(row, "text"),
              json_object_has_member(row, "plain") ? json_object_get_string_member(row, "plain") : "",
              RectOf(row)});
    }
    return rows;
  }
  // Where each of `names` stands in the rows (-1 when missing); fails when one is there twice.
  std::vector<int> RowIndexes(const std::vector<Row>& rows, const std::vector<std::string>& names) {
    std::vector<int> indexes;
    for (const std::string& name : names) {
      int index = -1;
      for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].text.find(name) == std::string::npos) continue;
        EXPECT_EQ(index, -1) << name << " is listed twice";
        index = static_cast<int>(i);
      }
      indexes.push_back(index);
    }
    return indexes;
  }

  std::vector<int> ChatFrames(const std::string& type) {
    std::vector<int> frames;
    for (const auto& entry : sim::testing::EntriesWithEvent(*sim_, "chat_frame"))
      if (entry.Field("type") == type) frames.push_back(std::stoi(entry.Field("connection")));
    return frames;
  }

  void ExpectPhotographed(const Rect& rect, const std::string& file, int colours_at_least = 64) {
    ASSERT_GT(rect[2], rect[0]) << file;
    int colours = 0;
    EXPECT_TRUE(WaitFor(
        [&] { return (colours = SaveScreenshot(rect, ScreenshotFolder() + "/" + file)) > colours_at_least; },
        10000))
        << file << " shows a uniform box (" << colours << " colours)";
  }

  // The list shows the groups and every agent once, in order, with their states. The states may
  // still be on their way when the list is first shown: it is shown again until they are there.
  bool ListShowsEveryAgentOnce() {
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (attempt > 0) ShowAgentListAgain();
      if (WaitFor([&] { return RowIndexes(AgentRows(), kOrder) == std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}; },
                  3000))
        return true;
    }
    ADD_FAILURE() << "the agent list shows " << AgentRows().size() << " rows";
    return false;
  }

  // Starts the simulator again from a data file whose "chat" member is `chat_json` (the rest as
  // the default data), with `sim_args`, and a launcher pointed at it.
  void UseChatServer(const std::string& chat_json, const std::vector<std::string>& sim_args = {}) {
    g_autoptr(JsonParser) parser = json_parser_new();
    ASSERT_TRUE(json_parser_load_from_file(parser, sim::DefaultSimDataPath().c_str(), nullptr));
    JsonObject* root = json_node_get_object(json_parser_get_root(parser));
    g_autoptr(JsonParser) chat = json_parser_new();
    ASSERT_TRUE(json_parser_load_from_data(chat, chat_json.c_str(), -1, nullptr)) << chat_json;
    json_object_set_member(root, "chat", json_node_copy(json_parser_get_root(chat)));
    g_autoptr(JsonGenerator) generator = json_generator_new();
    json_generator_set_root(generator, json_parser_get_root(parser));
    const std::string data_file = dir_.path() + "/chat_data.json";
    ASSERT_TRUE(json_generator_to_file(generator, data_file.c_str(), nullptr));

    launcher_.reset();
    sim_.reset();
    sim::SimOptions options;
    options.data_file = data_file;
    options.extra_args = sim_args;
    ASSERT_NO_FATAL_FAILURE(StartSimulatorAndLauncher(options, "chat_sim", "chat_launcher"));
  }

  // Logs in with the remembered account from the recommended server, waits until the frame has
  // asked the chat server for the agents' states, and opens the agent list from "gm_button".
  void LogInAndOpenAgentList() {
    ASSERT_NO_FATAL_FAILURE(StartLoggedInFrame("autorun=0\nshowtop=0\n"));
    ASSERT_TRUE(WaitFor([&] { return !ChatFrames("6").empty(); })) << launcher_->output();
    ASSERT_TRUE(automation().Click("UIMainFrame", "gm_button").ok());
    ASSERT_NE(automation().WaitForWindow("UIGMLit", 20000), 0);
  }

  // A real double click on `row` of the agent list.
  void DoubleClick(const Row& row) {
    const Rect list = VisibleWindowRect(automation(), "UIGMLit");
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(list[0] + (row.rect[0] + row.rect[2]) / 2) + " " +
                        std::to_string(list[1] + (row.rect[1] + row.rect[3]) / 2) +
                        " click --repeat 2 --delay 80 1"));
  }

  // Types `text` into the chat's input as an input method would hand it over: characters, not
  // keys (a character outside the keyboard map cannot be typed reliably as a key).
  void TypeIntoInput(const std::string& text) {
    ASSERT_TRUE(automation()
                    .Send(qrv::testing::AutomationRequest("type").Set("hwnd", Input().hwnd).Set("text", text))
                    .ok());
  }

  // Nothing went wrong inside the program on the way (sanitizer reports, GLib's criticals).
  void ExpectCleanOutput() {
    const std::string output = launcher_->output();
    EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
    EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;
    EXPECT_EQ(output.find("CRITICAL"), std::string::npos) << output;
  }

  // "gm_button" again: its tab is open, so the frame asks "已进入此服务器" first; "否".
  void ShowAgentListAgain() {
    ASSERT_TRUE(automation().Click("UIMainFrame", "gm_button").ok());
    Window box;
    ASSERT_TRUE(WaitFor(
        [&] { return (box = Find([](const Window& w) { return w.title == "进游戏提示"; })).hwnd != 0; }));
    ASSERT_TRUE(automation()
                    .Send(qrv::testing::AutomationRequest("command").Set("hwnd", box.hwnd).Set("id", 7))
                    .ok());
    ASSERT_TRUE(WaitFor([&] { return VisibleWindowRect(automation(), "UIGMLit")[2] > 0; }));
  }
};

}  // namespace qrv::e2e
