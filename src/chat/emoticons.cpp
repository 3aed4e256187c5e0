#include "chat/emoticons.h"

#include <cstdio>

#include "platform/codepage.h"

namespace qrv {
namespace {

constexpr std::array<EmoticonEntry, kEmoticonCount> kTable{{
    {1, "1.gif", "1.bmp"},      {2, "2.gif", "2.bmp"},      {3, "3.gif", "3.bmp"},
    {4, "4.gif", "4.bmp"},      {5, "5.gif", "5.bmp"},      {6, "6.gif", "6.bmp"},
    {7, "7.gif", "7.bmp"},      {8, "8.gif", "8.bmp"},      {9, "9.gif", "9.bmp"},
    {10, "10.gif", nullptr},    {11, "11.gif", "11.bmp"},   {12, "12.gif", nullptr},
    {13, "130.gif", "130.bmp"}, {14, "140.gif", "140.bmp"}, {15, "150.gif", "150.bmp"},
    {16, "160.gif", "160.bmp"}, {17, "170.gif", "170.bmp"}, {18, "18.gif", "18.bmp"},
    {19, "19.gif", nullptr},    {20, "200.gif", "200.bmp"}, {21, "210.gif", "210.bmp"},
    {22, "220.gif", "220.bmp"}, {23, "230.gif", "230.bmp"}, {24, "240.gif", "240.bmp"},
    {25, "250.gif", "250.bmp"}, {26, "260.gif", "260.bmp"}, {27, "27.gif", "27.bmp"},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the code that starts at `pos` ends (two characters after "\:F"), or npos when the text
// ends first.
std::size_t CodeEnd(std::string_view text, std::size_t pos) {
  std::size_t end = pos + kEmoticonCodePrefix.size();
  for (int i = 0; i < 2; ++i) {
    if (end >= text.size()) return std::string_view::npos;
    end += CharLengthAt(text, end);
  }
  return end <= text.size() ? end : std::string_view::npos;
}

void AppendText(std::vector<TextPiece>& pieces, std::string_view text) {
  if (text.empty()) return;
  if (!pieces.empty() && pieces.back().kind == TextPiece::Kind::kText) {
    pieces.back().text.append(text);
  } else {
    pieces.push_back(TextPiece{TextPiece::Kind::kText, std::string(text), ""});
  }
}

}  // namespace

const std::array<EmoticonEntry, kEmoticonCount>& EmoticonTable() { return kTable; }

std::string EmoticonCode(int number) {
  if (number < 1 || number > kEmoticonCount) return "";
  char code[8];
  std::snprintf(code, sizeof code, number < 10 ? "\\:F0%d" : "\\:F%d", number);
  return code;
}

std::string EmoticonFileOfCode(std::string_view code) {
  for (const EmoticonEntry& entry : kTable) {
    if (EmoticonCode(entry.number) == code) return entry.picture;
  }
  return "";
}

int EmoticonNumberOfFile(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.empty() || !IsDigit(name[0])) return 0;
  int number = name[0] - '0';
  if (name.size() > 1 && IsDigit(name[1])) number = number * 10 + (name[1] - '0');
  return number;
}

std::string EmoticonCodeOfFile(std::string_view path) { return EmoticonCode(EmoticonNumberOfFile(path)); }

std::vector<std::string> PickerBitmaps() {
  std::vector<std::string> bitmaps;
  for (const EmoticonEntry& entry : kTable) {
    if (entry.picker != nullptr) bitmaps.emplace_back(entry.picker);
  }
  return bitmaps;
}

std::map<int, std::string> NumberToCodeMap() {
  std::map<int, std::string> map;
  for (int n = 1; n <= kEmoticonCount; ++n) map[n] = EmoticonCode(n);
  return map;
}

std::map<std::string, std::string> CodeToFileMap() {
  std::map<std::string, std::string> map;
  for (const EmoticonEntry& entry : kTable) map[EmoticonCode(entry.number)] = entry.picture;
  return map;
}

std::vector<TextPiece> SplitAtEmoticonCodes(std::string_view text) {
  std::vector<TextPiece> pieces;
  std::size_t done = 0;
  std::size_t search = 0;
  for (;;) {
    const std::size_t pos = text.find(kEmoticonCodePrefix, search);
    if (pos == std::string_view::npos) break;
    const std::size_t end = CodeEnd(text, pos);
    if (end == std::string_view::npos) break;
    const std::string_view code = text.substr(pos, end - pos);
    const std::string file = EmoticonFileOfCode(code);
    if (file.empty()) {
      // Not an emoticon: the code stays text, and the search goes on after its prefix (its last
      // characters may start a real code, as in "\:F\:F01").
      search = pos + kEmoticonCodePrefix.size();
      continue;
    }
    AppendText(pieces, text.substr(done, pos - done));
    pieces.push_back(TextPiece{TextPiece::Kind::kPicture, std::string(code), file});
    done = search = end;
  }
  AppendText(pieces, text.substr(done));
  return pieces;
}

std::string TextWithCodes(std::string_view text, const std::vector<PictureRecord>& records) {
  std::string out;
  out.reserve(text.size());
  int index = 0;
  for (std::size_t pos = 0; pos < text.size(); ++index) {
    const std::size_t length = CharLengthAt(text, pos);
    const std::string_view character = text.substr(pos, length);
    pos += length;
    if (character != kPicturePlaceholder) {
      out.append(character);
      continue;
    }
    for (const PictureRecord& record : records) {
      if (record.position == index + 1) {
        out.append(record.code);
        break;
      }
    }
  }
  return out;
}

}  // namespace qrv
