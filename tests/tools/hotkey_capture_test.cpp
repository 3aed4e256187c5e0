// The hotkey field's capture rules, as key sequences: what each leaves in the field.

#include "tools/hotkey_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_system.h"
#include "tools/hotkey_text.h"

namespace qrv {
namespace {

// One press ('+') or release ('-') of a virtual key.
struct Stroke {
  char action;
  unsigned vk;
};

constexpr unsigned kCtrl = VK_CONTROL;
constexpr unsigned kShift = VK_SHIFT;
constexpr unsigned kAlt = VK_MENU;

struct Case {
  const char* what;
  std::vector<Stroke> strokes;
  std::string shown;
};

TEST(HotkeyCaptureTest, KeySequencesLeaveTheTextOfTheirCombination) {
  const std::string none(kNoHotkeyText);
  const std::vector<Case> cases = {
      {"a letter alone is an Alt hotkey", {{'+', 'Q'}, {'-', 'Q'}}, "ALT+Q"},
      {"Ctrl then Q", {{'+', kCtrl}, {'+', 'Q'}, {'-', 'Q'}, {'-', kCtrl}}, "CTRL+Q"},
      {"Ctrl released before Q", {{'+', kCtrl}, {'+', 'Q'}, {'-', kCtrl}, {'-', 'Q'}}, "CTRL+Q"},
      {"Ctrl, Shift, then Q",
       {{'+', kCtrl}, {'+', kShift}, {'+', 'Q'}, {'-', 'Q'}, {'-', kShift}, {'-', kCtrl}},
       "CTRL+SHIFT+Q"},
      {"Shift before Ctrl, released in another order",
       {{'+', kShift}, {'+', kCtrl}, {'+', 'K'}, {'-', kCtrl}, {'-', 'K'}, {'-', kShift}},
       "CTRL+SHIFT+K"},
      {"Shift then A", {{'+', kShift}, {'+', 'A'}, {'-', 'A'}, {'-', kShift}}, "SHIFT+A"},
      {"Alt then W (Alt arrives as a key of its own)",
       {{'+', kAlt}, {'+', 'W'}, {'-', 'W'}, {'-', kAlt}},
       "ALT+W"},
      {"Ctrl held down repeats",
       {{'+', kCtrl}, {'+', kCtrl}, {'+', kCtrl}, {'+', 'B'}, {'-', 'B'}, {'-', kCtrl}},
       "CTRL+B"},
      {"a second letter replaces the first",
       {{'+', kCtrl}, {'+', 'A'}, {'-', 'A'}, {'+', 'Z'}, {'-', 'Z'}, {'-', kCtrl}},
       "CTRL+Z"},
      {"Ctrl pressed and released alone", {{'+', kCtrl}, {'-', kCtrl}}, none},
      {"Shift pressed and released alone", {{'+', kShift}, {'-', kShift}}, none},
      {"Alt pressed and released alone", {{'+', kAlt}, {'-', kAlt}}, none},
      {"a digit", {{'+', '1'}, {'-', '1'}}, none},
      {"a function key", {{'+', VK_F5}, {'-', VK_F5}}, none},
      {"Ctrl with a digit", {{'+', kCtrl}, {'+', '7'}, {'-', '7'}, {'-', kCtrl}}, none},
      {"a good combination, then Backspace",
       {{'+', kCtrl}, {'+', 'Q'}, {'-', 'Q'}, {'-', kCtrl}, {'+', VK_BACK}, {'-', VK_BACK}},
       none},
      // Both prefixes without a letter stay as typed; the text parses to no usable key.
      {"Ctrl and Shift without a letter",
       {{'+', kCtrl}, {'+', kShift}, {'-', kShift}, {'-', kCtrl}},
       "CTRL+SHIFT+"},
  };
  for (const Case& c : cases) {
    HotkeyCapture capture;
    capture.SetText("ALT+Q");
    for (const Stroke& stroke : c.strokes) {
      if (stroke.action == '+')
        capture.KeyDown(stroke.vk);
      else
        capture.KeyUp(stroke.vk);
    }
    EXPECT_EQ(capture.text(), c.shown) << c.what;
    EXPECT_FALSE(capture.control_held()) << c.what;
    EXPECT_FALSE(capture.shift_held()) << c.what;
  }
}

TEST(HotkeyCaptureTest, TheTextWhileKeysAreHeld) {
  HotkeyCapture capture;
  capture.KeyDown(VK_CONTROL);
  EXPECT_EQ(capture.text(), "CTRL+");
  EXPECT_TRUE(capture.control_held());
  capture.KeyDown(VK_SHIFT);
  EXPECT_EQ(capture.text(), "CTRL+SHIFT+");
  capture.KeyDown('K');
  EXPECT_EQ(capture.text(), "CTRL+SHIFT+K");
  capture.KeyUp(VK_SHIFT);
  EXPECT_FALSE(capture.shift_held());
  EXPECT_EQ(capture.text(), "CTRL+SHIFT+K");
  // Still holding Ctrl, a new letter makes a Ctrl combination.
  capture.KeyUp('K');
  capture.KeyDown('M');
  EXPECT_EQ(capture.text(), "CTRL+M");
  EXPECT_EQ(ParseHotkeyText(capture.text()), (Hotkey{MOD_CONTROL, 'M'}));
}

}  // namespace
}  // namespace qrv
