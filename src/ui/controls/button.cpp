#include "ui/controls/button.h"

#include <vector>

#include "platform/window_system.h"
#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"
#include "ui/render/paint_utils.h"

namespace qrv {

CButtonUI::CButtonUI() { text_style_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

std::string CButtonUI::GetClass() const { return "ButtonUI"; }

void* CButtonUI::GetInterface(const std::string& name) {
  if (name == "Button") return this;
  return CLabelUI::GetInterface(name);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  SendNotify(kNotifyClick);
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  if (!enabled) hot_ = pushed_ = captured_ = false;
  CLabelUI::SetEnabled(enabled);
}

void CButtonUI::SetNormalImage(const std::string& image) {
  normal_image_ = image;
  Invalidate();
}

void CButtonUI::SetHotImage(const std::string& image) {
  hot_image_ = image;
  Invalidate();
}

void CButtonUI::SetPushedImage(const std::string& image) {
  pushed_image_ = image;
  Invalidate();
}

void CButtonUI::SetFocusedImage(const std::string& image) {
  focused_image_ = image;
  Invalidate();
}

void CButtonUI::SetDisabledImage(const std::string& image) {
  disabled_image_ = image;
  Invalidate();
}

void CButtonUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  auto color = [&] { return OpaqueColor(ParseColor(value).value_or(0xff000000u)); };
  if (name == "normalimage")
    SetNormalImage(value);
  else if (name == "hotimage")
    SetHotImage(value);
  else if (name == "pushedimage")
    SetPushedImage(value);
  else if (name == "focusedimage")
    SetFocusedImage(value);
  else if (name == "disabledimage")
    SetDisabledImage(value);
  else if (name == "hottextcolor")
    SetHotTextColor(color());
  else if (name == "pushedtextcolor")
    SetPushedTextColor(color());
  else if (name == "focusedtextcolor")
    SetFocusedTextColor(color());
  else
    CLabelUI::SetAttribute(name, value);
}

void CButtonUI::DoEvent(TEventUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT_MOUSEMOVE && event.Type <= UIEVENT_SCROLLWHEEL) {
    if (parent_ != nullptr) parent_->DoEvent(event);
    return;
  }
  if (HandleLinkEvent(event)) return;
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && RECT(pos_).Contains(event.ptMouse)) {
        pushed_ = captured_ = true;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (captured_) {
        const bool inside = RECT(pos_).Contains(event.ptMouse);
        if (inside != pushed_) {
          pushed_ = inside;
          Invalidate();
        }
      }
      return;
    case UIEVENT_BUTTONUP:
      if (captured_) {
        const bool click = pushed_ && RECT(pos_).Contains(event.ptMouse);
        pushed_ = captured_ = false;
        Invalidate();
        // Last statement: the click handler may remove or hide this very button.
        if (click) Activate();
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        hot_ = true;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      return;
    case UIEVENT_KEYDOWN:
      if (event.chKey == VK_SPACE || event.chKey == VK_RETURN) {
        Activate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

const std::string& CButtonUI::CurrentImage() const {
  if (!IsEnabled() && !disabled_image_.empty()) return disabled_image_;
  if (pushed_ && !pushed_image_.empty()) return pushed_image_;
  if ((hot_ || pushed_) && !hot_image_.empty()) return hot_image_;
  if (focused_ && !focused_image_.empty()) return focused_image_;
  return normal_image_;
}

void CButtonUI::PaintStatusImage(cairo_t* cr) { DrawImage(cr, CurrentImage()); }

ARGB CButtonUI::CurrentTextColor() const {
  if (IsEnabled()) {
    if (pushed_ && pushed_text_color_ != 0) return pushed_text_color_;
    if ((hot_ || pushed_) && hot_text_color_ != 0) return hot_text_color_;
    if (focused_ && focused_text_color_ != 0) return focused_text_color_;
  }
  return CLabelUI::CurrentTextColor();
}

// --- COptionUI ---------------------------------------------------------------------------------

namespace {

struct GroupSearch {
  const std::string* group;
  std::vector<COptionUI*> options;
};

CControlUI* CollectGroup(CControlUI* control, void* data) {
  auto* search = static_cast<GroupSearch*>(data);
  if (auto* option = static_cast<COptionUI*>(control->GetInterface("Option"))) {
    if (option->GetGroup() == *search->group) search->options.push_back(option);
  }
  return nullptr;  // visit everything
}

}  // namespace

COptionUI::COptionUI() = default;

std::string COptionUI::GetClass() const { return "OptionUI"; }

void* COptionUI::GetInterface(const std::string& name) {
  if (name == "Option") return this;
  return CButtonUI::GetInterface(name);
}

bool COptionUI::Activate() {
  if (!CControlUI::Activate()) return false;
  // A grouped option is a radio button: clicking the selected one keeps it selected.
  const std::weak_ptr<bool> alive = AliveToken();
  if (group_.empty()) {
    Selected(!selected_);
  } else {
    Selected(true);
  }
  if (alive.expired()) return true;
  SendNotify(kNotifyClick);
  return true;
}

void COptionUI::Selected(bool selected, bool send_notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  Invalidate();
  if (selected_ && !group_.empty() && manager_ != nullptr && manager_->GetRoot() != nullptr) {
    GroupSearch search{&group_, {}};
    manager_->GetRoot()->FindControl(CollectGroup, &search, UIFIND_ALL);
    for (COptionUI* other : search.options) {
      if (other != this && other->selected_) {
        other->selected_ = false;
        other->Invalidate();
      }
    }
  }
  if (send_notify) SendNotify(kNotifySelectChanged);
}

void COptionUI::SetGroup(const std::string& group) { group_ = group; }

void COptionUI::SetSelectedImage(const std::string& image) {
  selected_image_ = image;
  Invalidate();
}

void COptionUI::SetSelectedHotImage(const std::string& image) {
  selected_hot_image_ = image;
  Invalidate();
}

void COptionUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  if (name == "group")
    SetGroup(value);
  else if (name == "selected")
    Selected(ParseBool(value), false);
  else if (name == "selectedimage")
    SetSelectedImage(value);
  else if (name == "selectedhotimage")
    SetSelectedHotImage(value);
  else if (name == "selectedtextcolor")
    SetSelectedTextColor(OpaqueColor(ParseColor(value).value_or(0xff000000u)));
  else if (name == "selectedbkcolor")
    SetSelectedBkColor(ParseColor(value).value_or(0));
  else
    CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintBkColor(cairo_t* cr) {
  if (selected_ && (selected_bk_color_ >> 24) != 0) {
    ui::FillRect(cr, pos_, selected_bk_color_, 0, border_round_);
    return;
  }
  CButtonUI::PaintBkColor(cr);
}

const std::string& COptionUI::CurrentImage() const {
  if (selected_ && IsEnabled()) {
    if ((hot_ || pushed_) && !selected_hot_image_.empty()) return selected_hot_image_;
    if (!selected_image_.empty()) return selected_image_;
  }
  if (selected_ && !IsEnabled() && !selected_image_.empty() && disabled_image_.empty())
    return selected_image_;
  return CButtonUI::CurrentImage();
}

ARGB COptionUI::CurrentTextColor() const {
  if (selected_ && IsEnabled() && selected_text_color_ != 0) return selected_text_color_;
  return CButtonUI::CurrentTextColor();
}

}  // namespace qrv
