#pragma once
// What the acting commands share: the window and control a request names, the control again at
// the moment of acting, and small pieces of answer text.

#include <json-glib/json-glib.h>

#include <cstdint>
#include <functional>
#include <string>

#include "automation/automation_commands.h"
#include "automation/automation_request.h"
#include "platform/types.h"

namespace qrv {

class CControlUI;

namespace automation {

// A window and one of its named controls, as a request names them.
struct Target {
  HWND hwnd = nullptr;
  CControlUI* control = nullptr;
  std::string name;
};

// Fills `target` from the request's window and "name"; false with `error` filled otherwise.
bool ResolveTarget(JsonObject* request, Target* target, std::string* error);

// The control again at the moment of acting, or null: the window or the control may have gone
// since the request was checked.
CControlUI* ControlNow(HWND hwnd, const std::string& name);

// The answer for a command that acts, with its action.
PreparedCommand Acting(Answer& answer, std::function<void()> action);

inline std::string Quoted(const std::string& name) { return "\"" + name + "\""; }
inline std::int64_t Id(HWND hwnd) { return static_cast<std::int64_t>(IdFromHandle(hwnd)); }

}  // namespace automation
}  // namespace qrv
