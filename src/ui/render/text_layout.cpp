#include "ui/render/text_layout.h"

#include <glib.h>

#include <algorithm>

#include "platform/codepage.h"
#include "ui/render/image_draw.h"
#include "ui/render/texts_ahead.h"
#include "ui/resources/image_cache.h"

namespace qrv::ui {
namespace {

constexpr char kObjectReplacement[] = "\xEF\xBF\xBC";  // U+FFFC stands in for spaces and pictures

void SetSourceColor(cairo_t* cr, ARGB color) {
  cairo_set_source_rgba(cr, ColorRed(color), ColorGreen(color), ColorBlue(color), ColorAlpha(color));
}

void InsertAttr(PangoAttrList* attrs, PangoAttribute* attr, std::size_t start, std::size_t end) {
  attr->start_index = static_cast<guint>(start);
  attr->end_index = static_cast<guint>(end);
  pango_attr_list_insert(attrs, attr);
}

void InsertColor(PangoAttrList* attrs, ARGB color, std::size_t start, std::size_t end) {
  auto channel = [](double v) { return static_cast<guint16>(v * 65535.0); };
  InsertAttr(attrs,
             pango_attr_foreground_new(channel(ColorRed(color)), channel(ColorGreen(color)),
                                       channel(ColorBlue(color))),
             start, end);
}

std::string SingleLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += ' ';
    } else if (text[i] == '\n') {
      out += ' ';
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

cairo_t* MeasuringContext() {
  struct Holder {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    ~Holder() {
      cairo_destroy(cr);
      cairo_surface_destroy(surface);
    }
  };
  static thread_local Holder holder;
  return holder.cr;
}

TextLayout::TextLayout(cairo_t* cr, const FontSet& fonts, std::string_view raw_text, const TextOptions& options,
                       const RECT& box)
    : box_(box) {
  // Texts come from files and the network (a damaged settings file, a server's name): Pango takes
  // valid UTF-8 only, so broken sequences are shown as replacement characters.
  // Checked in place; a copy is made only for the rare broken text (layouts are made on every paint).
  std::string repaired;
  std::string_view text = raw_text;
  if (!g_utf8_validate_len(raw_text.data(), static_cast<gsize>(raw_text.size()), nullptr)) {
    repaired = SystemFromUtf8(raw_text);
    text = repaired;
  }
  // The first layout of the thread that started laying texts out ahead takes their font map.
  TextsAhead::TakeFontMap();
  layout_ = pango_cairo_create_layout(cr != nullptr ? cr : MeasuringContext());
  const FontInfo& base = fonts.Get(options.font);
  PangoFontDescription* desc = DescribeFont(base);
  pango_layout_set_font_description(layout_, desc);
  pango_font_description_free(desc);

  PangoAttrList* attrs = pango_attr_list_new();
  if (options.html) {
    markup_ = ParseMarkup(text);
    BuildMarkup(fonts, options, attrs);
  } else {
    const bool wrap = (options.style & DT_WORDBREAK) != 0 && (options.style & DT_SINGLELINE) == 0;
    text_ = wrap ? std::string(text) : SingleLine(text);
  }
  pango_layout_set_text(layout_, text_.c_str(), static_cast<int>(text_.size()));
  if (base.underline) {
    // The font's underline runs under the text, between the pictures.
    std::size_t from = 0;
    for (const InlineImage& image : images_) {
      InsertAttr(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), from, image.index);
      from = image.index + std::string_view(kObjectReplacement).size();
    }
    InsertAttr(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), from, text_.size());
  }
  pango_layout_set_attributes(layout_, attrs);
  pango_attr_list_unref(attrs);
  Place(options, box);
}

TextLayout::~TextLayout() {
  if (layout_ != nullptr) g_object_unref(layout_);
}

void TextLayout::BuildMarkup(const FontSet& fonts, const TextOptions& options, PangoAttrList* attrs) {
  for (const MarkupItem& item : markup_.items) {
    const std::size_t start = text_.size();
    switch (item.kind) {
      case MarkupItem::Kind::kBreak:
        text_ += '\n';
        continue;
      case MarkupItem::Kind::kText:
        text_ += item.text;
        break;
      case MarkupItem::Kind::kSpace: {
        text_ += kObjectReplacement;
        PangoRectangle rect{0, 0, item.space * PANGO_SCALE, 0};
        InsertAttr(attrs, pango_attr_shape_new(&rect, &rect), start, text_.size());
        break;
      }
      case MarkupItem::Kind::kImage: {
        text_ += kObjectReplacement;
        int width = 0;
        int height = 0;
        if (cairo_surface_t* picture = ImageCache::Get(item.image)) {
          width = cairo_image_surface_get_width(picture) / std::max(1, item.image_count);
          height = cairo_image_surface_get_height(picture);
        }
        PangoRectangle rect{0, -height * PANGO_SCALE, width * PANGO_SCALE, height * PANGO_SCALE};
        InsertAttr(attrs, pango_attr_shape_new(&rect, &rect), start, text_.size());
        images_.push_back(
            {start, item.image, std::max(1, item.image_count), item.image_index, width, height});
        break;
      }
    }
    const std::size_t end = text_.size();
    const MarkupStyle& style = item.style;
    // Pictures are never underlined: an expander or icon inside a link would get a stray line.
    const bool underline_allowed = item.kind != MarkupItem::Kind::kImage;
    if (style.font >= 0 && fonts.Has(style.font)) {
      PangoFontDescription* desc = DescribeFont(fonts.Get(style.font));
      InsertAttr(attrs, pango_attr_font_desc_new(desc), start, end);
      pango_font_description_free(desc);
      if (fonts.Get(style.font).underline && underline_allowed)
        InsertAttr(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), start, end);
    }
    if (style.bold) InsertAttr(attrs, pango_attr_weight_new(PANGO_WEIGHT_BOLD), start, end);
    if (style.italic) InsertAttr(attrs, pango_attr_style_new(PANGO_STYLE_ITALIC), start, end);
    if ((style.underline || style.link >= 0) && underline_allowed) {
      InsertAttr(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), start, end);
    }
    if (style.color)
      InsertColor(attrs, *style.color, start, end);
    else if (style.link >= 0)
      InsertColor(attrs, options.link_color, start, end);
    if (style.link >= 0) {
      if (!links_.empty() && links_.back().link == style.link && links_.back().end == start)
        links_.back().end = end;
      else
        links_.push_back({start, end, style.link});
    }
  }
}

void TextLayout::Place(const TextOptions& options, const RECT& box) {
  const int box_width = std::max(0, box.right - box.left);
  const int box_height = std::max(0, box.bottom - box.top);
  const bool wrap = (options.style & DT_WORDBREAK) != 0 && (options.style & DT_SINGLELINE) == 0;
  PangoAlignment alignment = PANGO_ALIGN_LEFT;
  if ((options.style & DT_CENTER) != 0)
    alignment = PANGO_ALIGN_CENTER;
  else if ((options.style & DT_RIGHT) != 0)
    alignment = PANGO_ALIGN_RIGHT;

  if (wrap) {
    pango_layout_set_width(layout_, box_width * PANGO_SCALE);
    pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout_, alignment);
  } else if ((options.style & DT_END_ELLIPSIS) != 0) {
    pango_layout_set_width(layout_, box_width * PANGO_SCALE);
    pango_layout_set_ellipsize(layout_, PANGO_ELLIPSIZE_END);
    pango_layout_set_alignment(layout_, alignment);
  } else {
    pango_layout_set_alignment(layout_, alignment);
  }

  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout_, nullptr, &logical);
  origin_x_ = box.left;
  if (pango_layout_get_width(layout_) < 0) {
    // Without a layout width Pango cannot align the block itself. Text wider than its box
    // starts at the left edge so that its beginning stays readable.
    const int slack = box_width - logical.width;
    if (slack > 0 && alignment == PANGO_ALIGN_CENTER)
      origin_x_ += slack / 2;
    else if (slack > 0 && alignment == PANGO_ALIGN_RIGHT)
      origin_x_ += slack;
    origin_x_ -= logical.x;
  }
  origin_y_ = box.top;
  const int slack_y = box_height - logical.height;
  if ((options.style & DT_VCENTER) != 0)
    origin_y_ += slack_y / 2;
  else if ((options.style & DT_BOTTOM) != 0)
    origin_y_ += slack_y;
  origin_y_ -= logical.y;
}

void TextLayout::Draw(cairo_t* cr, ARGB color) const {
  if (text_.empty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, box_.left, box_.top, box_.right - box_.left, box_.bottom - box_.top);
  cairo_clip(cr);
  SetSourceColor(cr, OpaqueColor(color));
  cairo_move_to(cr, origin_x_, origin_y_);
  pango_cairo_update_layout(cr, layout_);
  pango_cairo_show_layout(cr, layout_);
  if (!images_.empty()) {
    PangoLayoutIter* iter = pango_layout_get_iter(layout_);
    do {
      const auto index = static_cast<std::size_t>(pango_layout_iter_get_index(iter));
      auto image = std::find_if(images_.begin(), images_.end(),
                                [&](const InlineImage& i) { return i.index == index; });
      if (image == images_.end() || image->width <= 0) continue;
      PangoRectangle logical;
      pango_layout_iter_get_char_extents(iter, &logical);
      const int baseline = pango_layout_iter_get_baseline(iter);
      const int x = static_cast<int>(origin_x_) + PANGO_PIXELS(logical.x);
      const int y = static_cast<int>(origin_y_) + PANGO_PIXELS(baseline) - image->height;
      const int which = std::min(image->which, image->count - 1);
      if (cairo_surface_t* picture = ImageCache::Get(image->file)) {
        DrawPicturePart(cr, picture, RECT{which * image->width, 0, (which + 1) * image->width, image->height},
                        RECT{x, y, x + image->width, y + image->height}, 255);
      }
    } while (pango_layout_iter_next_char(iter));
    pango_layout_iter_free(iter);
  }
  cairo_restore(cr);
}

int TextLayout::LinkAt(POINT p) const {
  if (links_.empty() || !RECT(box_).Contains(p)) return -1;
  int index = 0;
  int trailing = 0;
  const int x = static_cast<int>((p.x - origin_x_) * PANGO_SCALE);
  const int y = static_cast<int>((p.y - origin_y_) * PANGO_SCALE);
  if (!pango_layout_xy_to_index(layout_, x, y, &index, &trailing)) return -1;
  for (const auto& link : links_) {
    if (static_cast<std::size_t>(index) >= link.start && static_cast<std::size_t>(index) < link.end)
      return link.link;
  }
  return -1;
}

CDuiSize TextLayout::Size() const {
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout_, nullptr, &logical);
  return CDuiSize{logical.width, logical.height};
}

int TextLayout::XOfIndex(std::size_t byte_index) const {
  PangoRectangle pos;
  pango_layout_index_to_pos(layout_, static_cast<int>(std::min(byte_index, text_.size())), &pos);
  return static_cast<int>(origin_x_) + PANGO_PIXELS(pos.x);
}

}  // namespace qrv::ui
