#include "ui/render/paint_utils.h"

#include <algorithm>
#include <cmath>

namespace qrv::ui {
namespace {

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, CDuiSize round) {
  const double rx = std::min(round.cx / 2.0, w / 2.0);
  const double ry = std::min(round.cy / 2.0, h / 2.0);
  if (rx <= 0 || ry <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  // Elliptic corners: scale a circular arc.
  auto corner = [&](double cx, double cy, double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, from, to);
    cairo_restore(cr);
  };
  cairo_new_sub_path(cr);
  corner(x + w - rx, y + ry, -M_PI / 2, 0);
  corner(x + w - rx, y + h - ry, 0, M_PI / 2);
  corner(x + rx, y + h - ry, M_PI / 2, M_PI);
  corner(x + rx, y + ry, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

}  // namespace

void SetSourceColor(cairo_t* cr, ARGB color) {
  cairo_set_source_rgba(cr, ColorRed(color), ColorGreen(color), ColorBlue(color), ColorAlpha(color));
}

void FillRect(cairo_t* cr, const RECT& rect, ARGB color, ARGB color2, CDuiSize round) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  cairo_save(cr);
  RoundRectPath(cr, rect.left, rect.top, w, h, round);
  if (color2 != 0) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, rect.top, 0, rect.bottom);
    cairo_pattern_add_color_stop_rgba(gradient, 0, ColorRed(color), ColorGreen(color), ColorBlue(color),
                                      ColorAlpha(color));
    cairo_pattern_add_color_stop_rgba(gradient, 1, ColorRed(color2), ColorGreen(color2), ColorBlue(color2),
                                      ColorAlpha(color2));
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
  } else {
    SetSourceColor(cr, color);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

void StrokeRect(cairo_t* cr, const RECT& rect, ARGB color, int size, CDuiSize round) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0 || size <= 0) return;
  cairo_save(cr);
  // The line is centred on a path inset by half its width, so the border stays inside.
  const double half = size / 2.0;
  RoundRectPath(cr, rect.left + half, rect.top + half, w - size, h - size, round);
  cairo_set_line_width(cr, size);
  SetSourceColor(cr, color);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace qrv::ui
