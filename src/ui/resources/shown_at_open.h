#pragma once
// What a window shows when it opens: the elements of its layout that are neither hidden nor inside
// a hidden element, nor on a page of a tab layout other than the selected one (the first unless it
// says otherwise). The program prepares their pictures and texts ahead, on threads of their own,
// while GTK starts (pictures_ahead.h, texts_ahead.h).

#include <functional>
#include <pugixml.hpp>

namespace qrv::ui {

// Calls `visit` for `element` and every element under it that shows at open, parents first.
void VisitShownAtOpen(const pugi::xml_node& element, const std::function<void(const pugi::xml_node&)>& visit);

}  // namespace qrv::ui
