// Hotkey text: the combinations the settings file and the hotkey fields write, read back into
// modifier flags and key codes, and written again.

#include "tools/hotkey_text.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

TEST(HotkeyTextTest, ParsesEveryPrefixAndLetter) {
  EXPECT_EQ(ParseHotkeyText("ALT+Q"), (Hotkey{1, 81}));
  EXPECT_EQ(ParseHotkeyText("ALT+A"), (Hotkey{1, 65}));
  EXPECT_EQ(ParseHotkeyText("CTRL+SHIFT+K"), (Hotkey{6, 75}));
  EXPECT_EQ(ParseHotkeyText("CTRL+SHIFT+Z"), (Hotkey{6, 90}));
  EXPECT_EQ(ParseHotkeyText("SHIFT+A"), (Hotkey{4, 65}));
  EXPECT_EQ(ParseHotkeyText("CTRL+Q"), (Hotkey{2, 81}));
  for (const char* text : {"ALT+Q", "CTRL+SHIFT+K", "SHIFT+A", "CTRL+Q"}) {
    EXPECT_TRUE(ParseHotkeyText(text).IsUsable()) << text;
  }
}

TEST(HotkeyTextTest, UnknownOrMiscasedPrefixesAddNothing) {
  // Only the exact prefixes count; the key is still read.
  EXPECT_EQ(ParseHotkeyText("WIN+A"), (Hotkey{0, 65}));
  EXPECT_EQ(ParseHotkeyText("alt+Q"), (Hotkey{0, 81}));
  EXPECT_EQ(ParseHotkeyText("ALT+WIN+CTRL+B"), (Hotkey{MOD_ALT | MOD_CONTROL, 66}));
  // A combination without a modifier would take the letter from every program: not usable.
  EXPECT_FALSE(ParseHotkeyText("WIN+A").IsUsable());
  EXPECT_FALSE(ParseHotkeyText("Q").IsUsable());
}

TEST(HotkeyTextTest, TextsWithoutALetterGiveNoUsableKey) {
  const Hotkey none = ParseHotkeyText(kNoHotkeyText);
  EXPECT_EQ(none.modifiers, 0);
  EXPECT_NE(none.key, 0);  // the first byte of "无", sign-extended: no virtual key has it
  EXPECT_GT(none.key, 0xFF);
  EXPECT_FALSE(none.IsUsable());

  EXPECT_EQ(ParseHotkeyText("CTRL+SHIFT+"), (Hotkey{6, 0}));
  EXPECT_FALSE(ParseHotkeyText("CTRL+SHIFT+").IsUsable());
  EXPECT_EQ(ParseHotkeyText(""), (Hotkey{0, 0}));
  EXPECT_EQ(ParseHotkeyText("ALT+1"), (Hotkey{1, '1'}));
  EXPECT_FALSE(ParseHotkeyText("ALT+1").IsUsable());
}

TEST(HotkeyTextTest, LowercaseLetterIsItsUppercaseKeyNotAFunctionKey) {
  // 'q' is 113, the code of F2; a hand-edited setting means the letter.
  EXPECT_EQ(ParseHotkeyText("ALT+q"), (Hotkey{1, 'Q'}));
  EXPECT_EQ(ParseHotkeyText("CTRL+SHIFT+z"), (Hotkey{6, 'Z'}));
}

TEST(HotkeyTextTest, EmptySettingsFallBackToTheDefaults) {
  EXPECT_EQ(HotkeyFromSetting("", kDefaultBossHotkey), (Hotkey{MOD_ALT, 'Q'}));
  EXPECT_EQ(HotkeyFromSetting("", kDefaultCaptureHotkey), (Hotkey{MOD_ALT, 'A'}));
  EXPECT_EQ(HotkeyFromSetting("WIN+", kDefaultBossHotkey), kDefaultBossHotkey);
  // A stored value that parses to something is kept, usable or not.
  EXPECT_EQ(HotkeyFromSetting("CTRL+SHIFT+K", kDefaultBossHotkey), (Hotkey{6, 75}));
  EXPECT_EQ(HotkeyFromSetting(kNoHotkeyText, kDefaultBossHotkey), ParseHotkeyText(kNoHotkeyText));
  EXPECT_EQ(HotkeyFromSetting("CTRL+", kDefaultCaptureHotkey), (Hotkey{MOD_CONTROL, 0}));
}

TEST(HotkeyTextTest, FormatsWhatTheGrammarCanSayAndRoundTrips) {
  EXPECT_EQ(FormatHotkeyText({MOD_ALT, 'Q'}), "ALT+Q");
  EXPECT_EQ(FormatHotkeyText({MOD_CONTROL | MOD_SHIFT, 'K'}), "CTRL+SHIFT+K");
  EXPECT_EQ(FormatHotkeyText({MOD_SHIFT, 'A'}), "SHIFT+A");
  EXPECT_EQ(FormatHotkeyText({MOD_CONTROL, 'Z'}), "CTRL+Z");
  for (unsigned modifiers : {MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_CONTROL | MOD_SHIFT}) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const Hotkey hotkey{static_cast<std::uint16_t>(modifiers), static_cast<std::uint16_t>(letter)};
      EXPECT_EQ(ParseHotkeyText(FormatHotkeyText(hotkey)), hotkey) << modifiers << letter;
    }
  }
  // No letter, no modifier, or Alt with another modifier: the grammar has no text for it.
  EXPECT_EQ(FormatHotkeyText({MOD_ALT, 0}), kNoHotkeyText);
  EXPECT_EQ(FormatHotkeyText({0, 'A'}), kNoHotkeyText);
  EXPECT_EQ(FormatHotkeyText({MOD_ALT | MOD_CONTROL, 'A'}), kNoHotkeyText);
  EXPECT_EQ(FormatHotkeyText({MOD_ALT, VK_F4}), kNoHotkeyText);
  EXPECT_EQ(FormatHotkeyText(ParseHotkeyText(kNoHotkeyText)), kNoHotkeyText);
}

}  // namespace
}  // namespace qrv
