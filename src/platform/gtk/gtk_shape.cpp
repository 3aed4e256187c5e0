// Layered windows (a colour key cut out of the window, a constant opacity) and round corners, on
// X11 window shapes. A layered window is painted into a back buffer of its own; after each paint
// the pixels of the key colour (and those nothing painted) leave the window's shape and its input
// shape, so the desktop shows through them and clicks there fall through to what lies below.

#include <algorithm>
#include <array>
#include <vector>

#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {

namespace {

// The region of the pixels a row's test keeps (`row_test(y)` gives the test of row y, called with
// x): a rectangle for every run of them in a row, a row whose runs are those of the row above
// making that row's rectangles taller, all made in one go (adding rectangles to a region one by
// one costs far more, and most rows of a window are alike).
template <typename RowTest>
cairo_region_t* RegionOfKeptPixels(int width, int height, RowTest row_test) {
  std::vector<cairo_rectangle_int_t> rects;
  std::size_t above = 0;  // where the rectangles of the row above start in `rects`
  for (int y = 0; y < height; ++y) {
    const std::size_t row = rects.size();
    const auto kept = row_test(y);
    int x = 0;
    while (x < width) {
      while (x < width && !kept(x)) ++x;
      const int start = x;
      while (x < width && kept(x)) ++x;
      if (x > start) rects.push_back(cairo_rectangle_int_t{start, y, x - start, 1});
    }
    const bool same_as_above = y > 0 && rects.size() - row == row - above &&
                               std::equal(rects.begin() + static_cast<std::ptrdiff_t>(row), rects.end(),
                                          rects.begin() + static_cast<std::ptrdiff_t>(above),
                                          [](const cairo_rectangle_int_t& a, const cairo_rectangle_int_t& b) {
                                            return a.x == b.x && a.width == b.width;
                                          });
    if (same_as_above) {
      rects.resize(row);
      for (std::size_t i = above; i < row; ++i) ++rects[i].height;
    } else {
      above = row;
    }
  }
  return cairo_region_create_rectangles(rects.data(), static_cast<int>(rects.size()));
}

}  // namespace

cairo_region_t* RegionWithoutColorKey(cairo_surface_t* surface, std::uint32_t color_key_rgb) {
  cairo_surface_flush(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const bool has_alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const std::uint32_t key = (color_key_rgb & 0xFFFFFF) | 0xFF000000u;
  const std::uint32_t opaque = has_alpha ? 0 : 0xFF000000u;  // without alpha every pixel is opaque
  return RegionOfKeptPixels(
      cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface), [&](int y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        return [row, opaque, key](int x) {
          const std::uint32_t pixel = row[x] | opaque;
          return (pixel >> 24) != 0 && pixel != key;
        };
      });
}

cairo_region_t* RoundRectRegion(int width, int height, int corner_width, int corner_height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  const double rx = std::min(corner_width / 2.0, width / 2.0);
  const double ry = std::min(corner_height / 2.0, height / 2.0);
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
  cairo_t* cr = cairo_create(mask);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  auto corner = [&](double cx, double cy, double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, from, to);
    cairo_restore(cr);
  };
  if (rx > 0 && ry > 0) {
    cairo_new_sub_path(cr);
    corner(width - rx, ry, -G_PI / 2, 0);
    corner(width - rx, height - ry, 0, G_PI / 2);
    corner(rx, height - ry, G_PI / 2, G_PI);
    corner(rx, ry, G_PI, 3 * G_PI / 2);
    cairo_close_path(cr);
  } else {
    cairo_rectangle(cr, 0, 0, width, height);
  }
  cairo_fill(cr);
  cairo_destroy(cr);
  // Without antialiasing every mask pixel is either covered or not.
  cairo_surface_flush(mask);
  const unsigned char* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  cairo_region_t* region = RegionOfKeptPixels(width, height, [&](int y) {
    const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
    return [row](int x) { return row[x] != 0; };
  });
  cairo_surface_destroy(mask);
  return region;
}

void GtkWindows::SetLayered(HWND hwnd, std::uint32_t color_key_rgb, std::uint8_t alpha) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->kind != NativeKind::kToolkit) return;
  window->layered = true;
  window->color_key = color_key_rgb & 0xFFFFFF;
  window->alpha = alpha;
  if (window->window != nullptr) gtk_widget_set_opacity(window->window, alpha / 255.0);
  // Paint once off screen now, so the window shows its shape from its first frame; its first
  // expose shows that painting.
  EnsureBackBuffer(window);
  if (Find(hwnd) != window) return;
  UpdateShape(window);
  if (window->layout != nullptr) gtk_widget_queue_draw(window->layout);
}

void GtkWindows::SetRoundCorners(HWND hwnd, int corner_width, int corner_height) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->kind != NativeKind::kToolkit) return;
  window->corner_width = std::max(0, corner_width);
  window->corner_height = std::max(0, corner_height);
  UpdateShape(window);
}

bool GtkWindows::EnsureBackBuffer(NativeWindow* window) {
  if (!window->layered) return false;
  const int width = std::max(1, window->ClientWidth());
  const int height = std::max(1, window->ClientHeight());
  cairo_surface_t* buffer = window->back_buffer;
  if (buffer != nullptr &&
      (cairo_image_surface_get_width(buffer) != width || cairo_image_surface_get_height(buffer) != height)) {
    cairo_surface_destroy(buffer);
    buffer = window->back_buffer = nullptr;
  }
  if (buffer != nullptr) return false;
  // The buffer lives in the X server's shared memory where it can: the server then reads the
  // window's pixels straight from it, where an ordinary image would be copied into a shared staging
  // buffer of its size at every paint, and both would stay (1 MiB each for the login window). It is
  // made for the window's own display, so the window is realized first.
  GdkWindow* native = nullptr;
  if (window->window != nullptr) {
    gtk_widget_realize(window->window);  // returns at once when it is
    native = gtk_widget_get_window(window->window);
  }
  buffer = window->back_buffer =
      native != nullptr
          ? gdk_window_create_similar_image_surface(native, CAIRO_FORMAT_ARGB32, width, height, 1)
          : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  // A new buffer has nothing of the window yet: paint all of it.
  if (window->stale != nullptr) cairo_region_destroy(window->stale);
  window->stale = nullptr;
  cairo_t* cr = cairo_create(buffer);
  SendMessage(window->hwnd, WM_PAINT, 0, reinterpret_cast<LPARAM>(cr));
  cairo_destroy(cr);
  return true;
}

// The shape round corners leave of a window, made again only when the size or the corners change:
// making it scans a mask of the whole window.
cairo_region_t* RoundCornersShape(NativeWindow* window) {
  const std::array<int, 4> key{window->ClientWidth(), window->ClientHeight(), window->corner_width,
                               window->corner_height};
  if (window->round_shape == nullptr || window->round_shape_key != key) {
    if (window->round_shape != nullptr) cairo_region_destroy(window->round_shape);
    window->round_shape = RoundRectRegion(key[0], key[1], key[2], key[3]);
    window->round_shape_key = key;
  }
  return cairo_region_copy(window->round_shape);
}

void GtkWindows::UpdateShape(NativeWindow* window) {
  cairo_region_t* shape = nullptr;
  if (window->layered && window->back_buffer != nullptr) {
    shape = RegionWithoutColorKey(window->back_buffer, window->color_key);
    // Nothing painted yet (the window builds its content after becoming layered): an empty shape
    // would hide the window for good, since a window nobody sees is never exposed again.
    if (cairo_region_is_empty(shape)) {
      cairo_region_destroy(shape);
      shape = nullptr;
    }
  }
  if (window->corner_width > 0 && window->corner_height > 0) {
    cairo_region_t* round = RoundCornersShape(window);
    if (shape == nullptr) {
      shape = round;
    } else {
      cairo_region_intersect(shape, round);
      cairo_region_destroy(round);
    }
  }
  const bool unchanged = window->shape_applied == (shape != nullptr) &&
                         (shape == nullptr || cairo_region_equal(shape, window->applied_shape));
  if (unchanged) {
    if (shape != nullptr) cairo_region_destroy(shape);
    return;
  }
  GtkWidget* widget = window->window != nullptr ? window->window : window->layout;
  gtk_widget_shape_combine_region(widget, shape);
  gtk_widget_input_shape_combine_region(widget, shape);
  if (window->applied_shape != nullptr) cairo_region_destroy(window->applied_shape);
  window->applied_shape = shape;
  window->shape_applied = shape != nullptr;
}

}  // namespace qrv
