// How the overlay paints: the frozen screen, dimmed except for what would be taken, with a border
// around that, its size, and the hint at the top.

#include <cmath>
#include <string>

#include "capture/capture_overlay.h"

namespace qrv::capture {
namespace {

constexpr double kDim = 0.45;
constexpr double kBorder[3] = {0.18, 0.61, 1.0};

void FillRoundedBox(cairo_t* cr, double x, double y, double w, double h) {
  const double r = 4;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.1, 0.1, 0.12, 0.85);
  cairo_fill(cr);
}

// Draws `text` in a dark box whose top left is (x, y), or, with `centre_x`, centred on x.
void DrawTextBox(GtkWidget* widget, cairo_t* cr, const std::string& text, double x, double y, bool centre_x) {
  g_autoptr(PangoLayout) layout = gtk_widget_create_pango_layout(widget, text.c_str());
  int w = 0;
  int h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  const double pad = 6;
  const double left = centre_x ? x - (w + 2 * pad) / 2 : x;
  FillRoundedBox(cr, left, y, w + 2 * pad, h + 2 * pad);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, left + pad, y + pad);
  pango_cairo_show_layout(cr, layout);
}

}  // namespace

gboolean CaptureOverlay::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  auto* self = static_cast<CaptureOverlay*>(data);
  const double scale = self->screen_.scale;
  const std::optional<PixelRect> bright = self->Highlight();
  cairo_save(cr);
  // The picture is in device pixels; so is everything drawn over it here.
  cairo_scale(cr, 1 / scale, 1 / scale);
  gdk_cairo_set_source_pixbuf(cr, self->screen_.picture, 0, 0);
  cairo_paint(cr);
  const PixelRect& all = self->screen_.bounds;
  cairo_rectangle(cr, all.x, all.y, all.width, all.height);
  if (bright) cairo_rectangle(cr, bright->x, bright->y, bright->width, bright->height);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_source_rgba(cr, 0, 0, 0, kDim);
  cairo_fill(cr);
  if (bright) {
    // The border lies just outside the rectangle, so the bright part is exactly what is taken.
    cairo_set_line_width(cr, 2 * scale);
    cairo_set_source_rgb(cr, kBorder[0], kBorder[1], kBorder[2]);
    cairo_rectangle(cr, bright->x - scale, bright->y - scale, bright->width + 2 * scale,
                    bright->height + 2 * scale);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  if (bright) self->DrawLabel(cr, *bright);
  self->DrawHint(cr);
  (void)widget;
  return TRUE;
}

void CaptureOverlay::DrawLabel(cairo_t* cr, const PixelRect& rect) const {
  const std::string size = std::to_string(rect.width) + " × " + std::to_string(rect.height);
  const double scale = screen_.scale;
  const double x = rect.x / scale;
  // Above the rectangle, or inside it when it touches the top of the screen.
  const double above = rect.y / scale - 30;
  DrawTextBox(window_, cr, size, x, above >= 0 ? above : rect.y / scale + 4, false);
}

void CaptureOverlay::DrawHint(cairo_t* cr) const {
  const double centre = screen_.bounds.width / screen_.scale / 2.0;
  DrawTextBox(window_, cr, kOverlayHint, centre, 16, true);
}

}  // namespace qrv::capture
