#pragma once
// The texts a window shows when it opens, laid out and drawn ahead on a thread of their own while
// GTK starts. What Pango learns about a font the first time it lays text out in it (the font file's
// faces, their metrics, every glyph's extents and picture) it keeps in the font map the text was
// laid out in: for the login window that learning was about a fifth of the UI thread's work before
// its first frame. The thread lays the texts out in a font map of its own and hands the map over:
// the UI thread makes it its default before its first text layout (TextLayout asks for it), waiting
// for the thread if it has not finished. Making the font map first thing also starts fontconfig's
// set-up, on a thread of Pango's own, as early as the program can.

#include <string>
#include <string_view>
#include <vector>

#include "ui/render/font_set.h"

namespace qrv::ui {

struct TextShownAtOpen {
  int font = -1;  // the id of one of the layout's fonts; -1 is the default font
  std::string text;
  friend bool operator==(const TextShownAtOpen&, const TextShownAtOpen&) = default;
};

struct TextsAtOpen {
  FontSet fonts;  // the layout's <Font> elements
  std::vector<TextShownAtOpen> texts;
};

// The plain texts of `layout` (a window's XML) that show when the window opens (shown_at_open.h),
// each with its font: the control's own "font", else the one its element's <Default> list gives.
// Texts in markup are left out: their inline pictures are the UI thread's.
TextsAtOpen TextsShownAtOpen(std::string_view layout);

class TextsAhead {
 public:
  // Starts laying out, on a new thread, the texts that `layout` of the zip archive at
  // `archive_path` shows when it opens. Called on the UI thread; replaces an earlier start.
  static void Start(const std::string& archive_path, const std::string& layout);

  // On the thread that called Start, the first time: makes the font map the texts were laid out
  // in this thread's default, waiting while the thread still works. Does nothing anywhere else.
  static void TakeFontMap();
};

}  // namespace qrv::ui
