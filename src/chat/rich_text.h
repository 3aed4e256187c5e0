#pragma once
// Where a rich text control keeps and shows its content. CRichEditCtrlEx (rich_edit_ex.h) works
// through this interface: on the GTK back end a GtkTextView shows the text and its emoticons
// (rich_text_gtk.h); without a display the same content is kept in memory (MemoryRichText), so
// the chat window's logic runs in headless tests.
//
// Positions are character offsets; a picture counts as one character and reads as U+FFFC in
// Text(). The caret is where typing and insertions go.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chat/emoticons.h"

namespace qrv {

// A character format: the parts of the rich edit's character format the chat uses.
struct RichTextFormat {
  int size_pt = 14;
  std::uint32_t rgb = 0x000000;  // 0xRRGGBB
  std::string face;              // empty: the control's own font
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  friend bool operator==(const RichTextFormat&, const RichTextFormat&) = default;
};

class RichTextSurface {
 public:
  virtual ~RichTextSurface() = default;

  // The whole text, each picture as U+FFFC.
  virtual std::string Text() const = 0;
  virtual int CharCount() const = 0;
  // Every picture with its code ("" for a picture that is no emoticon), in text order, with the
  // position just after it.
  virtual std::vector<PictureRecord> Pictures() const = 0;

  // Inserts at the caret, which ends up after the insertion. Text takes `format`, or the default
  // format when null.
  virtual void InsertText(std::string_view text, const RichTextFormat* format) = 0;
  // Inserts the animated picture of `path` recorded with `code`; false (nothing inserted) when
  // the file cannot be read as a picture.
  virtual bool InsertPicture(const std::string& path, const std::string& code) = 0;

  virtual int Caret() const = 0;
  virtual void SetCaret(int position) = 0;
  // The selection as (start, end); start == end is the caret alone.
  virtual std::pair<int, int> Selection() const = 0;
  // Selects from `start` to `end` (the caret goes to `end`); an `end` of -1 is the end of the text.
  virtual void Select(int start, int end) = 0;
  virtual void DeleteSelection() = 0;

  virtual void SetDefaultFormat(const RichTextFormat& format) = 0;
  virtual void SetReadOnly(bool read_only) = 0;
  virtual bool ReadOnly() const = 0;
  // The colour behind the text (0xRRGGBB).
  virtual void SetBackground(std::uint32_t rgb) = 0;
  // Brings the end of the text into view.
  virtual void ScrollToEnd() = 0;
  // The control's size changed (pixels).
  virtual void Resize(int width, int height) = 0;
  // The control's window got the keyboard focus: the text view takes it.
  virtual void TakeFocus() = 0;
};

// The content kept in memory: every character (or picture) with its format.
class MemoryRichText final : public RichTextSurface {
 public:
  struct Cell {
    std::string character;  // one UTF-8 character, or U+FFFC for a picture
    RichTextFormat format;
    std::string picture;  // the picture's file (pictures only)
    std::string code;     // the picture's code (pictures only)
  };
  // Neighbouring cells of the same format (pictures always alone).
  struct Run {
    std::string text;
    RichTextFormat format;
    std::string picture;
    std::string code;
  };

  std::string Text() const override;
  int CharCount() const override { return static_cast<int>(cells_.size()); }
  std::vector<PictureRecord> Pictures() const override;
  void InsertText(std::string_view text, const RichTextFormat* format) override;
  bool InsertPicture(const std::string& path, const std::string& code) override;
  int Caret() const override { return caret_; }
  void SetCaret(int position) override;
  std::pair<int, int> Selection() const override;
  void Select(int start, int end) override;
  void DeleteSelection() override;
  void SetDefaultFormat(const RichTextFormat& format) override { default_format_ = format; }
  void SetReadOnly(bool read_only) override { read_only_ = read_only; }
  bool ReadOnly() const override { return read_only_; }
  void SetBackground(std::uint32_t rgb) override { background_ = rgb; }
  void ScrollToEnd() override {}
  void Resize(int, int) override {}
  void TakeFocus() override {}

  std::vector<Run> Runs() const;
  const RichTextFormat& default_format() const { return default_format_; }
  std::uint32_t background() const { return background_; }

 private:
  int Clamp(int position) const;

  std::vector<Cell> cells_;
  int caret_ = 0;
  int anchor_ = 0;  // the other end of the selection
  RichTextFormat default_format_;
  bool read_only_ = false;
  std::uint32_t background_ = 0xFFFFFF;
};

}  // namespace qrv
