// Painting of CPaintManagerUI: into the context WM_PAINT carries, or into any cairo surface.

#include <cairo.h>

#include "ui/controls/control.h"
#include "ui/paint_manager.h"

namespace qrv {

void CPaintManagerUI::Paint(cairo_t* cr, const RECT& area) {
  if (root_ == nullptr) return;
  UpdateLayout();
  cairo_save(cr);
  if (root_->IsVisible()) root_->DoPaint(cr, area);
  cairo_restore(cr);
}

bool CPaintManagerUI::RenderToSurface(cairo_surface_t* surface) {
  if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
  cairo_t* cr = cairo_create(surface);
  RECT area = ClientRect();
  if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
    const RECT surface_rect{0, 0, cairo_image_surface_get_width(surface),
                            cairo_image_surface_get_height(surface)};
    // Without a window the surface gives the size to lay out for.
    if (area.right <= area.left || area.bottom <= area.top) {
      init_size_ = {surface_rect.right, surface_rect.bottom};
      layout_needed_ = true;
    }
    area = surface_rect;
  }
  Paint(cr, area);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return ok;
}

bool CPaintManagerUI::RenderToPng(const std::string& path) {
  UpdateLayout();
  const RECT client = ClientRect();
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  bool ok = RenderToSurface(surface);
  ok = ok && cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace qrv
