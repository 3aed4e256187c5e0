#pragma once
// CProgressUI: a bar filled in proportion to value between min and max, left to right ("hor",
// the default) or bottom to top. The fill is the foreground picture (cut to the filled part) or,
// without one, the "forecolor".

#include <string>

#include "ui/controls/label.h"

namespace qrv {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;

  int GetMinValue() const { return min_; }
  void SetMinValue(int min);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int max);
  int GetValue() const { return value_; }
  void SetValue(int value);
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal = true);
  void SetForeImage(const std::string& image);
  void SetForeColor(ARGB color);
  // The filled part of the control in window coordinates.
  RECT FilledRect() const;

  void SetAttribute(const std::string& name, const std::string& value) override;
  void PaintStatusImage(cairo_t* cr) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  std::string fore_image_;
  ARGB fore_color_ = 0;
};

}  // namespace qrv
