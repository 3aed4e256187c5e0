#pragma once
// CRichEditCtrlEx: the chat's text control, which shows emoticons as animated pictures inside the
// text and gives its content back as text with emoticon codes.
//
// It is a child window of its own. On the GTK back end its window holds a GtkTextView
// (rich_text_gtk.h) that takes the keyboard directly, with the control's own context menu and font
// chooser; without a display the content is kept in memory (MemoryRichText) and typed characters
// arrive as WM_CHAR. Either way the window answers WM_GETTEXT with its text with codes (the
// automation interface reads it so), and Ctrl+Enter pressed while the control has the keyboard
// calls the owner back: it is a key of this control, never taken from other programs.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "chat/emoticons.h"
#include "chat/rich_text.h"
#include "ui/window_wnd.h"

namespace qrv {

class CRichEditCtrlEx final : public CWindowWnd {
 public:
  CRichEditCtrlEx();
  ~CRichEditCtrlEx() override;

  // Creates the control as a visible child of `parent` at `rect` (parent client coordinates).
  HWND Create(HWND parent, const RECT& rect, int control_id);
  std::string GetWindowClassName() const override { return "RichEdit20A"; }
  int control_id() const { return control_id_; }

  // Inserts the animated picture of `path` at the caret and records it with the code of the
  // number its file name starts with. False when the file cannot be loaded (nothing inserted).
  bool InsertAnimatedPicture(const std::string& path);
  // Inserts text at the caret (null format: the default).
  void InsertText(std::string_view text, const RichTextFormat* format = nullptr);
  // The text with each recorded picture replaced by its code.
  std::string TextWithCodes() const;
  // The picture file of `code`, or "" for a code outside the table.
  std::string CodeLookup(const std::string& code) const;
  std::vector<PictureRecord> picture_records() const;
  // The code of a number (1 to 27), or "".
  std::string CodeOfNumber(int number) const;

  // Ctrl+Enter while the control has the keyboard.
  void SetOnCtrlEnter(std::function<void()> on_ctrl_enter);

  // Where the content lives (a GtkRichText on the GTK back end, else a MemoryRichText).
  RichTextSurface& surface() { return *surface_; }
  const RichTextSurface& surface() const { return *surface_; }

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void CallCtrlEnter();

  int control_id_ = 0;
  std::map<int, std::string> number_to_code_;
  std::map<std::string, std::string> code_to_file_;
  std::unique_ptr<RichTextSurface> surface_;
  std::function<void()> on_ctrl_enter_;
  bool control_down_ = false;
};

}  // namespace qrv
