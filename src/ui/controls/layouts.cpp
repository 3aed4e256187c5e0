#include "ui/controls/layouts.h"

#include <algorithm>

#include "ui/controls/layout_math.h"
#include "ui/core/ui_parse.h"

namespace qrv {
namespace {

int ClampWidth(CControlUI* item, int width) {
  return std::clamp(width, item->GetMinWidth(), std::max(item->GetMinWidth(), item->GetMaxWidth()));
}

int ClampHeight(CControlUI* item, int height) {
  return std::clamp(height, item->GetMinHeight(), std::max(item->GetMinHeight(), item->GetMaxHeight()));
}

}  // namespace

// --- Column ------------------------------------------------------------------------------------

std::string CVerticalLayoutUI::GetClass() const { return "VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(const std::string& name) {
  if (name == "VerticalLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(RECT rc, bool need_invalidate) {
  CControlUI::SetPos(rc, need_invalidate);
  const RECT inner = InnerRect();
  const int inner_width = inner.right - inner.left;
  const int inner_height = inner.bottom - inner.top;

  std::vector<CControlUI*> flow;
  std::vector<ui::LayoutSlot> slots;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const CDuiSize want = item->EstimateSize({inner_width, inner_height});
    const RECT& pad = item->GetPadding();
    flow.push_back(item);
    slots.push_back({want.cy, item->GetMinHeight(), item->GetMaxHeight(), pad.top + pad.bottom});
  }
  const std::vector<int> heights = ui::DistributeSizes(inner_height, child_padding_, slots);

  int y = inner.top - scroll_pos_.cy;
  for (std::size_t i = 0; i < flow.size(); ++i) {
    CControlUI* item = flow[i];
    const RECT& pad = item->GetPadding();
    const CDuiSize want = item->EstimateSize({inner_width, inner_height});
    const int width = ClampWidth(item, want.cx > 0 ? want.cx : inner_width - pad.left - pad.right);
    y += pad.top;
    const int left = inner.left + pad.left;
    item->SetPos(RECT{left, y, left + std::max(0, width), y + heights[i]}, false);
    y += heights[i] + pad.bottom + (i + 1 < flow.size() ? child_padding_ : 0);
  }
  PlaceFloatChildren();
  if (UpdateScrollRange(y + scroll_pos_.cy - inner.top)) SetPos(rc, need_invalidate);
}

// --- Row ---------------------------------------------------------------------------------------

std::string CHorizontalLayoutUI::GetClass() const { return "HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(const std::string& name) {
  if (name == "HorizontalLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool need_invalidate) {
  CControlUI::SetPos(rc, need_invalidate);
  const RECT inner = InnerRect();
  const int inner_width = inner.right - inner.left;
  const int inner_height = inner.bottom - inner.top;

  std::vector<CControlUI*> flow;
  std::vector<ui::LayoutSlot> slots;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const CDuiSize want = item->EstimateSize({inner_width, inner_height});
    const RECT& pad = item->GetPadding();
    flow.push_back(item);
    slots.push_back({want.cx, item->GetMinWidth(), item->GetMaxWidth(), pad.left + pad.right});
  }
  const std::vector<int> widths = ui::DistributeSizes(inner_width, child_padding_, slots);

  int x = inner.left;
  int content_height = 0;
  for (std::size_t i = 0; i < flow.size(); ++i) {
    CControlUI* item = flow[i];
    const RECT& pad = item->GetPadding();
    const CDuiSize want = item->EstimateSize({inner_width, inner_height});
    const int height = ClampHeight(item, want.cy > 0 ? want.cy : inner_height - pad.top - pad.bottom);
    x += pad.left;
    const int top = inner.top + pad.top - scroll_pos_.cy;
    item->SetPos(RECT{x, top, x + widths[i], top + std::max(0, height)}, false);
    content_height = std::max(content_height, pad.top + height + pad.bottom);
    x += widths[i] + pad.right + (i + 1 < flow.size() ? child_padding_ : 0);
  }
  PlaceFloatChildren();
  if (UpdateScrollRange(content_height)) SetPos(rc, need_invalidate);
}

// --- Stack of pages ----------------------------------------------------------------------------

std::string CTabLayoutUI::GetClass() const { return "TabLayoutUI"; }

void* CTabLayoutUI::GetInterface(const std::string& name) {
  if (name == "TabLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CTabLayoutUI::ApplySelection() {
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetInternVisible(i == cur_sel_);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  // The selection is an index: a layout may name the shown page before its pages are added.
  ApplySelection();
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool do_not_destroy) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveAt(index, do_not_destroy);
}

bool CTabLayoutUI::RemoveAt(int index, bool do_not_destroy) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  control->SetInternVisible(true);
  if (!CContainerUI::RemoveAt(index, do_not_destroy)) return false;
  if (index < cur_sel_) --cur_sel_;
  cur_sel_ = std::clamp(cur_sel_, 0, std::max(0, GetCount() - 1));
  ApplySelection();
  return true;
}

void CTabLayoutUI::RemoveAll() {
  CContainerUI::RemoveAll();
  cur_sel_ = 0;
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == cur_sel_) {
    ApplySelection();
    return true;
  }
  cur_sel_ = index;
  ApplySelection();
  NeedUpdate();
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }

void CTabLayoutUI::SetAttribute(const std::string& name, const std::string& value) {
  if (name == "selectedid") {
    // Usually given before the pages are added; ApplySelection runs again for each page.
    cur_sel_ = std::max(0, ui::ParseInt(value));
    ApplySelection();
    return;
  }
  CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::SetPos(RECT rc, bool need_invalidate) {
  CControlUI::SetPos(rc, need_invalidate);
  const RECT inner = InnerRect();
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT& pad = item->GetPadding();
    const CDuiSize want = item->EstimateSize({inner.right - inner.left, inner.bottom - inner.top});
    RECT child{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
               inner.bottom - pad.bottom};
    if (want.cx > 0) child.right = child.left + ClampWidth(item, want.cx);
    if (want.cy > 0) child.bottom = child.top + ClampHeight(item, want.cy);
    item->SetPos(child, false);
  }
  PlaceFloatChildren();
}

}  // namespace qrv
