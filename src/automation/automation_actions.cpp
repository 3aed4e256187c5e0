#include "automation/automation_actions.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "automation/automation_inspect.h"
#include "automation/automation_request.h"
#include "automation/automation_target.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "ui/ui.h"

namespace qrv::automation {
namespace {

// WM_COMMAND: how a message box is answered (IDYES, IDNO, IDOK in wparam).
constexpr UINT kWmCommand = 0x0111;
// The left button is down, in the key flags of mouse messages.
constexpr WPARAM kMkLButton = 0x0001;

bool IsSelfOrDescendant(const CControlUI* hit, const CControlUI* control) {
  for (; hit != nullptr; hit = hit->GetParent()) {
    if (hit == control) return true;
  }
  return false;
}

LPARAM ClientPoint(POINT p) {
  return MAKELPARAM(static_cast<std::uint16_t>(static_cast<std::int16_t>(p.x)),
                    static_cast<std::uint16_t>(static_cast<std::int16_t>(p.y)));
}

// A press and release as the window system delivers them: the pointer arrives, the button goes
// down and comes up at the same spot. Any of these may close the window.
void DeliverClick(HWND hwnd, POINT p) {
  const LPARAM at = ClientPoint(p);
  if (!IsWindow(hwnd)) return;
  SendMessage(hwnd, WM_MOUSEMOVE, 0, at);
  if (!IsWindow(hwnd)) return;
  SendMessage(hwnd, WM_LBUTTONDOWN, kMkLButton, at);
  if (!IsWindow(hwnd)) return;
  SendMessage(hwnd, WM_LBUTTONUP, 0, at);
}

// Where a click on the control lands, or an error when a player could not click it there.
bool ClickPointOf(HWND hwnd, const Target& target, POINT* point, std::string* error) {
  CControlUI* control = target.control;
  if (!IsEffectivelyVisible(control)) {
    *error = "control " + Quoted(target.name) + " is not visible";
    return false;
  }
  if (!IsEffectivelyEnabled(control)) {
    *error = "control " + Quoted(target.name) + " is disabled";
    return false;
  }
  const RECT& rc = control->GetPos();
  if (rc.Width() <= 0 || rc.Height() <= 0) {
    *error = "control " + Quoted(target.name) + " has no area to click";
    return false;
  }
  *point = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  if (!GetClientRect(hwnd).Contains(*point)) {
    *error = "the centre of control " + Quoted(target.name) + " lies outside the window";
    return false;
  }
  // A real click goes to whatever is on top at that spot.
  CControlUI* hit = CPaintManagerUI::ForWindow(hwnd)->FindControl(*point);
  if (!IsSelfOrDescendant(hit, control)) {
    *error = "control " + Quoted(target.name) + " is covered by " +
             (hit == nullptr ? std::string("nothing clickable")
                             : Quoted(hit->GetName()) + " (" + hit->GetClass() + ")");
    return false;
  }
  return true;
}

}  // namespace

PreparedCommand ClickCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  if (!WindowSystem::Get().IsVisible(hwnd))
    return Failure("window " + std::to_string(Id(hwnd)) + " is not visible");
  const bool by_name = json_object_has_member(request, "name");
  POINT point;
  if (by_name) {
    Target target;
    if (!ResolveTarget(request, &target, &error) || !ClickPointOf(hwnd, target, &point, &error))
      return Failure(error);
  } else {
    const auto x = IntMember(request, "x", &error);
    const auto y = IntMember(request, "y", &error);
    if (!error.empty()) return Failure(error);
    if (!x || !y) return Failure("click needs \"name\", or \"x\" and \"y\"");
    constexpr auto kMin = std::numeric_limits<std::int16_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int16_t>::max();
    if (*x < kMin || *x > kMax || *y < kMin || *y > kMax) return Failure("\"x\" and \"y\" are out of range");
    point = POINT{static_cast<int>(*x), static_cast<int>(*y)};
  }
  Answer answer;
  answer.Add("hwnd", Id(hwnd));
  answer.Add("x", static_cast<std::int64_t>(point.x));
  answer.Add("y", static_cast<std::int64_t>(point.y));
  return Acting(answer, [hwnd, point] { DeliverClick(hwnd, point); });
}

PreparedCommand KeyCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  const auto vk = IntMember(request, "vk", &error);
  if (!error.empty()) return Failure(error);
  if (!vk || *vk < 1 || *vk > 254) return Failure("key needs \"vk\", a virtual-key code from 1 to 254");
  const WPARAM code = static_cast<WPARAM>(*vk);
  Answer answer;
  answer.Add("hwnd", Id(hwnd));
  return Acting(answer, [hwnd, code] {
    if (!IsWindow(hwnd)) return;
    SendMessage(hwnd, WM_KEYDOWN, code, 0);
    if (IsWindow(hwnd)) SendMessage(hwnd, WM_KEYUP, code, 0);
  });
}

PreparedCommand TypeCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  const auto text = StringMember(request, "text", &error);
  if (!error.empty()) return Failure(error);
  if (!text) return Failure("type needs \"text\"");
  // The parser only hands out valid UTF-8, so every step below lands on a character.
  std::vector<WPARAM> code_points;
  for (const char* p = text->c_str(); *p != '\0'; p = g_utf8_next_char(p)) {
    code_points.push_back(static_cast<WPARAM>(g_utf8_get_char(p)));
  }
  Answer answer;
  answer.Add("hwnd", Id(hwnd));
  return Acting(answer, [hwnd, code_points] {
    for (WPARAM c : code_points) {
      if (!IsWindow(hwnd)) return;
      SendMessage(hwnd, WM_CHAR, c, 0);
    }
  });
}

PreparedCommand SetTextCommand(JsonObject* request) {
  std::string error;
  Target target;
  if (!ResolveTarget(request, &target, &error)) return Failure(error);
  const auto text = StringMember(request, "text", &error);
  if (!error.empty()) return Failure(error);
  if (!text) return Failure("settext needs \"text\"");
  Answer answer;
  answer.Add("hwnd", Id(target.hwnd));
  answer.Add("name", target.name);
  // The echo of a password field is masked like its reading: the answer may end up in logs.
  auto* edit = static_cast<CEditUI*>(target.control->GetInterface("Edit"));
  answer.Add("text", edit != nullptr && edit->IsPasswordMode() ? CEditUI::Masked(*text) : *text);
  return Acting(answer, [hwnd = target.hwnd, name = target.name, value = *text] {
    if (CControlUI* control = ControlNow(hwnd, name)) control->SetText(value);
  });
}

PreparedCommand NotifyCommand(JsonObject* request) {
  std::string error;
  Target target;
  if (!ResolveTarget(request, &target, &error)) return Failure(error);
  const auto type = StringMember(request, "type", &error);
  const auto wparam = IntMember(request, "wparam", &error);
  const auto lparam = IntMember(request, "lparam", &error);
  if (!error.empty()) return Failure(error);
  if (!type || type->empty()) return Failure("notify needs \"type\"");
  Answer answer;
  answer.Add("hwnd", Id(target.hwnd));
  answer.Add("name", target.name);
  answer.Add("type", *type);
  return Acting(answer, [hwnd = target.hwnd, name = target.name, kind = *type, w = wparam.value_or(0),
                         l = lparam.value_or(0)] {
    CControlUI* control = ControlNow(hwnd, name);
    if (control == nullptr) return;
    CPaintManagerUI::ForWindow(hwnd)->SendNotify(control, kind, static_cast<WPARAM>(w),
                                                 static_cast<LPARAM>(l));
  });
}

PreparedCommand WindowCommandCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  const auto id = IntMember(request, "id", &error);
  if (!error.empty()) return Failure(error);
  if (!id || *id < 0 || *id > 0xffff)
    return Failure("command needs \"id\" from 0 to 65535 (IDOK 1, IDYES 6, IDNO 7)");
  const WPARAM code = static_cast<WPARAM>(*id);
  Answer answer;
  answer.Add("hwnd", Id(hwnd));
  return Acting(answer, [hwnd, code] {
    if (IsWindow(hwnd)) SendMessage(hwnd, kWmCommand, code, 0);
  });
}

PreparedCommand CloseCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  Answer answer;
  answer.Add("hwnd", Id(hwnd));
  return Acting(answer, [hwnd] {
    if (IsWindow(hwnd)) SendMessage(hwnd, WM_CLOSE, 0, 0);
  });
}

PreparedCommand SysCommandCommand(JsonObject* request) {
  std::string error;
  const HWND hwnd = FindRequestedWindow(request, &error);
  if (hwnd == nullptr) return Failure(error);
  const auto command = IntMember(request, "command", &error);
  if (!error.empty()) return Failure(error);
  if (!command || *command < 0 || *command > 0xffff)
    return Failure("syscommand needs \"command\" from 0 to 65535 (SC_CLOSE 61536, SC_MINIMIZE 61472)");
  const WPARAM code = static_cast<WPARAM>(*command);
  Answer answer;
  answer.Add("hwnd", Id(hwnd));
  // What the window manager's buttons and Alt+F4 deliver.
  return Acting(answer, [hwnd, code] {
    if (IsWindow(hwnd)) SendMessage(hwnd, WM_SYSCOMMAND, code, 0);
  });
}

}  // namespace qrv::automation
