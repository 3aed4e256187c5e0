#include "platform/profile_parse.h"

#include <glib.h>

#include <climits>
#include <string>

#include "platform/codepage.h"

namespace qrv::profile {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Offset of `part` inside `whole`; `part` must be a view into `whole`.
std::size_t OffsetIn(std::string_view whole, std::string_view part) {
  return static_cast<std::size_t>(part.data() - whole.data());
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return text.substr(text.size());
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

ProfileLine ReadLine(std::string_view text, std::size_t begin) {
  ProfileLine line;
  line.begin = begin;
  const auto line_break = text.find('\n', begin);
  const std::size_t end = line_break == std::string_view::npos ? text.size() : line_break;
  line.next = line_break == std::string_view::npos ? text.size() : line_break + 1;
  line.content_end = (end > begin && text[end - 1] == '\r') ? end - 1 : end;
  line.value_begin = line.content_end;

  const std::string_view body = TrimBlanks(text.substr(begin, end - begin));
  if (body.empty()) {
    line.kind = LineKind::kBlank;
    return line;
  }
  if (body.front() == '[') {
    const auto close = body.find(']');
    if (close == std::string_view::npos) {
      line.kind = LineKind::kOther;
    } else {
      line.kind = LineKind::kSection;
      line.name = TrimBlanks(body.substr(1, close - 1));
    }
    return line;
  }
  if (body.front() == ';' || body.front() == '#') {
    line.kind = LineKind::kComment;
    return line;
  }
  const auto equals = body.find('=');
  const std::string_view name = equals == std::string_view::npos ? body : TrimBlanks(body.substr(0, equals));
  if (equals == std::string_view::npos || name.empty()) {
    line.kind = LineKind::kOther;
    return line;
  }
  line.kind = LineKind::kKey;
  line.name = name;
  const std::string_view after_equals = body.substr(equals + 1);
  const auto value_start = after_equals.find_first_not_of(kBlanks);
  line.value_begin = value_start == std::string_view::npos ? OffsetIn(text, body) + body.size()
                                                           : OffsetIn(text, after_equals) + value_start;
  line.value = TrimBlanks(after_equals);
  return line;
}

KeyLocation LocateKey(std::string_view text, std::string_view section, std::string_view key) {
  KeyLocation location;
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (section.empty() || key.empty()) return location;

  const auto ends_with_line_break = [text](std::size_t next) { return next > 0 && text[next - 1] == '\n'; };
  bool inside = false;
  for (std::size_t pos = ByteOrderMarkLength(text); pos < text.size();) {
    const ProfileLine line = ReadLine(text, pos);
    pos = line.next;
    if (line.kind == LineKind::kSection) {
      // Only the first section of a name counts, as with the Windows functions: its end is the
      // end of the search.
      if (inside) break;
      if (EqualsIgnoringAsciiCase(line.name, section)) {
        inside = true;
        location.section = line;
        location.insert_at = line.next;
        location.insert_after_line_break = ends_with_line_break(line.next);
      }
      continue;
    }
    if (!inside || line.kind != LineKind::kKey) continue;
    if (EqualsIgnoringAsciiCase(line.name, key)) {
      location.key = line;
      break;
    }
    location.insert_at = line.next;
    location.insert_after_line_break = ends_with_line_break(line.next);
  }
  return location;
}

std::size_t ByteOrderMarkLength(std::string_view text) {
  return text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

std::string_view LineBreakOf(std::string_view text) {
  const auto line_break = text.find('\n');
  if (line_break != std::string_view::npos && line_break > 0 && text[line_break - 1] == '\r') return "\r\n";
  return "\n";
}

int ParseLeadingInt(std::string_view value) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
    negative = value[pos] == '-';
    ++pos;
  }
  // The magnitude is held in a wider type and clamped, so that "99999999999" cannot overflow.
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : static_cast<long long>(INT_MAX);
  long long magnitude = 0;
  for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
    magnitude = magnitude * 10 + (value[pos] - '0');
    if (magnitude >= limit) {
      magnitude = limit;
      break;
    }
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

std::string_view CutToBuffer(std::string_view text, std::size_t buffer_size) {
  if (buffer_size == 0) return text.substr(0, 0);
  text = text.substr(0, text.find('\0'));
  const std::size_t limit = buffer_size - 1;
  if (text.size() <= limit) return text;
  // The byte at the cut continues a character: cut before that character when it is a whole,
  // valid sequence that would not fit. Stray bytes count as characters of their own.
  std::size_t lead = limit;
  while (lead > 0 && limit - lead < 3 && IsContinuationByte(text[lead])) --lead;
  if (lead < limit && lead + CharLengthAt(text, lead) > limit) return text.substr(0, lead);
  return text.substr(0, limit);
}

namespace {

// Whether the last line of `text` is blank, so that a section appended after it is already set off.
bool EndsWithBlankLine(std::string_view text) {
  if (!text.ends_with('\n')) return false;
  text.remove_suffix(1);
  const auto previous_break = text.rfind('\n');
  const std::string_view last_line =
      previous_break == std::string_view::npos ? text : text.substr(previous_break + 1);
  return TrimBlanks(last_line).empty();
}

}  // namespace

std::string WithKeyValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
  const KeyLocation location = LocateKey(text, section, key);
  const std::string_view line_break = LineBreakOf(text);
  std::string updated;
  updated.reserve(text.size() + section.size() + key.size() + value.size() + 8);

  if (location.key) {
    // Keep the key's spelling and the blanks around "=" as they are; replace only the value.
    updated.append(text.substr(0, location.key->value_begin));
    updated.append(value);
    updated.append(text.substr(location.key->content_end));
    return updated;
  }
  if (location.section) {
    updated.append(text.substr(0, location.insert_at));
    if (!location.insert_after_line_break) updated.append(line_break);
    updated.append(key).append("=").append(value).append(line_break);
    updated.append(text.substr(location.insert_at));
    return updated;
  }
  updated.append(text);
  const std::string_view body = text.substr(ByteOrderMarkLength(text));
  if (!body.empty() && !body.ends_with('\n')) updated.append(line_break);
  if (!TrimBlanks(body).empty() && !EndsWithBlankLine(updated)) updated.append(line_break);
  updated.append("[").append(section).append("]").append(line_break);
  updated.append(key).append("=").append(value).append(line_break);
  return updated;
}

}  // namespace qrv::profile
