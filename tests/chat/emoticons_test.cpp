// The emoticon tables, the splitting of chat texts at their codes and the text with codes that
// comes back from a control's pictures, the history's header lines, and the rich text kept in
// memory: pure logic, no window.

#include "chat/emoticons.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "chat/chat_lines.h"
#include "chat/rich_text.h"

namespace qrv {
namespace {

const std::string kBox(kPicturePlaceholder);

TEST(EmoticonsTest, TablesCodesFilesAndNumbers) {
  const auto codes = NumberToCodeMap();
  ASSERT_EQ(codes.size(), 27u);
  EXPECT_EQ(codes.at(1), "\\:F01");
  EXPECT_EQ(codes.at(9), "\\:F09");
  EXPECT_EQ(codes.at(10), "\\:F10");
  EXPECT_EQ(codes.at(27), "\\:F27");
  EXPECT_EQ(EmoticonCode(0), "");
  EXPECT_EQ(EmoticonCode(28), "");

  const auto files = CodeToFileMap();
  ASSERT_EQ(files.size(), 27u);
  for (int n = 1; n <= 27; ++n) {
    // Every picture's name starts with its number, so the code comes back from the file name.
    const std::string file = EmoticonFileOfCode(EmoticonCode(n));
    EXPECT_EQ(files.at(EmoticonCode(n)), file);
    EXPECT_EQ(EmoticonNumberOfFile(file), n) << file;
    EXPECT_EQ(EmoticonCodeOfFile("emotions/" + file), EmoticonCode(n));
  }
  EXPECT_EQ(EmoticonFileOfCode("\\:F13"), "130.gif");
  EXPECT_EQ(EmoticonFileOfCode("\\:F10"), "10.gif");
  EXPECT_EQ(EmoticonFileOfCode("\\:F28"), "");
  EXPECT_EQ(EmoticonFileOfCode("\\:F1"), "");
  EXPECT_EQ(EmoticonCodeOfFile("/x/emotions/130.gif"), "\\:F13");
  EXPECT_EQ(EmoticonNumberOfFile("1.gif"), 1);
  EXPECT_EQ(EmoticonNumberOfFile("picture.gif"), 0);
  EXPECT_EQ(EmoticonCodeOfFile("99.gif"), "");

  const auto bitmaps = PickerBitmaps();
  ASSERT_EQ(bitmaps.size(), 24u);
  EXPECT_EQ(bitmaps.front(), "1.bmp");
  EXPECT_EQ(bitmaps[9], "11.bmp");  // 10 has none
  EXPECT_EQ(bitmaps[10], "130.bmp");
  EXPECT_EQ(bitmaps.back(), "27.bmp");
  for (const char* absent : {"10.bmp", "12.bmp", "19.bmp"})
    EXPECT_EQ(std::count(bitmaps.begin(), bitmaps.end(), absent), 0) << absent;
}

using Kind = TextPiece::Kind;

TEST(EmoticonsTest, TextsSplitAtTheirCodesAndUnknownCodesStayText) {
  EXPECT_EQ(SplitAtEmoticonCodes("a\\:F01b"),
            (std::vector<TextPiece>{
                {Kind::kText, "a", ""}, {Kind::kPicture, "\\:F01", "1.gif"}, {Kind::kText, "b", ""}}));
  EXPECT_EQ(
      SplitAtEmoticonCodes("\\:F13\\:F27"),
      (std::vector<TextPiece>{{Kind::kPicture, "\\:F13", "130.gif"}, {Kind::kPicture, "\\:F27", "27.gif"}}));
  // Codes outside the table, a code cut off by the end, and a code of two Chinese characters are
  // all text; a real code right after a false start is still found.
  EXPECT_EQ(SplitAtEmoticonCodes("x\\:F28y\\:F你好\\:F0"),
            (std::vector<TextPiece>{{Kind::kText, "x\\:F28y\\:F你好\\:F0", ""}}));
  EXPECT_EQ(SplitAtEmoticonCodes("\\:F\\:F05!"),
            (std::vector<TextPiece>{
                {Kind::kText, "\\:F", ""}, {Kind::kPicture, "\\:F05", "5.gif"}, {Kind::kText, "!", ""}}));
  EXPECT_TRUE(SplitAtEmoticonCodes("").empty());
}

TEST(EmoticonsTest, TextWithCodesPutsEachRecordedPictureBack) {
  // "a", the picture of \:F01, "b": the picture is character 1, its record says 2.
  EXPECT_EQ(TextWithCodes("a" + kBox + "b", {{2, "\\:F01"}}), "a\\:F01b");
  EXPECT_EQ(TextWithCodes("no pictures", {}), "no pictures");
  EXPECT_EQ(TextWithCodes("no pictures", {{3, "\\:F02"}}), "no pictures");
  // Positions count characters, not bytes; a picture without a record leaves nothing.
  EXPECT_EQ(TextWithCodes("你好" + kBox + kBox + "吗" + kBox, {{3, "\\:F13"}, {6, "\\:F10"}}),
            "你好\\:F13吗\\:F10");

  // Whatever a text is, showing it (pieces to pictures) and reading it back gives it again.
  for (const std::string text : {"a\\:F01b", "你好\\:F01", "\\:F28\\:F27\\:F27", "\\:F09x\\:F1", "plain"}) {
    std::string shown;
    std::vector<PictureRecord> records;
    int characters = 0;
    for (const TextPiece& piece : SplitAtEmoticonCodes(text)) {
      if (piece.kind == Kind::kPicture) {
        shown += kBox;
        records.push_back({++characters, piece.text});
      } else {
        shown += piece.text;
        characters += static_cast<int>(g_utf8_strlen(piece.text.c_str(), -1));
      }
    }
    EXPECT_EQ(TextWithCodes(shown, records), text);
  }
}

TEST(ChatLinesTest, HeadersWithoutLeadingZerosInTheirFormats) {
  const LocalDateTime time{2026, 3, 2, 9, 5, 3};
  EXPECT_EQ(ChatTimeText(time), "2026-3-2 9:5:3");
  EXPECT_EQ(ChatHeaderLine(ChatMessageKind::kAgent, "客服小青", time), "客服小青  2026-3-2 9:5:3");
  EXPECT_EQ(ChatHeaderLine(ChatMessageKind::kOwn, "客服小青", LocalDateTime{2013, 12, 31, 23, 59, 59}),
            "我  2013-12-31 23:59:59");
  const RichTextFormat own = ChatHeaderFormat(ChatMessageKind::kOwn);
  EXPECT_EQ(own.rgb, 0x009600u);
  EXPECT_EQ(own.size_pt, 14);
  EXPECT_EQ(own.face, "Times   New   Roman");
  EXPECT_FALSE(own.bold);
  EXPECT_EQ(ChatHeaderFormat(ChatMessageKind::kAgent).rgb, 0x0000FFu);
  EXPECT_EQ(ChatTextFormat(), (RichTextFormat{14, 0x000000, "", false}));
  EXPECT_NE(TooLongNotice(70000).find("70000"), std::string::npos);
  EXPECT_NE(TooLongNotice(70000).find("65516"), std::string::npos);
}

TEST(MemoryRichTextTest, InsertsAtTheCaretReplacesTheSelectionAndKeepsFormats) {
  MemoryRichText text;
  RichTextFormat blue;
  blue.rgb = 0x0000FF;
  text.InsertText("ab", nullptr);
  text.SetCaret(1);
  text.InsertText("你", &blue);
  EXPECT_EQ(text.Text(), "a你b");
  EXPECT_EQ(text.Caret(), 2);
  EXPECT_FALSE(text.InsertPicture("/no/such/file.gif", "\\:F01"));
  EXPECT_EQ(text.CharCount(), 3);

  text.Select(0, 2);
  text.InsertText("x", nullptr);
  EXPECT_EQ(text.Text(), "xb");
  const auto runs = text.Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].text, "xb");
  text.Select(0, -1);
  EXPECT_EQ(text.Selection(), (std::pair<int, int>{0, 2}));
  text.DeleteSelection();
  EXPECT_EQ(text.Text(), "");
}

}  // namespace
}  // namespace qrv
