#include "ui/resources/image_cache.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "ui/resources/pictures_ahead.h"
#include "ui/resources/skin_archive.h"

namespace qrv::ui {
namespace {

struct CacheState {
  std::uint64_t generation = 0;
  std::map<std::string, SurfacePtr> pictures;  // key: name, or name + "\n" + mask
};

CacheState& State() {
  static CacheState state;
  if (state.generation != SkinResources::Generation()) {
    state.pictures.clear();
    state.generation = SkinResources::Generation();
  }
  return state;
}

struct ReadCursor {
  std::string_view bytes;
  std::size_t offset = 0;
};

cairo_status_t ReadFromCursor(void* closure, unsigned char* data, unsigned int length) {
  auto* cursor = static_cast<ReadCursor*>(closure);
  if (cursor->bytes.size() - cursor->offset < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, cursor->bytes.data() + cursor->offset, length);
  cursor->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* DecodePng(std::string_view bytes) {
  ReadCursor cursor{bytes};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadFromCursor, &cursor);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  // Layout code reads pixels directly, so every picture is normalised to ARGB32.
  if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    surface = argb;
  }
  return surface;
}

cairo_surface_t* DecodeWithPixbuf(std::string_view bytes) {
  g_autoptr(GdkPixbufLoader) loader = gdk_pixbuf_loader_new();
  gboolean ok =
      gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  // close must run even after a failed write, or the loader complains when finalised.
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf == nullptr) return nullptr;
  const int w = gdk_pixbuf_get_width(pixbuf);
  const int h = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const int src_stride = gdk_pixbuf_get_rowstride(pixbuf);
  const bool has_alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(surface);
  unsigned char* dst = cairo_image_surface_get_data(surface);
  const int dst_stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    const guchar* in = src + static_cast<std::ptrdiff_t>(y) * src_stride;
    auto* out = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::ptrdiff_t>(y) * dst_stride);
    for (int x = 0; x < w; ++x, in += channels) {
      const std::uint32_t a = has_alpha ? in[3] : 255;
      // cairo wants premultiplied alpha.
      const std::uint32_t r = in[0] * a / 255;
      const std::uint32_t g = in[1] * a / 255;
      const std::uint32_t b = in[2] * a / 255;
      out[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

cairo_surface_t* ApplyMask(cairo_surface_t* source, ARGB mask) {
  const int w = cairo_image_surface_get_width(source);
  const int h = cairo_image_surface_get_height(source);
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(copy);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(copy);
  unsigned char* data = cairo_image_surface_get_data(copy);
  const int stride = cairo_image_surface_get_stride(copy);
  const std::uint32_t key = 0xff000000u | (mask & 0x00ffffffu);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      if (row[x] == key) row[x] = 0;  // only opaque pixels of exactly that colour
    }
  }
  cairo_surface_mark_dirty(copy);
  return copy;
}

}  // namespace

cairo_surface_t* ImageCache::Decode(std::string_view bytes) {
  static constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0) return DecodePng(bytes);
  return DecodeWithPixbuf(bytes);
}

cairo_surface_t* ImageCache::Get(const std::string& name, std::optional<ARGB> mask) {
  if (name.empty()) return nullptr;
  auto& state = State();
  std::string key = name;
  if (mask) key += "\n" + std::to_string(*mask & 0x00ffffffu);
  if (auto it = state.pictures.find(key); it != state.pictures.end()) return it->second.get();

  cairo_surface_t* picture = nullptr;
  if (mask) {
    if (cairo_surface_t* plain = Get(name)) picture = ApplyMask(plain, *mask);
  } else if (!SkinResources::HasFile(name) && (picture = PicturesAhead::Take(name)) != nullptr) {
    // decoded ahead, from the same archive
  } else if (auto bytes = SkinResources::Read(name)) {
    picture = Decode(*bytes);
    if (picture == nullptr) std::fprintf(stderr, "zelto_qrv: picture %s cannot be decoded\n", name.c_str());
  }
  // Misses are remembered too, so a missing picture costs one lookup, not one per paint.
  state.pictures[key] = SurfacePtr(picture);
  return picture;
}

void ImageCache::Clear() { State().pictures.clear(); }

}  // namespace qrv::ui
