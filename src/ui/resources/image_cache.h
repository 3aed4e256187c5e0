#pragma once
// Decoded pictures of the skin, kept for the life of the process (or until the skin changes).
// PNG goes through cairo's own reader; other formats (BMP, JPEG, GIF) through gdk-pixbuf. A
// colour mask makes every pixel of that colour fully transparent and is cached as its own
// picture.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/core/ui_types.h"

namespace qrv::ui {

// Owns a decoded picture.
struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const {
    if (s != nullptr) cairo_surface_destroy(s);
  }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

class ImageCache {
 public:
  // The decoded picture, owned by the cache (valid until the skin changes), or null when the
  // file is missing or cannot be decoded.
  static cairo_surface_t* Get(const std::string& name, std::optional<ARGB> mask = std::nullopt);
  // Decodes bytes into a new ARGB32 surface (the caller owns it), or null.
  static cairo_surface_t* Decode(std::string_view bytes);
  static void Clear();
};

}  // namespace qrv::ui
