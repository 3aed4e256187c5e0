#pragma once
// Parsing of attribute values and attribute lists, and the few UTF-8 helpers the text code needs.
// Layout files and attribute lists built by window code are both read through these, so they
// are forgiving: stray spaces are skipped and a malformed value falls back to a default instead
// of failing the whole layout.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/core/ui_types.h"

namespace qrv::ui {

// "#AARRGGBB", "#RRGGBB" (opaque), also "0x" prefixes. Nothing for malformed text.
std::optional<ARGB> ParseColor(std::string_view text);

// Up to `count` comma-separated integers; missing ones are 0. Stray spaces are allowed.
std::vector<int> ParseInts(std::string_view text, std::size_t count);
RECT ParseRect(std::string_view text);
CDuiSize ParseSize(std::string_view text);
int ParseInt(std::string_view text, int fallback = 0);
// "true"/"1"/"yes" (any case) are true.
bool ParseBool(std::string_view text);

// Splits `name="value" name2="value2"` into pairs, in order. Values are taken up to the next
// double quote, so single quotes inside values (the image sub-syntax) pass through untouched.
// Parsing stops at the first malformed entry; what was read before it is kept.
std::vector<std::pair<std::string, std::string>> SplitAttributeList(std::string_view list);

// Splits the image sub-syntax `file='a.png' source='0,0,1,1'` into pairs. A text without any
// `key='...'` is a bare file name and comes back as {"file", text}.
std::vector<std::pair<std::string, std::string>> SplitImageAttributes(std::string_view text);

std::string_view Trim(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// UTF-8: number of code points, byte offset of the n-th code point (clamped to the end), and
// appending one code point.
std::size_t Utf8Length(std::string_view text);
std::size_t Utf8Offset(std::string_view text, std::size_t code_points);
void AppendUtf8(std::string& out, std::uint32_t code_point);

}  // namespace qrv::ui
