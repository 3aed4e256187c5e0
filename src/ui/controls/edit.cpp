#include "ui/controls/edit.h"

#include <algorithm>
#include <memory>

#include "platform/window_system.h"
#include "ui/core/ui_parse.h"
#include "ui/paint_manager.h"
#include "ui/render/paint_utils.h"

namespace qrv {
namespace {

constexpr char kPasswordBullet[] = "\xE2\x97\x8F";  // ●
constexpr int kCaretMargin = 2;

}  // namespace

CEditUI::CEditUI() { text_style_ = DT_LEFT | DT_VCENTER | DT_SINGLELINE; }

std::string CEditUI::GetClass() const { return "EditUI"; }

void* CEditUI::GetInterface(const std::string& name) {
  if (name == "Edit") return this;
  return CLabelUI::GetInterface(name);
}

void CEditUI::SetText(const std::string& text) {
  std::string cut = text;
  if (max_char_ > 0 && ui::Utf8Length(cut) > static_cast<std::size_t>(max_char_)) {
    cut.resize(ui::Utf8Offset(cut, static_cast<std::size_t>(max_char_)));
  }
  if (cut == text_) return;
  text_ = cut;
  caret_ = CharCount();
  KeepCaretVisible();
  Invalidate();
}

void CEditUI::SetPasswordMode(bool password) {
  password_ = password;
  Invalidate();
}

void CEditUI::SetMaxChar(int max_char) {
  max_char_ = max_char;
  if (max_char_ > 0 && CharCount() > static_cast<std::size_t>(max_char_)) SetText(text_);
}

void CEditUI::SetReadOnly(bool read_only) {
  read_only_ = read_only;
  Invalidate();
}

void CEditUI::SetCaret(std::size_t caret) {
  caret_ = std::min(caret, CharCount());
  KeepCaretVisible();
  Invalidate();
}

std::size_t CEditUI::CharCount() const { return ui::Utf8Length(text_); }

std::string CEditUI::DisplayText() const { return password_ ? Masked(text_) : text_; }

std::string CEditUI::Masked(const std::string& text) {
  std::string bullets;
  for (std::size_t i = ui::Utf8Length(text); i > 0; --i) bullets += kPasswordBullet;
  return bullets;
}

void CEditUI::SetAttribute(const std::string& name, const std::string& value) {
  using namespace ui;
  if (name == "password")
    SetPasswordMode(ParseBool(value));
  else if (name == "maxchar")
    SetMaxChar(ParseInt(value, 255));
  else if (name == "readonly")
    SetReadOnly(ParseBool(value));
  else if (name == "normalimage")
    SetNormalImage(value);
  else if (name == "hotimage")
    SetHotImage(value);
  else if (name == "focusedimage")
    SetFocusedImage(value);
  else if (name == "disabledimage")
    SetDisabledImage(value);
  else
    CLabelUI::SetAttribute(name, value);
}

int CEditUI::CaretXUnscrolled() const {
  if (manager_ == nullptr) return TextRect().left;
  const std::string shown = DisplayText();
  ui::TextOptions options = TextOptionsFor();
  options.html = false;
  ui::TextLayout layout(nullptr, manager_->Fonts(), shown, options, TextRect());
  return layout.XOfIndex(ui::Utf8Offset(shown, caret_));
}

void CEditUI::KeepCaretVisible() {
  const RECT box = TextRect();
  const int width = box.right - box.left;
  const int x = CaretXUnscrolled() - box.left;
  if (x - scroll_x_ > width - kCaretMargin) scroll_x_ = x - width + kCaretMargin;
  if (x - scroll_x_ < 0) scroll_x_ = x;
  scroll_x_ = std::max(0, scroll_x_);
}

RECT CEditUI::CaretRect() const {
  const RECT box = TextRect();
  const int x = CaretXUnscrolled() - scroll_x_;
  return RECT{x, box.top + 2, x + 1, box.bottom - 2};
}

std::size_t CEditUI::CaretFromPoint(POINT pt) const {
  if (manager_ == nullptr) return CharCount();
  const std::string shown = DisplayText();
  ui::TextOptions options = TextOptionsFor();
  options.html = false;
  ui::TextLayout layout(nullptr, manager_->Fonts(), shown, options, TextRect());
  // The character boundary nearest to the click.
  std::size_t best = 0;
  int best_distance = -1;
  for (std::size_t i = 0, n = CharCount(); i <= n; ++i) {
    const int distance = std::abs(layout.XOfIndex(ui::Utf8Offset(shown, i)) - scroll_x_ - pt.x);
    if (best_distance < 0 || distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

void CEditUI::UpdateTextInput(bool enabled) {
  if (manager_ == nullptr || manager_->GetPaintWindow() == nullptr) return;
  WindowSystem::Get().SetTextInput(manager_->GetPaintWindow(), enabled, password_, CaretRect());
}

void CEditUI::TextChanged() {
  KeepCaretVisible();
  Invalidate();
  if (focused_) UpdateTextInput(true);
  SendNotify(kNotifyTextChanged);
}

void CEditUI::InsertCodePoint(std::uint32_t code_point) {
  if (read_only_) return;
  if (max_char_ > 0 && CharCount() >= static_cast<std::size_t>(max_char_)) return;
  std::string piece;
  ui::AppendUtf8(piece, code_point);
  text_.insert(ui::Utf8Offset(text_, caret_), piece);
  ++caret_;
  TextChanged();
}

void CEditUI::EraseAt(std::size_t index) {
  if (read_only_ || index >= CharCount()) return;
  const std::size_t start = ui::Utf8Offset(text_, index);
  const std::size_t end = ui::Utf8Offset(text_, index + 1);
  text_.erase(start, end - start);
  if (caret_ > index) --caret_;
  TextChanged();
}

void CEditUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
      UpdateTextInput(true);
      CLabelUI::DoEvent(event);
      return;
    case UIEVENT_KILLFOCUS:
      UpdateTextInput(false);
      CLabelUI::DoEvent(event);
      return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled()) SetCaret(CaretFromPoint(event.ptMouse));
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
    case UIEVENT_CHAR:
      // Control characters (Tab, Return, Backspace as characters) are handled as keys.
      if (event.chKey >= 0x20 && event.chKey != 0x7f) InsertCodePoint(event.chKey);
      return;
    case UIEVENT_KEYDOWN:
      switch (event.chKey) {
        case VK_LEFT:
          if (caret_ > 0) SetCaret(caret_ - 1);
          return;
        case VK_RIGHT:
          SetCaret(caret_ + 1);
          return;
        case VK_HOME:
          SetCaret(0);
          return;
        case VK_END:
          SetCaret(CharCount());
          return;
        case VK_BACK:
          if (caret_ > 0) EraseAt(caret_ - 1);
          return;
        case VK_DELETE:
          EraseAt(caret_);
          return;
        case VK_RETURN:
          SendNotify(kNotifyReturn);
          return;
        default:
          return;
      }
    default:
      CLabelUI::DoEvent(event);
      return;
  }
}

void CEditUI::SetPos(RECT rc, bool need_invalidate) {
  CLabelUI::SetPos(rc, need_invalidate);
  scroll_x_ = 0;
  KeepCaretVisible();
}

void CEditUI::PaintStatusImage(cairo_t* cr) {
  if (!IsEnabled() && DrawImage(cr, disabled_image_)) return;
  if (focused_ && DrawImage(cr, focused_image_)) return;
  if (hot_ && DrawImage(cr, hot_image_)) return;
  DrawImage(cr, normal_image_);
}

void CEditUI::PaintText(cairo_t* cr) {
  if (manager_ == nullptr) return;
  const RECT box = TextRect();
  if (box.right <= box.left || box.bottom <= box.top) return;
  cairo_save(cr);
  cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
  cairo_clip(cr);
  const std::string shown = DisplayText();
  ui::TextOptions options = TextOptionsFor();
  options.html = false;
  if (scroll_x_ > 0) {
    // Scrolled text is wider than the box and therefore left-aligned: draw it shifted, in a
    // box wide enough to hold it.
    options.style &= ~kHorizontalAlignMask;
    ui::TextLayout measure(cr, manager_->Fonts(), shown, options, box);
    const RECT shifted{box.left - scroll_x_, box.top, box.left - scroll_x_ + measure.Size().cx + 1,
                       box.bottom};
    ui::TextLayout layout(cr, manager_->Fonts(), shown, options, shifted);
    layout.Draw(cr, CurrentTextColor());
  } else {
    ui::TextLayout layout(cr, manager_->Fonts(), shown, options, box);
    layout.Draw(cr, CurrentTextColor());
  }
  if (focused_ && !read_only_) {
    const RECT caret = CaretRect();
    ui::FillRect(cr, caret, OpaqueColor(CurrentTextColor()));
  }
  cairo_restore(cr);
}

}  // namespace qrv
