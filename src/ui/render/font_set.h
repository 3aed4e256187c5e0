#pragma once
// The fonts a paint manager knows by id (the <Font> elements of a layout), sizes in pixels.

#include <pango/pango.h>

#include <functional>
#include <map>
#include <string>

namespace qrv::ui {

inline constexpr char kDefaultFontFamily[] = "Noto Sans CJK SC";

struct FontInfo {
  std::string family = kDefaultFontFamily;
  int size = 12;  // pixels
  bool bold = false;
  bool underline = false;
  bool italic = false;
  friend bool operator==(const FontInfo&, const FontInfo&) = default;
};

class FontSet {
 public:
  void Add(int id, const FontInfo& font) { fonts_[id] = font; }
  void SetDefault(const FontInfo& font) { default_ = font; }
  const FontInfo& Default() const { return default_; }
  bool Has(int id) const { return fonts_.contains(id); }
  // The font with this id; the default font for -1 or an unknown id.
  const FontInfo& Get(int id) const;
  void Clear() { fonts_.clear(); }

 private:
  std::map<int, FontInfo> fonts_;
  FontInfo default_;
};

// A <Font> element of a layout: its id (the one after the previous element's when it gives none),
// its font, and whether it is the layout's default font. `attribute` gives an attribute's value,
// empty when the element has none.
struct FontElement {
  int id = 0;
  FontInfo font;
  bool is_default = false;
};
FontElement ParseFontElement(const std::function<std::string(const char*)>& attribute, int next_id);

// A new Pango description of the font (the caller frees it with pango_font_description_free).
PangoFontDescription* DescribeFont(const FontInfo& font);

}  // namespace qrv::ui
