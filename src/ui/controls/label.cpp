#include "ui/controls/label.h"

#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"

namespace qrv {

std::uint32_t ApplyAlignAttribute(std::uint32_t style, const std::string& value) {
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find_first_of(", ", start);
    if (end == std::string::npos) end = value.size();
    const std::string word(ui::Trim(std::string_view(value).substr(start, end - start)));
    if (word == "left") {
      style &= ~kHorizontalAlignMask;
    } else if (word == "center") {
      style = (style & ~kHorizontalAlignMask) | DT_CENTER;
    } else if (word == "right") {
      style = (style & ~kHorizontalAlignMask) | DT_RIGHT;
    } else if (word == "top") {
      style &= ~kVerticalAlignMask;
    } else if (word == "vcenter") {
      style = (style & ~kVerticalAlignMask) | DT_VCENTER;
    } else if (word == "bottom") {
      style = (style & ~kVerticalAlignMask) | DT_BOTTOM;
    } else if (word == "wrap") {
      style = (style & ~DT_SINGLELINE) | DT_WORDBREAK;
    } else if (word == "centerwrap") {
      style = (style & ~(kHorizontalAlignMask | DT_SINGLELINE)) | DT_CENTER | DT_WORDBREAK;
    } else if (word == "singleline") {
      style = (style & ~DT_WORDBREAK) | DT_SINGLELINE;
    } else if (word == "endellipsis") {
      style |= DT_END_ELLIPSIS;
    }
    start = end + 1;
  }
  return style;
}

CLabelUI::CLabelUI() = default;

std::string CLabelUI::GetClass() const { return "LabelUI"; }

void* CLabelUI::GetInterface(const std::string& name) {
  if (name == "Label") return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextColor(ARGB color) {
  text_color_ = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(ARGB color) {
  disabled_text_color_ = color;
  Invalidate();
}

void CLabelUI::SetFont(int id) {
  font_ = id;
  Invalidate();
}

void CLabelUI::SetTextStyle(std::uint32_t style) {
  text_style_ = style;
  Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding) {
  text_padding_ = padding;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool show_html) {
  if (show_html_ == show_html) return;
  show_html_ = show_html;
  Invalidate();
}

void CLabelUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  if (name == "align" || name == "textalign")
    SetTextStyle(ApplyAlignAttribute(text_style_, value));
  else if (name == "valign")
    SetTextStyle(ApplyAlignAttribute(text_style_, value == "center" ? "vcenter" : value));
  else if (name == "endellipsis")
    SetTextStyle(ParseBool(value) ? text_style_ | DT_END_ELLIPSIS : text_style_ & ~DT_END_ELLIPSIS);
  else if (name == "multiline" || name == "wordbreak")
    SetTextStyle(ParseBool(value) ? (text_style_ & ~DT_SINGLELINE) | DT_WORDBREAK
                                  : (text_style_ & ~DT_WORDBREAK) | DT_SINGLELINE);
  else if (name == "textcolor")
    SetTextColor(OpaqueColor(ParseColor(value).value_or(0xff000000u)));
  else if (name == "disabledtextcolor")
    SetDisabledTextColor(OpaqueColor(ParseColor(value).value_or(0xffa7a6aau)));
  else if (name == "font")
    SetFont(ParseInt(value, -1));
  else if (name == "textpadding")
    SetTextPadding(ParseRect(value));
  else if (name == "showhtml")
    SetShowHtml(ParseBool(value));
  else
    CControlUI::SetAttribute(name, value);
}

RECT CLabelUI::TextRect() const {
  CDuiRect rc = pos_;
  rc.Deflate(text_padding_);
  return rc;
}

ui::TextOptions CLabelUI::TextOptionsFor() const {
  ui::TextOptions options;
  options.html = show_html_;
  options.font = font_;
  options.style = text_style_;
  if (manager_ != nullptr) options.link_color = manager_->GetDefaultLinkFontColor();
  return options;
}

ARGB CLabelUI::CurrentTextColor() const {
  if (!IsEnabled()) {
    if (disabled_text_color_ != 0) return disabled_text_color_;
    return manager_ != nullptr ? manager_->GetDefaultDisabledColor() : 0xffa7a6aau;
  }
  if (text_color_ != 0) return text_color_;
  return manager_ != nullptr ? manager_->GetDefaultFontColor() : 0xff000000u;
}

void CLabelUI::PaintTextIn(cairo_t* cr, const std::string& text, ARGB color) {
  if (text.empty() || manager_ == nullptr) return;
  const RECT box = TextRect();
  if (box.right <= box.left || box.bottom <= box.top) return;
  ui::TextLayout layout(cr, manager_->Fonts(), text, TextOptionsFor(), box);
  layout.Draw(cr, color);
}

void CLabelUI::PaintText(cairo_t* cr) { PaintTextIn(cr, GetText(), CurrentTextColor()); }

int CLabelUI::LinkAt(POINT pt) const {
  if (!show_html_ || manager_ == nullptr) return -1;
  const std::string text = GetText();
  if (text.empty()) return -1;
  ui::TextLayout layout(nullptr, manager_->Fonts(), text, TextOptionsFor(), TextRect());
  return layout.LinkAt(pt);
}

std::string CLabelUI::GetLinkContent(int index) const {
  const auto markup = ui::ParseMarkup(GetText());
  if (index < 0 || static_cast<std::size_t>(index) >= markup.links.size()) return {};
  return markup.links[static_cast<std::size_t>(index)];
}

CDuiSize CLabelUI::MeasureText() const {
  if (manager_ == nullptr) return {};
  ui::TextLayout layout(nullptr, manager_->Fonts(), GetText(), TextOptionsFor(), TextRect());
  return layout.Size();
}

bool CLabelUI::HandleLinkEvent(TEventUI& event) {
  if (!show_html_) return false;
  if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_DBLCLICK) {
    pressed_link_ = LinkAt(event.ptMouse);
    return pressed_link_ >= 0;
  }
  if (event.Type == UIEVENT_BUTTONUP && pressed_link_ >= 0) {
    const int link = pressed_link_;
    pressed_link_ = -1;
    if (LinkAt(event.ptMouse) == link) SendNotify(kNotifyLink, static_cast<WPARAM>(link));
    return true;
  }
  return false;
}

void CLabelUI::DoEvent(TEventUI& event) {
  if (HandleLinkEvent(event)) return;
  CControlUI::DoEvent(event);
}

CTextUI::CTextUI() { text_style_ = DT_LEFT | DT_TOP | DT_WORDBREAK; }

std::string CTextUI::GetClass() const { return "TextUI"; }

void* CTextUI::GetInterface(const std::string& name) {
  if (name == "Text") return this;
  return CLabelUI::GetInterface(name);
}

}  // namespace qrv
