#include "ui/controls/container.h"

#include <algorithm>

#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"
#include "ui/render/paint_utils.h"

namespace qrv {
namespace {

constexpr int kScrollBarWidth = 8;
constexpr int kLineStep = 30;  // pixels per wheel notch and per LineUp/LineDown

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  for (CControlUI* item : items_) {
    if (auto_destroy_)
      delete item;
    else
      item->SetManager(nullptr, nullptr, false);
  }
}

std::string CContainerUI::GetClass() const { return "ContainerUI"; }

void* CContainerUI::GetInterface(const std::string& name) {
  if (name == "Container" || name == "IContainer") return this;
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return items_[static_cast<std::size_t>(index)];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int current = GetItemIndex(control);
  if (current < 0 || index < 0 || index >= GetCount()) return false;
  items_.erase(items_.begin() + current);
  items_.insert(items_.begin() + index, control);
  NeedUpdate();
  return true;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  // A child always has this container as its parent, so a control without a parent is not here
  // yet: no search of the children is needed, and filling a container stays linear.
  if (control == nullptr || index < 0 || index > GetCount() || control->GetParent() != nullptr) return false;
  items_.insert(items_.begin() + index, control);
  if (manager_ != nullptr)
    control->SetManager(manager_, this, true);
  else
    control->SetManager(nullptr, this, false);
  NeedUpdate();
  return true;
}

void CContainerUI::DetachChild(CControlUI* control, bool destroy) {
  if (manager_ != nullptr) manager_->ReapObjects(control);
  if (destroy) {
    if (manager_ != nullptr)
      manager_->DeleteControlSafely(control);
    else
      delete control;
  } else {
    control->SetManager(nullptr, nullptr, false);
  }
}

bool CContainerUI::Remove(CControlUI* control, bool do_not_destroy) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveAt(index, do_not_destroy);
}

bool CContainerUI::RemoveAt(int index, bool do_not_destroy) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  items_.erase(items_.begin() + index);
  DetachChild(control, auto_destroy_ && !do_not_destroy);
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> items;
  items.swap(items_);
  for (CControlUI* item : items) DetachChild(item, auto_destroy_);
  scroll_pos_ = {};
  NeedUpdate();
}

void CContainerUI::SetInset(const RECT& inset) {
  inset_ = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  child_padding_ = std::max(0, padding);
  NeedUpdate();
}

void CContainerUI::EnableScrollBar(bool vertical, bool) {
  vscroll_enabled_ = vertical;
  if (!vertical) scroll_pos_ = {};
  NeedUpdate();
}

void CContainerUI::SetScrollPos(CDuiSize pos) {
  pos.cx = 0;
  pos.cy = std::clamp(pos.cy, 0, std::max(0, scroll_range_.cy));
  if (pos == scroll_pos_) return;
  scroll_pos_ = pos;
  // Children move with the scroll position: lay them out again at once so that hit tests and
  // GetPos agree with what is painted next.
  SetPos(pos_, true);
  Invalidate();
}

void CContainerUI::LineUp() { SetScrollPos({0, scroll_pos_.cy - kLineStep}); }
void CContainerUI::LineDown() { SetScrollPos({0, scroll_pos_.cy + kLineStep}); }
void CContainerUI::PageUp() {
  SetScrollPos({0, scroll_pos_.cy - std::max(kLineStep, InnerRect().bottom - InnerRect().top)});
}
void CContainerUI::PageDown() {
  SetScrollPos({0, scroll_pos_.cy + std::max(kLineStep, InnerRect().bottom - InnerRect().top)});
}
void CContainerUI::HomeUp() { SetScrollPos({0, 0}); }
void CContainerUI::EndDown() { SetScrollPos({0, scroll_range_.cy}); }

void CContainerUI::EnsureVisible(CControlUI* control) {
  if (control == nullptr || !vscroll_enabled_) return;
  const RECT inner = InnerRect();
  const RECT& rc = control->GetPos();
  if (rc.top < inner.top)
    SetScrollPos({0, scroll_pos_.cy - (inner.top - rc.top)});
  else if (rc.bottom > inner.bottom)
    SetScrollPos({0, scroll_pos_.cy + (rc.bottom - inner.bottom)});
}

RECT CContainerUI::InnerRect() const {
  CDuiRect rc = pos_;
  rc.Deflate(inset_);
  if (vscroll_shown_) rc.right -= kScrollBarWidth;
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  return rc;
}

bool CContainerUI::UpdateScrollRange(int content_height) {
  if (!vscroll_enabled_) {
    scroll_range_ = {};
    scroll_pos_ = {};
    return false;
  }
  const RECT inner = InnerRect();
  const int range = std::max(0, content_height - (inner.bottom - inner.top));
  scroll_range_ = {0, range};
  scroll_pos_.cy = std::clamp(scroll_pos_.cy, 0, range);
  const bool show = range > 0;
  if (show == vscroll_shown_) return false;
  vscroll_shown_ = show;
  return true;
}

void CContainerUI::PlaceFloatChildren() {
  for (CControlUI* item : items_) {
    if (item->IsVisible() && item->IsFloat()) item->SetPos(item->ComputeFloatRect(pos_), false);
  }
}

void CContainerUI::SetPos(RECT rc, bool need_invalidate) {
  CControlUI::SetPos(rc, need_invalidate);
  const RECT inner = InnerRect();
  int content = 0;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT& pad = item->GetPadding();
    const CDuiSize want = item->EstimateSize({inner.right - inner.left, inner.bottom - inner.top});
    RECT child{inner.left + pad.left, inner.top + pad.top - scroll_pos_.cy, inner.right - pad.right,
               inner.bottom - pad.bottom - scroll_pos_.cy};
    if (want.cx > 0)
      child.right = child.left + std::clamp(want.cx, item->GetMinWidth(),
                                            std::max(item->GetMinWidth(), item->GetMaxWidth()));
    if (want.cy > 0)
      child.bottom = child.top + std::clamp(want.cy, item->GetMinHeight(),
                                            std::max(item->GetMinHeight(), item->GetMaxHeight()));
    item->SetPos(child, false);
    content = std::max(content, child.bottom + pad.bottom + scroll_pos_.cy - inner.top);
  }
  PlaceFloatChildren();
  if (UpdateScrollRange(content)) SetPos(rc, need_invalidate);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  for (CControlUI* item : items_) item->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, std::uint32_t flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  const bool hit_test = (flags & UIFIND_HITTEST) != 0;
  if (hit_test && !RECT(pos_).Contains(*static_cast<const POINT*>(data))) return nullptr;
  if ((flags & UIFIND_ME_FIRST) != 0) {
    if (CControlUI* found = CControlUI::FindControl(proc, data, flags)) return found;
  }
  if (!hit_test || mouse_child_enabled_) {
    const bool top_first = (flags & UIFIND_TOP_FIRST) != 0;
    // Copy: a search callback may not change the tree, but a visitor might look at it.
    const std::vector<CControlUI*> items = items_;
    const RECT inner = InnerRect();
    for (std::size_t n = 0; n < items.size(); ++n) {
      CControlUI* item = items[top_first ? items.size() - 1 - n : n];
      // Non-floating children scrolled out of the inner box cannot be hit.
      if (hit_test && !item->IsFloat() && !RECT(inner).Contains(*static_cast<const POINT*>(data))) continue;
      if (CControlUI* found = item->FindControl(proc, data, flags)) return found;
    }
  }
  if ((flags & UIFIND_ME_FIRST) == 0) return CControlUI::FindControl(proc, data, flags);
  return nullptr;
}

void CContainerUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  if (name == "inset")
    SetInset(ParseRect(value));
  else if (name == "childpadding")
    SetChildPadding(ParseInt(value));
  else if (name == "vscrollbar")
    EnableScrollBar(ParseBool(value), false);
  else if (name == "hscrollbar")
    return;  // horizontal scrolling is not offered; the layout still loads
  else if (name == "mousechild")
    SetMouseChildEnabled(ParseBool(value));
  else
    CControlUI::SetAttribute(name, value);
}

void CContainerUI::DoPaint(cairo_t* cr, const RECT& paint) {
  if (!RectsIntersect(paint, pos_)) return;
  PaintBkColor(cr);
  PaintBkImage(cr);
  PaintStatusImage(cr);
  PaintText(cr);
  cairo_save(cr);
  cairo_rectangle(cr, pos_.left, pos_.top, pos_.right - pos_.left, pos_.bottom - pos_.top);
  cairo_clip(cr);
  CDuiRect area;
  if (area.Intersect(paint, pos_)) {
    for (CControlUI* item : items_) {
      if (!item->IsVisible() || !RectsIntersect(area, item->GetPos())) continue;
      item->DoPaint(cr, area);
    }
  }
  PaintScrollBar(cr);
  cairo_restore(cr);
  PaintBorder(cr);
}

void CContainerUI::PaintScrollBar(cairo_t* cr) {
  if (!vscroll_shown_ || scroll_range_.cy <= 0) return;
  CDuiRect track = pos_;
  track.Deflate(inset_);
  track.left = track.right - kScrollBarWidth;
  const int track_height = track.bottom - track.top;
  const int content = track_height + scroll_range_.cy;
  const int thumb = std::max(16, track_height * track_height / std::max(1, content));
  const int top = track.top + (track_height - thumb) * scroll_pos_.cy / std::max(1, scroll_range_.cy);
  ui::FillRect(cr, RECT{track.left + 2, top, track.right - 1, top + thumb}, 0x80808080u, 0, {4, 4});
}

void CContainerUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_SCROLLWHEEL && vscroll_enabled_ && scroll_range_.cy > 0) {
    const int notches = std::max(1, static_cast<int>(std::abs(event.lParam)) / 120);
    for (int i = 0; i < notches; ++i) {
      if (event.wParam == 0)
        LineUp();
      else
        LineDown();
    }
    return;
  }
  CControlUI::DoEvent(event);
}

}  // namespace qrv
