#pragma once
// CLabelUI: a control that shows text (plain or markup) in a font and colour, aligned inside its
// box less the text padding. CTextUI is the multi-line variant. Both report a click on a markup
// link with the "link" notification (wParam: the link's index).

#include <string>

#include "ui/controls/control.h"
#include "ui/render/text_layout.h"

namespace qrv {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  void SetTextColor(ARGB color) override;
  ARGB GetTextColor() const { return text_color_; }
  void SetDisabledTextColor(ARGB color);
  ARGB GetDisabledTextColor() const { return disabled_text_color_; }
  void SetFont(int id);
  int GetFont() const { return font_; }
  void SetTextStyle(std::uint32_t style);
  std::uint32_t GetTextStyle() const { return text_style_; }
  void SetTextPadding(const RECT& padding);
  const RECT& GetTextPadding() const { return text_padding_; }
  void SetShowHtml(bool show_html = true);
  bool IsShowHtml() const { return show_html_; }

  // The target of link `index` of the current markup text ("" for a bare <a>).
  std::string GetLinkContent(int index) const;
  // The link under `pt`, or -1.
  int LinkAt(POINT pt) const;
  // Size of the text as it would be laid out in this control.
  CDuiSize MeasureText() const;

  void SetAttribute(const std::string& name, const std::string& value) override;
  void PaintText(cairo_t* cr) override;
  void DoEvent(TEventUI& event) override;

 protected:
  // The box the text is laid out in: the control less its text padding.
  virtual RECT TextRect() const;
  virtual ui::TextOptions TextOptionsFor() const;
  // Paints `text` (markup when show_html_) in `color` inside TextRect().
  void PaintTextIn(cairo_t* cr, const std::string& text, ARGB color);
  // The colour for the current state; subclasses pick hot/pushed/selected colours.
  virtual ARGB CurrentTextColor() const;
  // Handles a press/release over a link; true when the event was about a link.
  bool HandleLinkEvent(TEventUI& event);

  ARGB text_color_ = 0;  // 0: the paint manager's default
  ARGB disabled_text_color_ = 0;
  int font_ = -1;
  std::uint32_t text_style_ = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  RECT text_padding_{};
  bool show_html_ = false;
  int pressed_link_ = -1;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
};

// Parses an "align"/"textalign" value ("left", "center,vcenter", "centerwrap", ...) on top of
// `style`.
std::uint32_t ApplyAlignAttribute(std::uint32_t style, const std::string& value);

}  // namespace qrv
