#include "ui/render/image_draw.h"

#include <algorithm>

#include "ui/core/ui_parse.h"
#include "ui/resources/image_cache.h"

namespace qrv::ui {

ImageSpec ParseImageSpec(std::string_view text) {
  ImageSpec spec;
  for (const auto& [key, value] : SplitImageAttributes(text)) {
    if (key == "file" || key == "res") {
      spec.file = std::string(Trim(value));
    } else if (key == "source") {
      spec.source = ParseRect(value);
    } else if (key == "corner") {
      spec.corner = ParseRect(value);
    } else if (key == "fade") {
      spec.fade = std::clamp(ParseInt(value, 255), 0, 255);
    } else if (key == "mask") {
      spec.mask = ParseColor(value);
    } else if (key == "dest") {
      spec.dest = ParseRect(value);
    }
  }
  return spec;
}

void DrawPicturePart(cairo_t* cr, cairo_surface_t* picture, const RECT& source, const RECT& target,
                     int alpha) {
  const int sw = source.right - source.left;
  const int sh = source.bottom - source.top;
  const int dw = target.right - target.left;
  const int dh = target.bottom - target.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || alpha <= 0) return;
  // A sub-surface with padded edges keeps scaling from pulling in pixels next to the cut,
  // which matters because skins pack many pictures into one file.
  cairo_surface_t* part = cairo_surface_create_for_rectangle(picture, source.left, source.top, sw, sh);
  cairo_save(cr);
  cairo_rectangle(cr, target.left, target.top, dw, dh);
  cairo_clip(cr);
  cairo_translate(cr, target.left, target.top);
  const bool unscaled = sw == dw && sh == dh;
  if (!unscaled) cairo_scale(cr, static_cast<double>(dw) / sw, static_cast<double>(dh) / sh);
  cairo_set_source_surface(cr, part, 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, unscaled ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  if (alpha >= 255)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, alpha / 255.0);
  cairo_restore(cr);
  cairo_surface_destroy(part);
}

bool DrawImage(cairo_t* cr, const RECT& control_rect, std::string_view spec_text) {
  return DrawImage(cr, control_rect, ParseImageSpec(spec_text));
}

bool DrawImage(cairo_t* cr, const RECT& control_rect, const ImageSpec& spec) {
  if (spec.file.empty()) return false;
  cairo_surface_t* picture = ImageCache::Get(spec.file, spec.mask);
  if (picture == nullptr) return false;
  const int width = cairo_image_surface_get_width(picture);
  const int height = cairo_image_surface_get_height(picture);
  CDuiRect source(0, 0, width, height);
  if (spec.source) {
    // A source reaching past the picture is cut to it rather than drawing garbage.
    source = CDuiRect(std::max(0, spec.source->left), std::max(0, spec.source->top),
                      std::min(width, spec.source->right), std::min(height, spec.source->bottom));
    if (source.IsEmpty()) return false;
  }
  CDuiRect target = control_rect;
  if (spec.dest) {
    target = CDuiRect(control_rect.left + spec.dest->left, control_rect.top + spec.dest->top,
                      control_rect.left + spec.dest->right, control_rect.top + spec.dest->bottom);
  }
  if (target.IsEmpty()) return false;

  const RECT& c = spec.corner;
  if (c.left <= 0 && c.top <= 0 && c.right <= 0 && c.bottom <= 0) {
    DrawPicturePart(cr, picture, source, target, spec.fade);
    return true;
  }
  // Nine-slice: corners keep their size, edges stretch along one axis, the middle along both.
  // Margins larger than the source or the target are shrunk so that the slices never overlap.
  auto fit = [](int a, int b, int limit) {
    a = std::max(a, 0);
    b = std::max(b, 0);
    if (a + b > limit) {
      const int total = a + b;
      a = limit * a / total;
      b = limit - a;
    }
    return std::pair{a, b};
  };
  auto [sl, sr] = fit(c.left, c.right, source.Width());
  auto [st, sb] = fit(c.top, c.bottom, source.Height());
  auto [dl, dr] = fit(sl, sr, target.Width());
  auto [dt, db] = fit(st, sb, target.Height());
  const int sx[4] = {source.left, source.left + sl, source.right - sr, source.right};
  const int sy[4] = {source.top, source.top + st, source.bottom - sb, source.bottom};
  const int dx[4] = {target.left, target.left + dl, target.right - dr, target.right};
  const int dy[4] = {target.top, target.top + dt, target.bottom - db, target.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      DrawPicturePart(cr, picture, RECT{sx[col], sy[row], sx[col + 1], sy[row + 1]},
                      RECT{dx[col], dy[row], dx[col + 1], dy[row + 1]}, spec.fade);
    }
  }
  return true;
}

}  // namespace qrv::ui
