// The text markup and the attribute value syntax, on plain strings.

#include <gtest/gtest.h>

#include "ui/core/ui_parse.h"
#include "ui/render/image_draw.h"
#include "ui/render/text_markup.h"

namespace qrv::ui {
namespace {

using Kind = MarkupItem::Kind;

TEST(TextMarkup, AgentRowWithBracesGivesSpacesPictureAndText) {
  const ParsedMarkup m = ParseMarkup("{x 4}{i gameicons.png 18 12}{x 4}小王 在线");
  ASSERT_EQ(m.items.size(), 4u);
  EXPECT_EQ(m.items[0].kind, Kind::kSpace);
  EXPECT_EQ(m.items[0].space, 4);
  EXPECT_EQ(m.items[1].kind, Kind::kImage);
  EXPECT_EQ(m.items[1].image, "gameicons.png");
  EXPECT_EQ(m.items[1].image_count, 18);
  EXPECT_EQ(m.items[1].image_index, 12);
  EXPECT_EQ(m.items[2].kind, Kind::kSpace);
  EXPECT_EQ(m.items[3].kind, Kind::kText);
  EXPECT_EQ(m.items[3].text, "小王 在线");
  EXPECT_EQ(m.PlainText(), "小王 在线");
}

TEST(TextMarkup, AngleTagsColourBoldUnderlineAndNesting) {
  const ParsedMarkup m = ParseMarkup("<x 20><c #808080>每天</c> <b>粗<u>线</u></b>尾");
  ASSERT_EQ(m.items.size(), 6u);
  EXPECT_EQ(m.items[0].space, 20);
  EXPECT_EQ(m.items[1].text, "每天");
  ASSERT_TRUE(m.items[1].style.color.has_value());
  EXPECT_EQ(*m.items[1].style.color, 0xff808080u);
  EXPECT_EQ(m.items[2].text, " ");
  EXPECT_FALSE(m.items[2].style.color.has_value());
  EXPECT_TRUE(m.items[3].style.bold);
  EXPECT_FALSE(m.items[3].style.underline);
  EXPECT_EQ(m.items[4].text, "线");
  EXPECT_TRUE(m.items[4].style.bold && m.items[4].style.underline);
  EXPECT_EQ(m.items[5].text, "尾");
  EXPECT_FALSE(m.items[5].style.bold || m.items[5].style.underline);
}

TEST(TextMarkup, RedColourAndFontScopesCloseInOrder) {
  const ParsedMarkup m = ParseMarkup("<c #ff0000>红<f 1>大</f><c #00ff00>绿</c>红</c>黑");
  ASSERT_EQ(m.items.size(), 5u);
  EXPECT_EQ(*m.items[0].style.color, 0xffff0000u);
  EXPECT_EQ(m.items[1].style.font, 1);
  EXPECT_EQ(*m.items[1].style.color, 0xffff0000u);
  EXPECT_EQ(*m.items[2].style.color, 0xff00ff00u);
  EXPECT_EQ(m.items[2].style.font, -1);
  EXPECT_EQ(*m.items[3].style.color, 0xffff0000u);
  EXPECT_FALSE(m.items[4].style.color.has_value());
}

TEST(TextMarkup, LinksAreNumberedAndKeepTheirTargets) {
  const ParsedMarkup m = ParseMarkup("<x 6><a><i tree_expand.png 2 1></a>组 {a http://x/}看{/a}");
  ASSERT_EQ(m.links.size(), 2u);
  EXPECT_EQ(m.links[0], "");
  EXPECT_EQ(m.links[1], "http://x/");
  EXPECT_EQ(m.items[1].kind, Kind::kImage);
  EXPECT_EQ(m.items[1].style.link, 0);
  EXPECT_EQ(m.items[1].image_count, 2);
  EXPECT_EQ(m.items[1].image_index, 1);
  EXPECT_EQ(m.items[2].text, "组 ");
  EXPECT_EQ(m.items[2].style.link, -1);
  EXPECT_EQ(m.items[3].style.link, 1);
}

TEST(TextMarkup, PictureAtItsOwnSizeAndLineBreaks) {
  const ParsedMarkup m = ParseMarkup("<i list_icon_b.png><x 10>名<n>二{n}三");
  EXPECT_EQ(m.items[0].image, "list_icon_b.png");
  EXPECT_EQ(m.items[0].image_count, 1);
  EXPECT_EQ(m.items[0].image_index, 0);
  EXPECT_EQ(m.PlainText(), "名\n二\n三");
}

TEST(TextMarkup, WhatIsNotATagStaysText) {
  EXPECT_EQ(ParseMarkup("a < b > c").PlainText(), "a < b > c");
  EXPECT_EQ(ParseMarkup("{x}<c>{unknown} <b").PlainText(), "{x}<c>{unknown} <b");
  EXPECT_EQ(ParseMarkup("3<5 and 7>2").PlainText(), "3<5 and 7>2");
  // Closing tags without an opening one are dropped; italics without a file.
  const ParsedMarkup m = ParseMarkup("</b>x<i>y</i>");
  EXPECT_EQ(m.PlainText(), "xy");
  EXPECT_TRUE(m.items[1].style.italic);
}

TEST(AttributeValues, Colours) {
  EXPECT_EQ(ParseColor("#FF1B2838"), 0xff1b2838u);
  EXPECT_EQ(ParseColor("#00279188"), 0x00279188u);
  EXPECT_EQ(ParseColor("#ff0000"), 0xffff0000u);
  EXPECT_EQ(ParseColor("0xFF000000"), 0xff000000u);
  EXPECT_FALSE(ParseColor("red").has_value());
  EXPECT_FALSE(ParseColor("#12345").has_value());
  EXPECT_FALSE(ParseColor("#GG0000").has_value());
  EXPECT_EQ(OpaqueColor(*ParseColor("#00279188")), 0xff279188u);
}

TEST(AttributeValues, RectsSizesAndBooleans) {
  EXPECT_EQ(ParseRect("-24,12,-12,24"), (RECT{-24, 12, -12, 24}));
  EXPECT_EQ(ParseRect(" 2, 0 ,2,0"), (RECT{2, 0, 2, 0}));
  EXPECT_EQ(ParseRect("5"), (RECT{5, 0, 0, 0}));
  EXPECT_EQ(ParseSize("620,380"), (CDuiSize{620, 380}));
  EXPECT_TRUE(ParseBool("true"));
  EXPECT_TRUE(ParseBool("TRUE"));
  EXPECT_FALSE(ParseBool("false"));
  EXPECT_FALSE(ParseBool(""));
  EXPECT_EQ(ParseInt("12px"), 12);
  EXPECT_EQ(ParseInt("x", 7), 7);
}

TEST(AttributeValues, ServerButtonListSplitsExactly) {
  const auto pairs = SplitAttributeList(
      R"(name="serbutton100" float="true" pos="52,0,0,0" width="139" height="28" textcolor="#00279188" disabledtextcolor="#FFA7A6AA" align="left")");
  ASSERT_EQ(pairs.size(), 8u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"name", "serbutton100"}));
  EXPECT_EQ(pairs[2].second, "52,0,0,0");
  EXPECT_EQ(pairs[7], (std::pair<std::string, std::string>{"align", "left"}));
}

TEST(AttributeValues, ListsWithImageSubSyntaxExtraSpacesAndTrailingSpace) {
  const auto pairs = SplitAttributeList(
      R"( float="false" group="group1" text="新页面3" name="page3" height="30" normalimage="file='tabitem.png' source='0,0,174,32'" hotimage="file='ser.png'  source='0,424,21,444'" textalign="center" )");
  ASSERT_EQ(pairs.size(), 8u);
  EXPECT_EQ(pairs[2].second, "新页面3");
  EXPECT_EQ(pairs[5].second, "file='tabitem.png' source='0,0,174,32'");
  EXPECT_EQ(pairs[6].second, "file='ser.png'  source='0,424,21,444'");
  EXPECT_EQ(pairs[7].first, "textalign");
}

TEST(AttributeValues, MalformedListKeepsWhatCameBefore) {
  const auto pairs = SplitAttributeList(R"(name="a" width=12 height="3")");
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].second, "a");
  EXPECT_TRUE(SplitAttributeList(R"(text="unterminated)").empty());
}

TEST(ImageSpec, BareNameAndFullSubSyntax) {
  EXPECT_EQ(ParseImageSpec("tab_close_Crop1.png").file, "tab_close_Crop1.png");
  const ImageSpec spec = ParseImageSpec(
      "file='ser.png' source='0,114,75,135' corner='2,1,2,1' fade='100' mask='#FF0A0A0A' dest='1,2,3,4'");
  EXPECT_EQ(spec.file, "ser.png");
  EXPECT_EQ(*spec.source, (RECT{0, 114, 75, 135}));
  EXPECT_EQ(spec.corner, (RECT{2, 1, 2, 1}));
  EXPECT_EQ(spec.fade, 100);
  EXPECT_EQ(*spec.mask, 0xff0a0a0au);
  EXPECT_EQ(*spec.dest, (RECT{1, 2, 3, 4}));
  const ImageSpec spaced = ParseImageSpec("file='ser.png'  source='0,424,21,444' ");
  EXPECT_EQ(spaced.file, "ser.png");
  EXPECT_EQ(*spaced.source, (RECT{0, 424, 21, 444}));
  EXPECT_EQ(ParseImageSpec("file='x.png' fade='900'").fade, 255);
}

TEST(Utf8, LengthsAndOffsets) {
  const std::string text = "a中b";
  EXPECT_EQ(Utf8Length(text), 3u);
  EXPECT_EQ(Utf8Offset(text, 1), 1u);
  EXPECT_EQ(Utf8Offset(text, 2), 4u);
  EXPECT_EQ(Utf8Offset(text, 9), text.size());
  std::string out;
  AppendUtf8(out, 0x4e2d);
  AppendUtf8(out, 0x1f600);
  AppendUtf8(out, 0xd800);  // a lone surrogate becomes U+FFFD
  EXPECT_EQ(out, "中\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

}  // namespace
}  // namespace qrv::ui
