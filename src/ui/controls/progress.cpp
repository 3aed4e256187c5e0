#include "ui/controls/progress.h"

#include <algorithm>

#include "ui/core/ui_parse.h"
#include "ui/render/image_draw.h"
#include "ui/render/paint_utils.h"

namespace qrv {

CProgressUI::CProgressUI() { text_style_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

std::string CProgressUI::GetClass() const { return "ProgressUI"; }

void* CProgressUI::GetInterface(const std::string& name) {
  if (name == "Progress") return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int min) {
  min_ = min;
  Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
  max_ = max;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  if (value_ == value) return;
  value_ = value;
  Invalidate();
}

void CProgressUI::SetHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetForeImage(const std::string& image) {
  fore_image_ = image;
  Invalidate();
}

void CProgressUI::SetForeColor(ARGB color) {
  fore_color_ = color;
  Invalidate();
}

RECT CProgressUI::FilledRect() const {
  RECT rc = pos_;
  // A range of zero or less shows nothing instead of dividing by it.
  if (max_ <= min_) return RECT{rc.left, rc.top, rc.left, rc.top};
  const double fraction = std::clamp(static_cast<double>(value_ - min_) / (max_ - min_), 0.0, 1.0);
  if (horizontal_)
    rc.right = rc.left + static_cast<int>((rc.right - rc.left) * fraction + 0.5);
  else
    rc.top = rc.bottom - static_cast<int>((rc.bottom - rc.top) * fraction + 0.5);
  return rc;
}

void CProgressUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  if (name == "min")
    SetMinValue(ParseInt(value));
  else if (name == "max")
    SetMaxValue(ParseInt(value, 100));
  else if (name == "value")
    SetValue(ParseInt(value));
  else if (name == "hor")
    SetHorizontal(ParseBool(value));
  else if (name == "foreimage")
    SetForeImage(value);
  else if (name == "forecolor")
    SetForeColor(ParseColor(value).value_or(0));
  else
    CLabelUI::SetAttribute(name, value);
}

void CProgressUI::PaintStatusImage(cairo_t* cr) {
  const RECT filled = FilledRect();
  if (filled.right <= filled.left || filled.bottom <= filled.top) return;
  cairo_save(cr);
  cairo_rectangle(cr, filled.left, filled.top, filled.right - filled.left, filled.bottom - filled.top);
  cairo_clip(cr);
  // The picture spans the whole bar and is revealed up to the value, so it does not squeeze.
  if (fore_image_.empty() || !ui::DrawImage(cr, pos_, fore_image_)) {
    if ((fore_color_ >> 24) != 0) ui::FillRect(cr, filled, fore_color_);
  }
  cairo_restore(cr);
}

}  // namespace qrv
