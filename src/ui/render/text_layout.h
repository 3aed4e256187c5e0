#pragma once
// Text of a control laid out in its box with Pango: plain or markup (text_markup.h), single line
// or wrapped, aligned by the DT_* flags. The same object draws, measures, finds the link under
// the mouse and the x position of an edit's caret, so all of them agree on where text lies.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/ui_types.h"
#include "ui/render/font_set.h"
#include "ui/render/text_markup.h"

namespace qrv::ui {

struct TextOptions {
  bool html = false;
  int font = -1;
  std::uint32_t style = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  ARGB link_color = 0xff1e5ebfu;
};

class TextLayout {
 public:
  // `cr` may be null: the layout is then made on a private measuring surface.
  TextLayout(cairo_t* cr, const FontSet& fonts, std::string_view text, const TextOptions& options,
             const RECT& box);
  ~TextLayout();
  TextLayout(const TextLayout&) = delete;
  TextLayout& operator=(const TextLayout&) = delete;

  // Draws the text, clipped to the box; text without a colour of its own gets `color`.
  void Draw(cairo_t* cr, ARGB color) const;
  // Index of the link under `p` (window coordinates), or -1.
  int LinkAt(POINT p) const;
  // Logical size of the laid-out text in pixels.
  CDuiSize Size() const;
  // Left edge of the character at `byte_index` (its end when past the text), in window x.
  int XOfIndex(std::size_t byte_index) const;
  const ParsedMarkup& markup() const { return markup_; }
  const std::string& laid_out_text() const { return text_; }

 private:
  struct InlineImage {
    std::size_t index;
    std::string file;
    int count;
    int which;
    int width;
    int height;
  };
  struct LinkRange {
    std::size_t start;
    std::size_t end;
    int link;
  };

  void BuildMarkup(const FontSet& fonts, const TextOptions& options, PangoAttrList* attrs);
  void Place(const TextOptions& options, const RECT& box);

  PangoLayout* layout_ = nullptr;
  ParsedMarkup markup_;
  std::string text_;
  std::vector<InlineImage> images_;
  std::vector<LinkRange> links_;
  RECT box_{};
  double origin_x_ = 0;
  double origin_y_ = 0;
};

// A cairo context on a 1x1 surface for measuring text outside painting (one per thread).
cairo_t* MeasuringContext();

}  // namespace qrv::ui
