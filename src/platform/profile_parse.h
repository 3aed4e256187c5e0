#pragma once
// The text side of the profile files, kept apart from the file input and output so that it can be
// tested and fuzzed on plain strings. Everything here works on bytes of an already loaded file and
// never allocates for the scan itself: a lookup is one forward pass that stops at the end of the
// first section with the wanted name, so even a huge or corrupt file costs linear time.
//
// The line grammar, as the Windows profile functions read it:
//  - a line ends at "\n"; a "\r" before it (and any other trailing blank) is trimmed away;
//  - a line whose first non-blank byte is "[" and which holds a "]" is a section header; the name
//    is the text between "[" and the first "]", trimmed; anything after the "]" is ignored;
//  - a line whose first non-blank byte is ";" or "#" is a comment;
//  - any other line with a "=" is a key line, split at the first "="; key and value are trimmed;
//  - everything else (blank lines, lines without "=", "=value" with no key, a "[" without "]") is
//    kept in the file but never matches anything.
// Names compare with ASCII case folding only ("UPDATE" is "update"; other bytes must be equal).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qrv::profile {

enum class LineKind { kBlank, kSection, kKey, kComment, kOther };

struct ProfileLine {
  LineKind kind = LineKind::kBlank;
  std::string_view name;        // trimmed section name or key name
  std::string_view value;       // trimmed value of a key line
  std::size_t begin = 0;        // offset of the line's first byte
  std::size_t value_begin = 0;  // offset of the value's first byte (after "=" and blanks)
  std::size_t content_end = 0;  // offset just past the line's text, before any "\r\n" or "\n"
  std::size_t next = 0;         // offset of the next line (past the "\n"), or the text's size
};

// Reads the line starting at `begin`, which must be inside `text`.
ProfileLine ReadLine(std::string_view text, std::size_t begin);

// Where a key is, or where it would go, in a file's text.
struct KeyLocation {
  // The first section header with the wanted name; later sections of the same name are ignored.
  std::optional<ProfileLine> section;
  // The first key line of that section with the wanted name; later duplicates are ignored.
  std::optional<ProfileLine> key;
  // Offset just past the last key line of the section (or past its header when it holds no key
  // line yet): a new key goes here, so that blank lines and comments before the next section stay
  // where they are. Meaningful only when `section` is set.
  std::size_t insert_at = 0;
  // Whether the line before `insert_at` ends with a line break (false only at the end of a file
  // that does not end with one).
  bool insert_after_line_break = true;
};

KeyLocation LocateKey(std::string_view text, std::string_view section, std::string_view key);

// The file's text with `key` in `section` set to `value`: the value of the first such key is
// replaced in place; a missing key is added after the last key line of the first such section; a
// missing section is added, with the key, at the end of the file. Every other byte of the file
// stays as it was, and added lines end the way the file's lines end. The names must already be
// trimmed and fit for a profile line (the caller checks them).
std::string WithKeyValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// The length of the UTF-8 byte-order mark when `text` starts with one, else 0.
std::size_t ByteOrderMarkLength(std::string_view text);

// "\r\n" when the file's first line ends that way (a file written on Windows), else "\n".
std::string_view LineBreakOf(std::string_view text);

// Integer value of a profile value: an optional sign and the leading decimal digits; no digit
// gives 0. Values beyond the range of int clamp to its ends instead of wrapping around.
int ParseLeadingInt(std::string_view value);

// `text` as a C buffer of `buffer_size` bytes would hold it: at most buffer_size - 1 bytes, cut
// before a UTF-8 character that would not fit whole, and ending at the first zero byte (which
// ends the text for every caller that hands it on as a C string).
std::string_view CutToBuffer(std::string_view text, std::size_t buffer_size);

// ASCII blanks trimmed from both ends.
std::string_view TrimBlanks(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace qrv::profile
