#include "ui/render/font_set.h"

#include <algorithm>

#include "ui/core/ui_parse.h"

namespace qrv::ui {

const FontInfo& FontSet::Get(int id) const {
  auto it = fonts_.find(id);
  return it == fonts_.end() ? default_ : it->second;
}

FontElement ParseFontElement(const std::function<std::string(const char*)>& attribute, int next_id) {
  FontElement element;
  const std::string id = attribute("id");
  element.id = id.empty() ? next_id : ParseInt(id, next_id);
  const std::string family = attribute("name");
  element.font = FontInfo{family.empty() ? kDefaultFontFamily : family, ParseInt(attribute("size"), 12),
                          ParseBool(attribute("bold")), ParseBool(attribute("underline")),
                          ParseBool(attribute("italic"))};
  element.is_default = ParseBool(attribute("default"));
  return element;
}

PangoFontDescription* DescribeFont(const FontInfo& font) {
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font.family.empty() ? kDefaultFontFamily : font.family.c_str());
  pango_font_description_set_absolute_size(desc, std::max(1, font.size) * PANGO_SCALE);
  pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return desc;
}

}  // namespace qrv::ui
