#include "automation/automation_target.h"

#include "automation/automation_inspect.h"
#include "platform/message_core.h"
#include "ui/paint_manager.h"

namespace qrv::automation {

bool ResolveTarget(JsonObject* request, Target* target, std::string* error) {
  target->hwnd = FindRequestedWindow(request, error);
  if (target->hwnd == nullptr) return false;
  const auto name = StringMember(request, "name", error);
  if (!error->empty()) return false;
  target->name = name.value_or("");
  target->control = FindNamedControl(target->hwnd, target->name, error);
  return target->control != nullptr;
}

CControlUI* ControlNow(HWND hwnd, const std::string& name) {
  if (!IsWindow(hwnd)) return nullptr;
  CPaintManagerUI* manager = CPaintManagerUI::ForWindow(hwnd);
  return manager == nullptr ? nullptr : manager->FindControl(name);
}

PreparedCommand Acting(Answer& answer, std::function<void()> action) {
  return PreparedCommand{answer.Finish(), std::move(action)};
}

}  // namespace qrv::automation
