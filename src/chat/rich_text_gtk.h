#pragma once
// The rich text on GTK: a GtkTextView (in a GtkScrolledWindow) put into the native container of
// the control's window. Emoticons are child anchors of the buffer, each holding a GtkImage that
// plays the picture's GdkPixbufAnimation; the anchor carries the emoticon's code, so the records
// of the pictures always name the pictures that are really in the text.
//
// The view's own context menu is replaced by the control's (commands 101 to 107: undo, cut, copy,
// paste, clear, select all, choose font); GTK 3's text buffer keeps no undo, so the control keeps
// its own record of the player's edits. The font is chosen in a GtkFontChooserDialog that does
// not hold up the rest of the program.

#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "chat/rich_text.h"

namespace qrv {

class GtkRichText final : public RichTextSurface {
 public:
  // The commands of the context menu, as menu items carry them ("qrv-command").
  static constexpr int kUndo = 101;
  static constexpr int kCut = 102;
  static constexpr int kCopy = 103;
  static constexpr int kPaste = 104;
  static constexpr int kClear = 105;
  static constexpr int kSelectAll = 106;
  static constexpr int kChooseFont = 107;

  // Puts a new scrolled text view into `host` (a GtkLayout) at its top-left corner.
  GtkRichText(GtkWidget* host, int width, int height);
  ~GtkRichText() override;
  GtkRichText(const GtkRichText&) = delete;
  GtkRichText& operator=(const GtkRichText&) = delete;

  std::string Text() const override;
  int CharCount() const override;
  std::vector<PictureRecord> Pictures() const override;
  void InsertText(std::string_view text, const RichTextFormat* format) override;
  bool InsertPicture(const std::string& path, const std::string& code) override;
  int Caret() const override;
  void SetCaret(int position) override;
  std::pair<int, int> Selection() const override;
  void Select(int start, int end) override;
  void DeleteSelection() override;
  void SetDefaultFormat(const RichTextFormat& format) override;
  void SetReadOnly(bool read_only) override;
  bool ReadOnly() const override;
  void SetBackground(std::uint32_t rgb) override;
  void ScrollToEnd() override;
  void Resize(int width, int height) override;
  void TakeFocus() override;

  // Picture files decoded so far in this program (each file is decoded once).
  static int AnimationDecodes();

  // Ctrl+Enter pressed in the view.
  void SetOnCtrlEnter(std::function<void()> on_ctrl_enter);
  // A mouse button pressed in the view (before the view handles it).
  void SetOnPress(std::function<void()> on_press);

  // The context menu: shown at the pointer (or below the caret for the menu key) once the
  // clipboard has said whether it holds text to paste.
  void ShowContextMenu(const GdkEvent* trigger);
  // Builds the menu (replacing the last one) with each item enabled as its command allows.
  GtkWidget* BuildContextMenu(bool can_paste);
  bool CommandEnabled(int command, bool can_paste) const;
  void RunCommand(int command);
  bool CanUndo() const;
  void Undo();
  // Opens the font chooser for the selection, or for the default format when nothing is
  // selected; the choice is applied when the player confirms.
  void ChooseFont();

  GtkTextView* view() const;
  GtkTextBuffer* buffer() const;
  GtkWidget* context_menu() const;  // the menu built last, or null
  GtkWidget* font_chooser() const;  // the open font chooser, or null
  const RichTextFormat& default_format() const;

  struct Impl;

 private:
  std::shared_ptr<Impl> impl_;
};

}  // namespace qrv
