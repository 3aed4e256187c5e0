#pragma once
// The emoticon set and the text rules around it, with no window involved.
//
// On the wire and in every chat text an emoticon is a five-character code, "\:F01" to "\:F27";
// on screen it is an animated picture from the folder "emotions" beside the program. Each of the
// 27 emoticons has a number (the key), a code made from the number, a picture file whose name
// starts with the number ("130.gif" is number 13), and, for 24 of them, a bitmap of the picker.
//
// In a text control every picture stands as one object replacement character (U+FFFC); the
// control keeps a record {position just after the picture, code} for each emoticon it shows, and
// TextWithCodes puts the codes back in place of the pictures.

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

struct EmoticonEntry {
  int number;
  const char* picture;  // file name in "emotions/"
  const char* picker;   // the picker's bitmap in the skin, or null (10, 12 and 19 have none)
};

inline constexpr int kEmoticonCount = 27;
inline constexpr std::string_view kEmoticonCodePrefix = "\\:F";
inline constexpr std::size_t kEmoticonCodeChars = 5;  // "\:F" and two more characters
inline constexpr char kEmoticonFolder[] = "emotions/";
// What a picture stands as in a text control's text.
inline constexpr std::string_view kPicturePlaceholder = "\xEF\xBF\xBC";  // U+FFFC

const std::array<EmoticonEntry, kEmoticonCount>& EmoticonTable();

// "\:F0%d" for numbers below 10, "\:F%d" from 10 on; empty outside 1 to 27.
std::string EmoticonCode(int number);
// The picture file of a code ("\:F13" gives "130.gif"); empty for a code outside the table.
std::string EmoticonFileOfCode(std::string_view code);
// The number a picture file's name stands for: its first two characters read as a decimal
// number ("1.gif" 1, "130.gif" 13, "27.gif" 27). 0 when the name does not start with a digit.
// A folder in front of the name is skipped.
int EmoticonNumberOfFile(std::string_view path);
// The code of a picture file (through its number); empty when the number has no code.
std::string EmoticonCodeOfFile(std::string_view path);
// The picker's bitmaps in table order: "1.bmp" ... "27.bmp", 24 of them.
std::vector<std::string> PickerBitmaps();

// The two maps a text control keeps: numbers 1 to 27 to their codes, and the 27 codes to their
// picture files.
std::map<int, std::string> NumberToCodeMap();
std::map<std::string, std::string> CodeToFileMap();

// One piece of a chat text as it is shown: plain text, or the picture of an emoticon code.
struct TextPiece {
  enum class Kind { kText, kPicture };
  Kind kind = Kind::kText;
  std::string text;  // the text, or the code of the picture
  std::string file;  // the picture file (kPicture only)
  friend bool operator==(const TextPiece&, const TextPiece&) = default;
};

// Splits a text at its emoticon codes: every "\:F" with two characters after it is a code, and a
// code of the table becomes a picture piece. A code outside the table ("\:F28", "\:Fxy") and a
// "\:F" too near the end for a whole code stay text, so nothing the sender typed is lost.
// Neighbouring text is joined into one piece; empty text pieces are left out.
std::vector<TextPiece> SplitAtEmoticonCodes(std::string_view text);

// A picture shown in a text control: `position` is the character index just after it.
struct PictureRecord {
  int position = 0;
  std::string code;
  friend bool operator==(const PictureRecord&, const PictureRecord&) = default;
};

// The text of a control with each picture replaced by its code: `text` holds one placeholder per
// picture, and the picture whose placeholder is character i is the record with position i + 1.
// A placeholder without a record (a picture that is no emoticon) leaves nothing; records that
// match no placeholder are ignored. A text without pictures comes back unchanged.
std::string TextWithCodes(std::string_view text, const std::vector<PictureRecord>& records);

}  // namespace qrv
