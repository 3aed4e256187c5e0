#pragma once
// The toolkit's text markup, used where a control shows "html" text:
//   <b>..</b> bold, <u>..</u> underline, <c #RRGGBB>..</c> colour, <f id>..</f> font,
//   <x n> n pixels of space, <i file> a picture at its own size, <i file n m> the m-th (from 0)
//   of n equal pictures side by side in the file, <a>..</a> or <a target>..</a> a link,
//   <n> a line break; <i>..</i> without a file is italic.
// Every tag may be written with braces instead: {b}..{/b}, {x 4}, {i gameicons.png 18 12}.
// Anything that is not one of these tags is plain text, so "a < b" and "{x}" show as written.
// The parser is pure (no drawing); text_layout turns its items into a Pango layout.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/ui_types.h"

namespace qrv::ui {

struct MarkupStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::optional<ARGB> color;
  int font = -1;  // font id of the paint manager; -1 = the control's font
  int link = -1;  // index into ParsedMarkup::links, -1 outside links
  friend bool operator==(const MarkupStyle&, const MarkupStyle&) = default;
};

struct MarkupItem {
  enum class Kind { kText, kSpace, kImage, kBreak };
  Kind kind = Kind::kText;
  std::string text;     // kText
  int space = 0;        // kSpace: pixels
  std::string image;    // kImage: file name
  int image_count = 1;  // kImage: pictures across the file
  int image_index = 0;  // kImage: which one to show
  MarkupStyle style;
};

struct ParsedMarkup {
  std::vector<MarkupItem> items;
  std::vector<std::string> links;  // target of each link, "" for a bare <a>
  // The text without markup, as a reader would see it.
  std::string PlainText() const;
};

ParsedMarkup ParseMarkup(std::string_view text);

// Markup that shows `text` exactly as written, whatever brackets it holds: every "<" and "{" is
// followed by an empty space tag ("{x 0}"), so no tag can start there. A name from outside (an
// agent's, a friend's) goes through this before it joins a row's markup.
std::string LiteralMarkup(std::string_view text);

}  // namespace qrv::ui
