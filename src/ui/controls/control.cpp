#include "ui/controls/control.h"

#include <algorithm>

#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"
#include "ui/render/image_draw.h"
#include "ui/render/paint_utils.h"

namespace qrv {
namespace {

bool IsWithin(const CControlUI* control, const CControlUI* ancestor) {
  for (const CControlUI* c = control; c != nullptr; c = c->GetParent()) {
    if (c == ancestor) return true;
  }
  return false;
}

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  // A control deleted while the manager still points at it (hot, focus, timers) would leave
  // dangling pointers behind; containers reap before deleting, this catches direct deletes.
  if (manager_ != nullptr) manager_->ReapObjects(this);
}

std::string CControlUI::GetClass() const { return "ControlUI"; }

void* CControlUI::GetInterface(const std::string& name) { return name == "Control" ? this : nullptr; }

void CControlUI::SetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetPos(RECT rc, bool need_invalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  const bool moved = !(RECT(pos_) == rc);
  if (need_invalidate && moved) Invalidate();  // the old place
  pos_ = rc;
  update_needed_ = false;
  if (need_invalidate && moved) Invalidate();  // the new place
}

void CControlUI::SetFloatPos(const RECT& pos) {
  float_pos_ = pos;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool is_float) {
  if (float_ == is_float) return;
  float_ = is_float;
  NeedParentUpdate();
}

void CControlUI::SetPadding(const RECT& padding) {
  padding_ = padding;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  fixed_size_.cx = std::max(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  fixed_size_.cy = std::max(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
  min_size_.cx = std::max(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
  max_size_.cx = std::max(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
  min_size_.cy = std::max(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
  max_size_.cy = std::max(0, cy);
  NeedParentUpdate();
}

CDuiSize CControlUI::EstimateSize(CDuiSize) {
  CDuiSize size = fixed_size_;
  // A non-floating control given only pos="l,t,r,b" takes its size from it.
  if (size.cx == 0 && float_pos_.left >= 0 && float_pos_.right > float_pos_.left)
    size.cx = float_pos_.right - float_pos_.left;
  if (size.cy == 0 && float_pos_.top >= 0 && float_pos_.bottom > float_pos_.top)
    size.cy = float_pos_.bottom - float_pos_.top;
  return size;
}

RECT CControlUI::ComputeFloatRect(const RECT& parent) const {
  auto from_x = [&](int v) { return v >= 0 ? parent.left + v : parent.right + v; };
  auto from_y = [&](int v) { return v >= 0 ? parent.top + v : parent.bottom + v; };
  RECT rc;
  rc.left = from_x(float_pos_.left);
  rc.top = from_y(float_pos_.top);
  rc.right = fixed_size_.cx > 0 ? rc.left + fixed_size_.cx : from_x(float_pos_.right);
  rc.bottom = fixed_size_.cy > 0 ? rc.top + fixed_size_.cy : from_y(float_pos_.bottom);
  rc.right = std::max(rc.right, rc.left);
  rc.bottom = std::max(rc.bottom, rc.top);
  // Min/max sizes hold for floating controls too.
  const int width = std::clamp(rc.right - rc.left, min_size_.cx, std::max(min_size_.cx, max_size_.cx));
  const int height = std::clamp(rc.bottom - rc.top, min_size_.cy, std::max(min_size_.cy, max_size_.cy));
  rc.right = rc.left + width;
  rc.bottom = rc.top + height;
  return rc;
}

void CControlUI::SetBkColor(ARGB color) {
  bk_color_ = color;
  Invalidate();
}

void CControlUI::SetBkColor2(ARGB color) {
  bk_color2_ = color;
  Invalidate();
}

void CControlUI::SetBorderColor(ARGB color) {
  border_color_ = color;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  border_size_ = std::max(0, size);
  Invalidate();
}

void CControlUI::SetBorderRound(CDuiSize round) {
  border_round_ = round;
  Invalidate();
}

void CControlUI::SetBkImage(const std::string& image) {
  bk_image_ = image;
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  const bool was_visible = IsVisible();
  visible_ = visible;
  if (was_visible && !IsVisible()) LoseInputState();
  NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  if (intern_visible_ == visible) return;
  const bool was_visible = IsVisible();
  intern_visible_ = visible;
  if (was_visible && !IsVisible()) LoseInputState();
  NeedParentUpdate();
}

void CControlUI::LoseInputState() {
  if (manager_ == nullptr) return;
  // A hidden control cannot keep the keyboard: the focus leaves it the ordinary way (with
  // "killfocus"), then hover and capture inside it are forgotten.
  if (manager_->GetFocus() != nullptr && IsWithin(manager_->GetFocus(), this)) manager_->SetFocus(nullptr);
  manager_->ForgetInputState(this);
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (!enabled && manager_ != nullptr) {
    if (manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  }
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_ != nullptr) manager_->SetFocus(this);
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (init && manager_ != nullptr) {
    DoInit();
    OnInit(this);
  }
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, std::uint32_t flags) {
  if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_HITTEST) != 0 &&
      (!mouse_enabled_ || !RECT(pos_).Contains(*static_cast<const POINT*>(data)))) {
    return nullptr;
  }
  return proc(this, data);
}

void CControlUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  if (name == "name")
    SetName(value);
  else if (name == "text")
    SetText(value);
  else if (name == "tooltip")
    SetToolTip(value);
  else if (name == "userdata")
    SetUserData(value);
  else if (name == "tag")
    SetTag(static_cast<std::uintptr_t>(ParseInt(value)));
  else if (name == "pos")
    SetFloatPos(ParseRect(value));
  else if (name == "float")
    SetFloat(ParseBool(value));
  else if (name == "padding")
    SetPadding(ParseRect(value));
  else if (name == "width")
    SetFixedWidth(ParseInt(value));
  else if (name == "height")
    SetFixedHeight(ParseInt(value));
  else if (name == "minwidth")
    SetMinWidth(ParseInt(value));
  else if (name == "maxwidth")
    SetMaxWidth(ParseInt(value));
  else if (name == "minheight")
    SetMinHeight(ParseInt(value));
  else if (name == "maxheight")
    SetMaxHeight(ParseInt(value));
  else if (name == "bkcolor" || name == "bkcolor1")
    SetBkColor(ParseColor(value).value_or(0));
  else if (name == "bkcolor2")
    SetBkColor2(ParseColor(value).value_or(0));
  else if (name == "bordercolor")
    SetBorderColor(ParseColor(value).value_or(0));
  else if (name == "bordersize")
    SetBorderSize(ParseInt(value));
  else if (name == "borderround")
    SetBorderRound(ParseSize(value));
  else if (name == "bkimage")
    SetBkImage(value);
  else if (name == "visible")
    SetVisible(ParseBool(value));
  else if (name == "enabled")
    SetEnabled(ParseBool(value));
  else if (name == "mouse")
    SetMouseEnabled(ParseBool(value));
  else if (name == "menu")
    SetContextMenuUsed(ParseBool(value));
  // Unknown attributes are ignored: skins carry attributes of other toolkit versions.
}

void CControlUI::ApplyAttributeList(const std::string& list) {
  for (const auto& [name, value] : ui::SplitAttributeList(list)) SetAttribute(name, value);
}

void CControlUI::Invalidate() {
  if (manager_ != nullptr && IsVisible()) manager_->Invalidate(pos_);
}

void CControlUI::NeedUpdate() {
  update_needed_ = true;
  if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (parent_ != nullptr)
    parent_->NeedUpdate();
  else
    NeedUpdate();
}

void CControlUI::DoPaint(cairo_t* cr, const RECT& paint) {
  if (!RectsIntersect(paint, pos_)) return;
  PaintBkColor(cr);
  PaintBkImage(cr);
  PaintStatusImage(cr);
  PaintText(cr);
  PaintBorder(cr);
}

void CControlUI::PaintBkColor(cairo_t* cr) {
  if ((bk_color_ >> 24) == 0 && (bk_color2_ >> 24) == 0) return;
  ui::FillRect(cr, pos_, bk_color_, bk_color2_, border_round_);
}

void CControlUI::PaintBkImage(cairo_t* cr) {
  if (!bk_image_.empty()) DrawImage(cr, bk_image_);
}

void CControlUI::PaintStatusImage(cairo_t*) {}

void CControlUI::PaintText(cairo_t*) {}

void CControlUI::PaintBorder(cairo_t* cr) {
  if (border_size_ > 0 && (border_color_ >> 24) != 0)
    ui::StrokeRect(cr, pos_, border_color_, border_size_, border_round_);
}

bool CControlUI::DrawImage(cairo_t* cr, const std::string& image) {
  if (image.empty()) return false;
  return ui::DrawImage(cr, pos_, image);
}

void CControlUI::Event(TEventUI& event) {
  if (!OnEvent(&event)) return;
  DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
      focused_ = true;
      Invalidate();
      SendNotify(kNotifySetFocus);
      return;
    case UIEVENT_KILLFOCUS:
      focused_ = false;
      Invalidate();
      SendNotify(kNotifyKillFocus);
      return;
    case UIEVENT_TIMER:
      SendNotify(kNotifyTimer, event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      if (context_menu_) SendNotify(kNotifyMenu, event.wParam, event.lParam);
      return;
    default:
      break;
  }
  // Events a control does not use go to its parent (a wheel over a label scrolls its list).
  if (parent_ != nullptr) parent_->DoEvent(event);
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SendNotify(const std::string& type, WPARAM wparam, LPARAM lparam) {
  if (manager_ != nullptr) manager_->SendNotify(this, type, wparam, lparam);
}

}  // namespace qrv
