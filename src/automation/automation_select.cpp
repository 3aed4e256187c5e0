// Selecting: options (with their "selectchanged"), list rows through their list, and the index
// of a list, combo box or tab layout.

#include <string>

#include "automation/automation_actions.h"
#include "automation/automation_target.h"
#include "ui/ui.h"

namespace qrv::automation {

PreparedCommand SelectCommand(JsonObject* request) {
  std::string error;
  Target target;
  if (!ResolveTarget(request, &target, &error)) return Failure(error);
  CControlUI* control = target.control;
  const auto selected = BoolMember(request, "selected", &error);
  const auto index = IntMember(request, "index", &error);
  if (!error.empty()) return Failure(error);
  Answer answer;
  answer.Add("hwnd", Id(target.hwnd));
  answer.Add("name", target.name);
  const HWND hwnd = target.hwnd;
  const std::string name = target.name;

  if (control->GetInterface("Option") != nullptr) {
    const bool value = selected.value_or(true);
    answer.AddBool("selected", value);
    return Acting(answer, [hwnd, name, value] {
      CControlUI* now = ControlNow(hwnd, name);
      if (auto* option = now ? static_cast<COptionUI*>(now->GetInterface("Option")) : nullptr)
        option->Selected(value, true);
    });
  }
  if (auto* item = static_cast<IListItemUI*>(control->GetInterface("ListItem"))) {
    // A row is selected through its list, which keeps track of the selection and reports it.
    CControlUI* owner = item->GetOwner();
    if (owner == nullptr || owner->GetInterface("IListOwner") == nullptr)
      return Failure("row " + Quoted(name) + " is in no list");
    answer.Add("index", static_cast<std::int64_t>(item->GetIndex()));
    return Acting(answer, [hwnd, name] {
      CControlUI* now = ControlNow(hwnd, name);
      auto* row = now ? static_cast<IListItemUI*>(now->GetInterface("ListItem")) : nullptr;
      CControlUI* list = row ? row->GetOwner() : nullptr;
      if (auto* owner_now = list ? static_cast<IListOwnerUI*>(list->GetInterface("IListOwner")) : nullptr) {
        owner_now->SelectItem(row->GetIndex(), false, true);
      }
    });
  }
  const bool is_list = control->GetInterface("IListOwner") != nullptr;
  const bool is_tabs = control->GetInterface("TabLayout") != nullptr;
  if (!is_list && !is_tabs) {
    return Failure("control " + Quoted(name) + " (" + control->GetClass() +
                   ") is not an option, list row, list, combo or tab layout");
  }
  if (!index) return Failure("selecting in " + Quoted(name) + " needs \"index\"");
  const int count = static_cast<CContainerUI*>(control->GetInterface("Container"))->GetCount();
  // A list may have no selection (-1); a tab layout always shows one page.
  const std::int64_t lowest = is_list ? -1 : 0;
  if (*index < lowest || *index >= count) {
    return Failure("index " + std::to_string(*index) + " is out of range for " + Quoted(name) + " (" +
                   std::to_string(count) + " items)");
  }
  const int wanted = static_cast<int>(*index);
  answer.Add("index", static_cast<std::int64_t>(wanted));
  return Acting(answer, [hwnd, name, wanted] {
    CControlUI* now = ControlNow(hwnd, name);
    if (now == nullptr) return;
    if (auto* list = static_cast<IListOwnerUI*>(now->GetInterface("IListOwner"))) {
      list->SelectItem(wanted, false, true);
    } else if (auto* tabs = static_cast<CTabLayoutUI*>(now->GetInterface("TabLayout"))) {
      tabs->SelectItem(wanted);
    }
  });
}

}  // namespace qrv::automation
