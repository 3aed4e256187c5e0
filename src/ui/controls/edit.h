#pragma once
// CEditUI: a one-line text field drawn by the toolkit. Typed text arrives as WM_CHAR code
// points (input methods included, through WindowSystem::SetTextInput while it has the focus);
// Left/Right/Home/End move the caret, Backspace/Delete remove a character, Return sends
// "return". A password edit keeps its text and draws one "●" per character. Every change sends
// "textchanged".

#include <cstddef>
#include <string>

#include "ui/controls/label.h"

namespace qrv {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  std::string GetClass() const override;
  void* GetInterface(const std::string& name) override;
  bool IsFocusable() const override { return true; }

  // Replaces the text (cut to the maximum length); the caret goes to its end.
  void SetText(const std::string& text) override;
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool password);
  int GetMaxChar() const { return max_char_; }
  void SetMaxChar(int max_char);
  bool IsReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);
  // Caret position in characters from the start.
  std::size_t GetCaret() const { return caret_; }
  void SetCaret(std::size_t caret);

  void SetNormalImage(const std::string& image) { normal_image_ = image; }
  void SetHotImage(const std::string& image) { hot_image_ = image; }
  void SetFocusedImage(const std::string& image) { focused_image_ = image; }
  void SetDisabledImage(const std::string& image) { disabled_image_ = image; }

  void SetAttribute(const std::string& name, const std::string& value) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;
  void PaintText(cairo_t* cr) override;
  void SetPos(RECT rc, bool need_invalidate = true) override;
  void OnWindowFocusChanged(bool has_focus) override { UpdateTextInput(has_focus); }

  // The caret's rectangle in window coordinates (for the input method's candidate window).
  RECT CaretRect() const;

  // The text as drawn: a password edit's text is one "●" per character (Masked), any other as it is.
  std::string DisplayText() const;
  static std::string Masked(const std::string& text);

 private:
  std::size_t CharCount() const;
  void InsertCodePoint(std::uint32_t code_point);
  void EraseAt(std::size_t index);
  // Scrolls the text sideways so that the caret stays inside the box.
  void KeepCaretVisible();
  int CaretXUnscrolled() const;
  std::size_t CaretFromPoint(POINT pt) const;
  void UpdateTextInput(bool enabled);
  void TextChanged();

  bool password_ = false;
  bool read_only_ = false;
  int max_char_ = 255;
  std::size_t caret_ = 0;  // in characters
  int scroll_x_ = 0;
  bool hot_ = false;
  std::string normal_image_;
  std::string hot_image_;
  std::string focused_image_;
  std::string disabled_image_;
};

}  // namespace qrv
