#include "ui/resources/shown_at_open.h"

#include <algorithm>
#include <cstring>

#include "ui/core/ui_parse.h"

namespace qrv::ui {

void VisitShownAtOpen(const pugi::xml_node& element,
                      const std::function<void(const pugi::xml_node&)>& visit) {
  // Read as the controls read them (control.cpp, layouts.cpp).
  if (const pugi::xml_attribute visible = element.attribute("visible");
      visible && !ParseBool(visible.value()))
    return;
  visit(element);
  const bool tabs = std::strcmp(element.name(), "TabLayout") == 0;
  const int selected = std::max(0, ParseInt(element.attribute("selectedid").value()));
  int page = 0;
  for (const pugi::xml_node& child : element.children()) {
    if (child.type() != pugi::node_element) continue;
    if (!tabs || page++ == selected) VisitShownAtOpen(child, visit);
  }
}

}  // namespace qrv::ui
