#include "ui/render/text_markup.h"

#include <algorithm>

#include "ui/core/ui_parse.h"

namespace qrv::ui {
namespace {

constexpr int kMaxSpace = 10000;

struct Tag {
  bool closing = false;
  std::string name;
  std::string args;
};

// Reads a tag whose content is `inner` (between the brackets). Only the tags of the markup are
// accepted; anything else is not a tag.
std::optional<Tag> ReadTag(std::string_view inner) {
  Tag tag;
  // A tag starts right after its bracket: "a < b > c" is text.
  if (inner.empty() || inner.front() == ' ') return std::nullopt;
  if (!inner.empty() && inner.front() == '/') {
    tag.closing = true;
    inner.remove_prefix(1);
  }
  std::size_t n = 0;
  while (n < inner.size() && inner[n] >= 'a' && inner[n] <= 'z') ++n;
  tag.name = std::string(inner.substr(0, n));
  if (n < inner.size() && inner[n] != ' ' && inner[n] != '\t') return std::nullopt;
  tag.args = std::string(Trim(inner.substr(n)));
  static constexpr std::string_view kKnown[] = {"b", "u", "i", "c", "f", "x", "a", "n"};
  for (auto known : kKnown) {
    if (tag.name == known) {
      if (tag.closing && !tag.args.empty()) return std::nullopt;
      // Tags that need an argument are plain text without one.
      if (!tag.closing && (tag.name == "c" || tag.name == "f" || tag.name == "x") && tag.args.empty())
        return std::nullopt;
      return tag;
    }
  }
  return std::nullopt;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

class Parser {
 public:
  ParsedMarkup Run(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
      const char open = text[i];
      if (open == '<' || open == '{') {
        const char close = open == '<' ? '>' : '}';
        const std::size_t end = text.find(close, i + 1);
        if (end != std::string_view::npos) {
          if (auto tag = ReadTag(text.substr(i + 1, end - i - 1))) {
            Apply(*tag);
            i = end + 1;
            continue;
          }
        }
      }
      AppendText(text.substr(i, 1));
      ++i;
    }
    return std::move(result_);
  }

 private:
  MarkupStyle Current() const {
    MarkupStyle style;
    style.bold = bold_ > 0;
    style.italic = italic_ > 0;
    style.underline = underline_ > 0;
    if (!colors_.empty()) style.color = colors_.back();
    if (!fonts_.empty()) style.font = fonts_.back();
    style.link = link_;
    return style;
  }

  void AppendText(std::string_view piece) {
    const MarkupStyle style = Current();
    auto& items = result_.items;
    if (!items.empty() && items.back().kind == MarkupItem::Kind::kText && items.back().style == style) {
      items.back().text.append(piece);
      return;
    }
    MarkupItem item;
    item.text = std::string(piece);
    item.style = style;
    items.push_back(std::move(item));
  }

  void Apply(const Tag& tag) {
    if (tag.closing) {
      Close(tag.name);
      return;
    }
    MarkupItem item;
    item.style = Current();
    if (tag.name == "b") {
      ++bold_;
    } else if (tag.name == "u") {
      ++underline_;
    } else if (tag.name == "i" && tag.args.empty()) {
      ++italic_;
    } else if (tag.name == "i") {
      const auto words = Words(tag.args);
      item.kind = MarkupItem::Kind::kImage;
      item.image = words[0];
      if (words.size() >= 2) item.image_count = std::max(1, ParseInt(words[1], 1));
      if (words.size() >= 3) item.image_index = std::max(0, ParseInt(words[2], 0));
      result_.items.push_back(std::move(item));
    } else if (tag.name == "c") {
      const auto color = ParseColor(tag.args);
      // A bad colour still opens a colour scope, so its </c> closes the right one.
      colors_.push_back(color ? OpaqueColor(*color) : (colors_.empty() ? 0xff000000u : colors_.back()));
    } else if (tag.name == "f") {
      fonts_.push_back(ParseInt(tag.args, -1));
    } else if (tag.name == "x") {
      item.kind = MarkupItem::Kind::kSpace;
      // Bounded so that a silly width cannot overflow Pango's fixed-point units.
      item.space = std::clamp(ParseInt(tag.args, 0), 0, kMaxSpace);
      result_.items.push_back(std::move(item));
    } else if (tag.name == "n") {
      item.kind = MarkupItem::Kind::kBreak;
      result_.items.push_back(std::move(item));
    } else if (tag.name == "a") {
      link_ = static_cast<int>(result_.links.size());
      result_.links.push_back(tag.args);
    }
  }

  void Close(const std::string& name) {
    if (name == "b" && bold_ > 0)
      --bold_;
    else if (name == "u" && underline_ > 0)
      --underline_;
    else if (name == "i" && italic_ > 0)
      --italic_;
    else if (name == "c" && !colors_.empty())
      colors_.pop_back();
    else if (name == "f" && !fonts_.empty())
      fonts_.pop_back();
    else if (name == "a")
      link_ = -1;
  }

  ParsedMarkup result_;
  int bold_ = 0;
  int italic_ = 0;
  int underline_ = 0;
  std::vector<ARGB> colors_;
  std::vector<int> fonts_;
  int link_ = -1;
};

}  // namespace

std::string ParsedMarkup::PlainText() const {
  std::string text;
  for (const auto& item : items) {
    if (item.kind == MarkupItem::Kind::kText)
      text += item.text;
    else if (item.kind == MarkupItem::Kind::kBreak)
      text += '\n';
  }
  return text;
}

ParsedMarkup ParseMarkup(std::string_view text) { return Parser().Run(text); }

std::string LiteralMarkup(std::string_view text) {
  // A tag's content starts right after its bracket and must begin with a letter, "/" or the
  // tag's name; "{" is none of these, so "<{x 0}b>" is a "<", no space at all, then "b>".
  std::string markup;
  markup.reserve(text.size());
  for (const char c : text) {
    markup.push_back(c);
    if (c == '<' || c == '{') markup += "{x 0}";
  }
  return markup;
}

}  // namespace qrv::ui
