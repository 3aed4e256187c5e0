#pragma once
// Colour fills and borders of controls.

#include <cairo.h>

#include "ui/core/ui_types.h"

namespace qrv::ui {

void SetSourceColor(cairo_t* cr, ARGB color);
// Fills `rect`; with `color2` a vertical gradient from `color` at the top to `color2` at the
// bottom; with round corners when `round` has a size.
void FillRect(cairo_t* cr, const RECT& rect, ARGB color, ARGB color2 = 0, CDuiSize round = {});
// Draws a border of `size` pixels inside `rect`.
void StrokeRect(cairo_t* cr, const RECT& rect, ARGB color, int size, CDuiSize round = {});

}  // namespace qrv::ui
