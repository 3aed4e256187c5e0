#pragma once
// CButtonUI: a label with state pictures and colours (normal, hot, pushed, focused, disabled)
// that sends "click" when the left button is released over it after being pressed on it, or
// when Space/Return is pressed while it has the focus.
//
// COptionUI: a button with a selected state. Options of the same group in one window behave as
// radio buttons; an option without a group toggles. A change of state sends "selectchanged".

#include <string>

#include "ui/controls/label.h"

namespace qrv {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  bool IsFocusable() const override { return true; }
  bool Activate() override;
  void SetEnabled(bool enabled = true) override;

  void SetNormalImage(const std::string& image);
  const std::string& GetNormalImage() const { return normal_image_; }
  void SetHotImage(const std::string& image);
  const std::string& GetHotImage() const { return hot_image_; }
  void SetPushedImage(const std::string& image);
  const std::string& GetPushedImage() const { return pushed_image_; }
  void SetFocusedImage(const std::string& image);
  void SetDisabledImage(const std::string& image);
  void SetHotTextColor(ARGB color) { hot_text_color_ = color; }
  void SetPushedTextColor(ARGB color) { pushed_text_color_ = color; }
  void SetFocusedTextColor(ARGB color) { focused_text_color_ = color; }

  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }

  void SetAttribute(const std::string& name, const std::string& value) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;

 protected:
  ARGB CurrentTextColor() const override;
  // The picture for the current state, falling back to the normal one.
  virtual const std::string& CurrentImage() const;

  std::string normal_image_;
  std::string hot_image_;
  std::string pushed_image_;
  std::string focused_image_;
  std::string disabled_image_;
  ARGB hot_text_color_ = 0;
  ARGB pushed_text_color_ = 0;
  ARGB focused_text_color_ = 0;
  bool hot_ = false;
  bool pushed_ = false;
  bool captured_ = false;
};

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  bool Activate() override;

  bool IsSelected() const { return selected_; }
  // Selects or clears the option. Selecting one of a group clears the others of that group in
  // the same window (silently); the option itself sends "selectchanged" when its state changed
  // and `send_notify` is true.
  virtual void Selected(bool selected, bool send_notify = true);
  const std::string& GetGroup() const { return group_; }
  void SetGroup(const std::string& group);

  void SetSelectedImage(const std::string& image);
  void SetSelectedHotImage(const std::string& image);
  void SetSelectedTextColor(ARGB color) { selected_text_color_ = color; }
  void SetSelectedBkColor(ARGB color) { selected_bk_color_ = color; }

  void SetAttribute(const std::string& name, const std::string& value) override;
  void PaintBkColor(cairo_t* cr) override;

 protected:
  ARGB CurrentTextColor() const override;
  const std::string& CurrentImage() const override;

  bool selected_ = false;
  std::string group_;
  std::string selected_image_;
  std::string selected_hot_image_;
  ARGB selected_text_color_ = 0;
  ARGB selected_bk_color_ = 0;
};

}  // namespace qrv
