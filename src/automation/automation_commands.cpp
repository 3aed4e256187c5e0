#include "automation/automation_commands.h"

#include <array>
#include <string_view>

#include "automation/automation_actions.h"
#include "automation/automation_inspect.h"
#include "automation/automation_request.h"
#include "platform/message_core.h"
#include "platform/window_system.h"
#include "ui/controls/control.h"

namespace qrv {
namespace automation {
namespace {

PreparedCommand PingCommand(JsonObject*) {
  Answer answer;
  return PreparedCommand{answer.Finish(), nullptr};
}

PreparedCommand WindowsCommand(JsonObject*) {
  if (!WindowSystem::Installed()) return Failure("no window system is running");
  Answer answer;
  JsonBuilder* builder = answer.builder();
  json_builder_set_member_name(builder, "windows");
  json_builder_begin_array(builder);
  for (HWND hwnd : AllWindows()) {
    json_builder_begin_object(builder);
    DescribeWindow(builder, hwnd);
    json_builder_end_object(builder);
  }
  json_builder_end_array(builder);
  return PreparedCommand{answer.Finish(), nullptr};
}

PreparedCommand ControlsCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  Answer answer;
  JsonBuilder* builder = answer.builder();
  answer.Add("hwnd", static_cast<std::int64_t>(IdFromHandle(hwnd)));
  json_builder_set_member_name(builder, "controls");
  json_builder_begin_array(builder);
  for (CControlUI* control : NamedControls(hwnd)) {
    json_builder_begin_object(builder);
    DescribeControl(builder, control);
    json_builder_end_object(builder);
  }
  json_builder_end_array(builder);
  return PreparedCommand{answer.Finish(), nullptr};
}

PreparedCommand ControlCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  const auto name = StringMember(request, "name", &error);
  if (!error.empty()) return Failure(error);
  CControlUI* control = FindNamedControl(hwnd, name.value_or(""), &error);
  if (control == nullptr) return Failure(error);
  Answer answer;
  answer.Add("hwnd", static_cast<std::int64_t>(IdFromHandle(hwnd)));
  DescribeControl(answer.builder(), control);
  return PreparedCommand{answer.Finish(), nullptr};
}

struct CommandEntry {
  std::string_view name;
  PreparedCommand (*handler)(JsonObject*);
};

constexpr std::array kCommands{
    CommandEntry{"ping", PingCommand},
    CommandEntry{"windows", WindowsCommand},
    CommandEntry{"controls", ControlsCommand},
    CommandEntry{"control", ControlCommand},
    CommandEntry{"click", ClickCommand},
    CommandEntry{"key", KeyCommand},
    CommandEntry{"type", TypeCommand},
    CommandEntry{"settext", SetTextCommand},
    CommandEntry{"select", SelectCommand},
    CommandEntry{"notify", NotifyCommand},
    CommandEntry{"command", WindowCommandCommand},
    CommandEntry{"close", CloseCommand},
    CommandEntry{"syscommand", SysCommandCommand},
};

}  // namespace
}  // namespace automation

PreparedCommand PrepareCommand(const std::string& json_line) {
  using automation::Failure;
  g_autoptr(JsonParser) parser = json_parser_new();
  g_autoptr(GError) parse_error = nullptr;
  // The length is passed explicitly so that a line holding a NUL byte is judged whole.
  if (!json_parser_load_from_data(parser, json_line.data(), static_cast<gssize>(json_line.size()),
                                  &parse_error)) {
    return Failure(std::string("bad JSON: ") +
                   (parse_error != nullptr ? parse_error->message : "unreadable"));
  }
  JsonNode* root = json_parser_get_root(parser);
  if (root == nullptr || !JSON_NODE_HOLDS_OBJECT(root)) return Failure("the request must be a JSON object");
  JsonObject* request = json_node_get_object(root);
  std::string error;
  const auto cmd = automation::StringMember(request, "cmd", &error);
  if (!error.empty()) return Failure(error);
  if (!cmd) return Failure("the request has no \"cmd\"");
  for (const auto& entry : automation::kCommands) {
    if (entry.name == *cmd) return entry.handler(request);
  }
  return Failure("unknown command \"" + *cmd + "\"");
}

std::string HandleCommand(const std::string& json_line) {
  PreparedCommand prepared = PrepareCommand(json_line);
  if (prepared.action) prepared.action();
  return std::move(prepared.answer);
}

}  // namespace qrv
