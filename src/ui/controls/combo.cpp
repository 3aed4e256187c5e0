#include "ui/controls/combo.h"

#include "platform/window_system.h"
#include "ui/controls/combo_drop.h"
#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"
#include "ui/render/image_draw.h"
#include "ui/render/text_layout.h"

namespace qrv {
namespace {

IListItemUI* AsItem(CControlUI* control) {
  return control == nullptr ? nullptr : static_cast<IListItemUI*>(control->GetInterface("ListItem"));
}

}  // namespace

CComboUI::CComboUI() = default;

CComboUI::~CComboUI() { CloseDrop(); }

std::string CComboUI::GetClass() const { return "ComboUI"; }

void* CComboUI::GetInterface(const std::string& name) {
  if (name == "Combo") return this;
  if (name == "IListOwner") return static_cast<IListOwnerUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CComboUI::Renumber() {
  for (int i = 0; i < GetCount(); ++i) {
    if (IListItemUI* item = AsItem(GetItemAt(i))) {
      item->SetIndex(i);
      item->SetOwner(this);
    }
  }
}

bool CComboUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (cur_sel_ >= index && cur_sel_ >= 0) ++cur_sel_;
  Renumber();
  return true;
}

bool CComboUI::RemoveAt(int index, bool do_not_destroy) {
  if (!CContainerUI::RemoveAt(index, do_not_destroy)) return false;
  if (index == cur_sel_)
    cur_sel_ = -1;
  else if (index < cur_sel_)
    --cur_sel_;
  Renumber();
  Invalidate();
  return true;
}

void CComboUI::RemoveAll() {
  CloseDrop();
  cur_sel_ = -1;
  CContainerUI::RemoveAll();
}

bool CComboUI::SelectItem(int index, bool, bool send_notify) {
  if (index == cur_sel_) return true;
  if (index < -1 || index >= GetCount()) return false;
  const int old = cur_sel_;
  if (IListItemUI* previous = AsItem(GetItemAt(old))) previous->SetSelected(false);
  cur_sel_ = index;
  if (IListItemUI* item = AsItem(GetItemAt(index))) item->SetSelected(true);
  Invalidate();
  if (send_notify) SendNotify(kNotifyItemSelect, static_cast<WPARAM>(index), old);
  return true;
}

std::string CComboUI::GetText() const {
  CControlUI* item = GetItemAt(cur_sel_);
  return item == nullptr ? std::string() : item->GetText();
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (drop_ != nullptr) {
    CloseDrop();
    return true;
  }
  if (manager_ == nullptr || manager_->GetPaintWindow() == nullptr) return false;
  const std::weak_ptr<bool> alive = AliveToken();
  SendNotify(kNotifyDropDown);
  if (alive.expired()) return true;
  drop_ = new CComboDropWnd(this);
  if (!drop_->Open()) {
    // Open failed before the window existed; the object is ours to free.
    delete drop_;
    drop_ = nullptr;
    return false;
  }
  return true;
}

void CComboUI::CloseDrop() {
  if (drop_ == nullptr) return;
  CComboDropWnd* drop = drop_;
  drop_ = nullptr;
  drop->Detach();
}

void CComboUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  auto text_color = [&] { return OpaqueColor(ParseColor(value).value_or(0xff000000u)); };
  if (name == "dropbox")
    drop_box_attributes_ = value;
  else if (name == "dropboxsize")
    drop_box_size_ = ParseSize(value);
  else if (name == "textpadding")
    text_padding_ = ParseRect(value);
  else if (name == "normalimage")
    normal_image_ = value;
  else if (name == "hotimage")
    hot_image_ = value;
  else if (name == "pushedimage")
    pushed_image_ = value;
  else if (name == "focusedimage")
    focused_image_ = value;
  else if (name == "disabledimage")
    disabled_image_ = value;
  else if (name == "textcolor" || name == "itemtextcolor")
    info_.text_color = text_color();
  else if (name == "disabledtextcolor" || name == "itemdisabledtextcolor")
    info_.disabled_text_color = text_color();
  else if (name == "itemselectedtextcolor")
    info_.selected_text_color = text_color();
  else if (name == "itemhottextcolor")
    info_.hot_text_color = text_color();
  else if (name == "itemselectedbkcolor")
    info_.selected_bk_color = ParseColor(value).value_or(0);
  else if (name == "itemhotbkcolor")
    info_.hot_bk_color = ParseColor(value).value_or(0);
  else if (name == "itembkcolor")
    info_.bk_color = ParseColor(value).value_or(0);
  else if (name == "font" || name == "itemfont")
    info_.font = ParseInt(value, -1);
  else if (name == "itemalign")
    info_.text_style = ApplyAlignAttribute(info_.text_style, value);
  else if (name == "itemshowhtml")
    info_.show_html = ParseBool(value);
  else if (name == "itemheight")
    info_.item_height = std::max(1, ParseInt(value, 22));
  else
    CContainerUI::SetAttribute(name, value);
}

void CComboUI::SetPos(RECT rc, bool need_invalidate) {
  // The items live in the drop-down; in the window only the box itself has a place.
  CControlUI::SetPos(rc, need_invalidate);
}

CControlUI* CComboUI::FindControl(FindControlProc proc, void* data, std::uint32_t flags) {
  if ((flags & UIFIND_HITTEST) != 0) return CControlUI::FindControl(proc, data, flags);
  return CContainerUI::FindControl(proc, data, flags);
}

void CComboUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
      if (IsEnabled()) Activate();
      return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
      return;
    case UIEVENT_MOUSEENTER:
      hot_ = IsEnabled();
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      return;
    case UIEVENT_KEYDOWN:
      if (event.chKey == VK_UP && cur_sel_ > 0)
        SelectItem(cur_sel_ - 1);
      else if (event.chKey == VK_DOWN && cur_sel_ + 1 < GetCount())
        SelectItem(cur_sel_ + 1);
      else if (event.chKey == VK_SPACE || event.chKey == VK_RETURN)
        Activate();
      return;
    default:
      CContainerUI::DoEvent(event);
      return;
  }
}

void CComboUI::DoPaint(cairo_t* cr, const RECT& paint) {
  if (!RectsIntersect(paint, pos_)) return;
  PaintBkColor(cr);
  PaintBkImage(cr);
  const std::string* image = &normal_image_;
  if (!IsEnabled() && !disabled_image_.empty())
    image = &disabled_image_;
  else if (drop_ != nullptr && !pushed_image_.empty())
    image = &pushed_image_;
  else if (hot_ && !hot_image_.empty())
    image = &hot_image_;
  else if (focused_ && !focused_image_.empty())
    image = &focused_image_;
  DrawImage(cr, *image);
  const std::string text = GetText();
  if (!text.empty() && manager_ != nullptr) {
    CDuiRect box = pos_;
    box.Deflate(text_padding_);
    ui::TextOptions options;
    options.html = info_.show_html;
    options.font = info_.font;
    options.style = info_.text_style;
    ui::TextLayout layout(cr, manager_->Fonts(), text, options, box);
    ARGB color = info_.text_color != 0 ? info_.text_color : manager_->GetDefaultFontColor();
    if (!IsEnabled())
      color =
          info_.disabled_text_color != 0 ? info_.disabled_text_color : manager_->GetDefaultDisabledColor();
    layout.Draw(cr, color);
  }
  PaintBorder(cr);
}

}  // namespace qrv
