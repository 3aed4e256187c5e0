#include "ui/resources/shown_at_open.h"

#include <strings.h>

#include <cstring>

namespace qrv::ui {

void VisitShownAtOpen(const pugi::xml_node& element, const std::function<void(const pugi::xml_node&)>& visit) {
  if (strcasecmp(element.attribute("visible").as_string("true"), "false") == 0) return;
  visit(element);
  const bool tabs = std::strcmp(element.name(), "TabLayout") == 0;
  const int selected = element.attribute("selectedid").as_int(0);
  int page = 0;
  for (const pugi::xml_node& child : element.children()) {
    if (child.type() != pugi::node_element) continue;
    if (!tabs || page++ == selected) VisitShownAtOpen(child, visit);
  }
}

}  // namespace qrv::ui
