#pragma once
// Pictures on controls. An image attribute is either a bare file name or the sub-syntax
//   file='ser.png' source='l,t,r,b' corner='l,t,r,b' fade='0..255' mask='#FF0A0A0A' dest='l,t,r,b'
// source cuts a rectangle out of the file, dest places the picture inside the control (relative
// to its top-left corner), corner keeps those margins unscaled (nine-slice), fade is the
// opacity and mask turns one colour transparent. The picture is stretched to the control, or to
// dest when given.

#include <cairo.h>

#include <optional>
#include <string>
#include <string_view>

#include "ui/core/ui_types.h"

namespace qrv::ui {

struct ImageSpec {
  std::string file;
  std::optional<RECT> source;
  RECT corner{};
  int fade = 255;
  std::optional<ARGB> mask;
  std::optional<RECT> dest;
};

ImageSpec ParseImageSpec(std::string_view text);

// Draws the picture described by `spec_text` into `control_rect`. Returns false when there is
// nothing to draw (no file, missing or undecodable picture, empty source).
bool DrawImage(cairo_t* cr, const RECT& control_rect, std::string_view spec_text);
bool DrawImage(cairo_t* cr, const RECT& control_rect, const ImageSpec& spec);

// Stretches `source` of `picture` onto `target` with the given opacity (0..255).
void DrawPicturePart(cairo_t* cr, cairo_surface_t* picture, const RECT& source, const RECT& target,
                     int alpha);

}  // namespace qrv::ui
