#include "ui/core/ui_parse.h"

#include <glib.h>

#include <charconv>

namespace qrv::ui {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::optional<std::uint32_t> ParseHex(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::optional<ARGB> ParseColor(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '#') {
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  } else {
    return std::nullopt;
  }
  auto value = ParseHex(text);
  if (!value) return std::nullopt;
  if (text.size() == 6) return 0xff000000u | *value;
  if (text.size() == 8) return *value;
  return std::nullopt;
}

std::vector<int> ParseInts(std::string_view text, std::size_t count) {
  std::vector<int> values(count, 0);
  std::size_t index = 0;
  while (index < count) {
    const std::size_t comma = text.find(',');
    std::string_view piece = Trim(text.substr(0, comma));
    values[index++] = ParseInt(piece);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return values;
}

RECT ParseRect(std::string_view text) {
  const auto v = ParseInts(text, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

CDuiSize ParseSize(std::string_view text) {
  const auto v = ParseInts(text, 2);
  return CDuiSize{v[0], v[1]};
}

int ParseInt(std::string_view text, int fallback) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  // Trailing text after a number ("12px") is ignored, as hand-written layouts do it.
  if (error != std::errc() || end == text.data()) return fallback;
  return value;
}

bool ParseBool(std::string_view text) {
  text = Trim(text);
  return EqualsIgnoreCase(text, "true") || text == "1" || EqualsIgnoreCase(text, "yes");
}

std::vector<std::pair<std::string, std::string>> SplitAttributeList(std::string_view list) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::size_t i = 0;
  while (true) {
    while (i < list.size() && IsSpace(list[i])) ++i;
    if (i >= list.size()) break;
    const std::size_t name_start = i;
    while (i < list.size() && list[i] != '=' && !IsSpace(list[i])) ++i;
    std::string name(list.substr(name_start, i - name_start));
    while (i < list.size() && IsSpace(list[i])) ++i;
    if (i >= list.size() || list[i] != '=' || name.empty()) break;
    ++i;
    while (i < list.size() && IsSpace(list[i])) ++i;
    if (i >= list.size() || list[i] != '"') break;
    const std::size_t value_start = ++i;
    const std::size_t close = list.find('"', value_start);
    if (close == std::string_view::npos) break;
    pairs.emplace_back(std::move(name), std::string(list.substr(value_start, close - value_start)));
    i = close + 1;
  }
  return pairs;
}

std::vector<std::pair<std::string, std::string>> SplitImageAttributes(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const std::string_view trimmed = Trim(text);
  if (trimmed.find('\'') == std::string_view::npos) {
    if (!trimmed.empty()) pairs.emplace_back("file", std::string(trimmed));
    return pairs;
  }
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size()) break;
    const std::size_t name_start = i;
    while (i < text.size() && text[i] != '=' && !IsSpace(text[i])) ++i;
    std::string name(Trim(text.substr(name_start, i - name_start)));
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size() || text[i] != '=') break;
    ++i;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size() || text[i] != '\'') break;
    const std::size_t value_start = ++i;
    const std::size_t close = text.find('\'', value_start);
    if (close == std::string_view::npos) break;
    pairs.emplace_back(std::move(name), std::string(text.substr(value_start, close - value_start)));
    i = close + 1;
  }
  return pairs;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) ++count;
  }
  return count;
}

std::size_t Utf8Offset(std::string_view text, std::size_t code_points) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) {
      if (seen == code_points) return i;
      ++seen;
    }
  }
  return text.size();
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) cp = 0xfffd;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xc0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3f));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xe0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (cp & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (cp & 0x3f));
  }
}

}  // namespace qrv::ui
