#include "ui/controls/list.h"

#include <algorithm>

#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"
#include "ui/render/paint_utils.h"

namespace qrv {
namespace {

IListItemUI* AsListItem(CControlUI* control) {
  return control == nullptr ? nullptr : static_cast<IListItemUI*>(control->GetInterface("ListItem"));
}

bool IsZero(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

}  // namespace

// --- The list ----------------------------------------------------------------------------------

CListUI::CListUI() { vscroll_enabled_ = true; }

std::string CListUI::GetClass() const { return "ListUI"; }

void* CListUI::GetInterface(const std::string& name) {
  if (name == "List") return this;
  if (name == "IListOwner") return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

void CListUI::Renumber(int first) {
  for (int i = std::max(0, first); i < GetCount(); ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i))) {
      item->SetIndex(i);
      item->SetOwner(this);
    }
  }
}

int CListUI::IndexOfRow(const CControlUI* row) const {
  if (row == nullptr) return -1;
  auto* item = static_cast<IListItemUI*>(const_cast<CControlUI*>(row)->GetInterface("ListItem"));
  if (item != nullptr && item->GetOwner() == this && GetItemAt(item->GetIndex()) == row)
    return item->GetIndex();
  return GetItemIndex(const_cast<CControlUI*>(row));
}

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  if (!CVerticalLayoutUI::AddAt(control, index)) return false;
  if (cur_sel_ >= index && cur_sel_ >= 0) ++cur_sel_;
  // Only the rows from the new one on moved; a row added at the end renumbers itself alone.
  Renumber(index);
  return true;
}

bool CListUI::Remove(CControlUI* control, bool do_not_destroy) {
  const int index = IndexOfRow(control);
  if (index < 0) return false;
  return RemoveAt(index, do_not_destroy);
}

bool CListUI::RemoveAt(int index, bool do_not_destroy) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  if (IListItemUI* item = AsListItem(control)) {
    item->SetOwner(nullptr);
    item->SetIndex(-1);
  }
  if (!CVerticalLayoutUI::RemoveAt(index, do_not_destroy)) return false;
  if (index == cur_sel_)
    cur_sel_ = -1;
  else if (index < cur_sel_)
    --cur_sel_;
  Renumber(index);
  return true;
}

void CListUI::RemoveAll() {
  cur_sel_ = -1;
  CVerticalLayoutUI::RemoveAll();
}

bool CListUI::SelectItem(int index, bool take_focus, bool send_notify) {
  if (index == cur_sel_) return true;
  if (index < -1 || index >= GetCount()) return false;
  IListItemUI* item = index >= 0 ? AsListItem(GetItemAt(index)) : nullptr;
  if (index >= 0 && item == nullptr) return false;
  const int old = cur_sel_;
  if (IListItemUI* previous = AsListItem(GetItemAt(old))) previous->SetSelected(false);
  cur_sel_ = index;
  if (item != nullptr) {
    item->SetSelected(true);
    EnsureVisible(GetItemAt(index));
    if (take_focus && GetItemAt(index)->IsFocusable()) GetItemAt(index)->SetFocus();
  }
  if (send_notify) SendNotify(kNotifyItemSelect, static_cast<WPARAM>(index), old);
  return true;
}

void CListUI::SetItemShowHtml(bool show_html) {
  info_.show_html = show_html;
  Invalidate();
}

void CListUI::SetItemTextColor(ARGB color) {
  info_.text_color = color;
  Invalidate();
}

void CListUI::SetItemSelectedBkColor(ARGB color) {
  info_.selected_bk_color = color;
  Invalidate();
}

void CListUI::SetItemHotBkColor(ARGB color) {
  info_.hot_bk_color = color;
  Invalidate();
}

void CListUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  auto text_color = [&] { return OpaqueColor(ParseColor(value).value_or(0xff000000u)); };
  if (name == "itemshowhtml")
    SetItemShowHtml(ParseBool(value));
  else if (name == "itemtextcolor")
    SetItemTextColor(text_color());
  else if (name == "itemselectedtextcolor")
    info_.selected_text_color = text_color();
  else if (name == "itemhottextcolor")
    info_.hot_text_color = text_color();
  else if (name == "itemdisabledtextcolor")
    info_.disabled_text_color = text_color();
  else if (name == "itemselectedbkcolor")
    SetItemSelectedBkColor(ParseColor(value).value_or(0));
  else if (name == "itemhotbkcolor")
    SetItemHotBkColor(ParseColor(value).value_or(0));
  else if (name == "itembkcolor")
    info_.bk_color = ParseColor(value).value_or(0);
  else if (name == "itemfont")
    info_.font = ParseInt(value, -1);
  else if (name == "itemalign")
    info_.text_style = ApplyAlignAttribute(info_.text_style, value);
  else if (name == "itemtextpadding")
    info_.text_padding = ParseRect(value);
  else if (name == "itemheight")
    info_.item_height = std::max(1, ParseInt(value, 22));
  else
    CVerticalLayoutUI::SetAttribute(name, value);
}

void CListUI::DoEvent(TEventUI& event) { CVerticalLayoutUI::DoEvent(event); }

// --- Rows --------------------------------------------------------------------------------------

IListOwnerUI* CListElementState::Owner() const {
  return owner_ == nullptr ? nullptr : static_cast<IListOwnerUI*>(owner_->GetInterface("IListOwner"));
}

TListInfoUI* CListElementState::Info() const {
  IListOwnerUI* owner = Owner();
  return owner == nullptr ? nullptr : owner->GetListInfo();
}

bool CListElementState::HandleRowEvent(CControlUI* row, TEventUI& event) {
  CPaintManagerUI* manager = row->GetManager();
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN: {
      if (!row->IsEnabled()) return true;
      const std::weak_ptr<bool> alive = alive_row_;
      if (IListOwnerUI* owner = Owner()) owner->SelectItem(index_, true);
      // The "itemselect" handler may have closed the whole window.
      if (alive.expired()) return true;
      if (event.Type == UIEVENT_BUTTONDOWN && manager != nullptr) manager->SendNotify(row, kNotifyItemClick);
      return true;
    }
    case UIEVENT_DBLCLICK:
      if (row->IsEnabled() && manager != nullptr) manager->SendNotify(row, kNotifyItemActivate);
      return true;
    case UIEVENT_BUTTONUP:
    case UIEVENT_RBUTTONUP:
      return true;
    case UIEVENT_MOUSEENTER:
      hot_ = row->IsEnabled();
      row->Invalidate();
      return true;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      row->Invalidate();
      return true;
    default:
      return false;
  }
}

CListLabelElementUI::CListLabelElementUI() = default;

std::string CListLabelElementUI::GetClass() const { return "ListLabelElementUI"; }

void* CListLabelElementUI::GetInterface(const std::string& name) {
  if (name == "ListLabelElement") return this;
  if (name == "ListItem") return static_cast<IListItemUI*>(this);
  return CLabelUI::GetInterface(name);
}

void CListLabelElementUI::SetSelected(bool selected) {
  selected_ = selected;
  Invalidate();
}

CDuiSize CListLabelElementUI::EstimateSize(CDuiSize available) {
  CDuiSize size = CLabelUI::EstimateSize(available);
  if (size.cy == 0) {
    const TListInfoUI* info = Info();
    size.cy = info != nullptr ? info->item_height : 22;
  }
  return size;
}

void CListLabelElementUI::DoEvent(TEventUI& event) {
  // Links inside a row report "link" and still select the row.
  HandleLinkEvent(event);
  if (HandleRowEvent(this, event)) return;
  CControlUI::DoEvent(event);
}

void CListLabelElementUI::PaintBkColor(cairo_t* cr) {
  const TListInfoUI* info = Info();
  if (info != nullptr) {
    ARGB color = 0;
    if (selected_ && (info->selected_bk_color >> 24) != 0)
      color = info->selected_bk_color;
    else if (hot_ && (info->hot_bk_color >> 24) != 0)
      color = info->hot_bk_color;
    if (color != 0) {
      ui::FillRect(cr, pos_, color);
      return;
    }
    if ((bk_color_ >> 24) == 0 && (info->bk_color >> 24) != 0) {
      ui::FillRect(cr, pos_, info->bk_color);
      return;
    }
  }
  CLabelUI::PaintBkColor(cr);
}

RECT CListLabelElementUI::TextRect() const {
  const TListInfoUI* info = Info();
  CDuiRect rc = pos_;
  rc.Deflate(info != nullptr && IsZero(text_padding_) ? info->text_padding : text_padding_);
  return rc;
}

ui::TextOptions CListLabelElementUI::TextOptionsFor() const {
  ui::TextOptions options = CLabelUI::TextOptionsFor();
  if (const TListInfoUI* info = Info()) {
    options.html = show_html_ || info->show_html;
    if (font_ < 0) options.font = info->font;
    options.style = info->text_style;
  }
  return options;
}

ARGB CListLabelElementUI::CurrentTextColor() const {
  const TListInfoUI* info = Info();
  if (info != nullptr) {
    if (!IsEnabled() && info->disabled_text_color != 0) return info->disabled_text_color;
    if (IsEnabled() && selected_ && info->selected_text_color != 0) return info->selected_text_color;
    if (IsEnabled() && hot_ && info->hot_text_color != 0) return info->hot_text_color;
    if (IsEnabled() && text_color_ == 0 && info->text_color != 0) return info->text_color;
  }
  return CLabelUI::CurrentTextColor();
}

CListContainerElementUI::CListContainerElementUI() = default;

std::string CListContainerElementUI::GetClass() const { return "ListContainerElementUI"; }

void* CListContainerElementUI::GetInterface(const std::string& name) {
  if (name == "ListContainerElement") return this;
  if (name == "ListItem") return static_cast<IListItemUI*>(this);
  return CHorizontalLayoutUI::GetInterface(name);
}

void CListContainerElementUI::SetSelected(bool selected) {
  selected_ = selected;
  Invalidate();
}

CDuiSize CListContainerElementUI::EstimateSize(CDuiSize available) {
  CDuiSize size = CHorizontalLayoutUI::EstimateSize(available);
  if (size.cy == 0) {
    const TListInfoUI* info = Info();
    size.cy = info != nullptr ? info->item_height : 22;
  }
  return size;
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
  if (HandleRowEvent(this, event)) return;
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::PaintBkColor(cairo_t* cr) {
  if (const TListInfoUI* info = Info()) {
    if (selected_ && (info->selected_bk_color >> 24) != 0) {
      ui::FillRect(cr, pos_, info->selected_bk_color);
      return;
    }
    if (hot_ && (info->hot_bk_color >> 24) != 0) {
      ui::FillRect(cr, pos_, info->hot_bk_color);
      return;
    }
  }
  CHorizontalLayoutUI::PaintBkColor(cr);
}

}  // namespace qrv
