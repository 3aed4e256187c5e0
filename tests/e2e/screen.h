#pragma once
// What the end-to-end tests read off the real screen and the automation interface: window
// rectangles, colours on screen, screenshots of a window's rectangle (taken with
// `import -window root`: windows with an alpha visual come out right that way), and whether a
// screenshot shows a skin rather than a uniform box.

#include <gtest/gtest.h>
#include <json-glib/json-glib.h>

#include <array>
#include <functional>
#include <string>

#include "automation/automation_client.h"

namespace qrv::e2e {

using Rect = std::array<int, 4>;  // left, top, right, bottom

// Waits (polling every 100 ms) until `done` holds; false at the timeout.
bool WaitFor(const std::function<bool()>& done, int timeout_ms = 30000);

// What a shell command prints, or "" when it fails.
std::string CommandOutput(const std::string& command);
// Runs xdotool with `arguments` (pointer and keyboard on the display); true when it succeeded.
bool Xdotool(const std::string& arguments);

// The "rect" member of an automation answer's object.
Rect RectOf(JsonObject* object);
// The screen rectangle of the first visible window of class `cls`, or all zeros.
Rect VisibleWindowRect(qrv::testing::AutomationClient& automation, const std::string& cls);
// The screen rectangle of the first window of class `cls`, visible or not, or all zeros.
Rect WindowRect(qrv::testing::AutomationClient& automation, const std::string& cls);
// A string or boolean member of the first window of class `cls` in the automation's window list
// ("" or false when there is no such window or member).
std::string WindowString(qrv::testing::AutomationClient& automation, const std::string& cls,
                         const char* member);
bool WindowFlag(qrv::testing::AutomationClient& automation, const std::string& cls, const char* member);
// Every window of class `cls` (visible or not), and how many there are.
int WindowCount(qrv::testing::AutomationClient& automation, const std::string& cls);

// The colour on screen at a point, as "RRGGBB".
std::string ScreenColor(int x, int y);

// Saves the screen inside `rect`, grown by `margin` on every side, to `png`; returns the number of
// distinct colours in it (0 when the screenshot failed). A painted skin has hundreds; a blank or
// uniformly filled window has one or two.
int SaveScreenshot(const Rect& rect, const std::string& png, int margin = 0);

// The folder the end-to-end tests keep their screenshots in.
std::string ScreenshotFolder();

// Photographs the visible window of class `cls` into the screenshot folder as `file` and fails
// the test unless its rectangle shows a skin. Shown is not yet painted: the photograph is taken
// again until the skin is on the screen, for a while. A window laid over other windows (whose
// old pixels are no uniform box either) names a check of its own look in `painted`, given the
// window's rectangle.
void ExpectSkinShown(qrv::testing::AutomationClient& automation, const std::string& cls,
                     const std::string& file, const std::function<bool(const Rect&)>& painted = nullptr);

}  // namespace qrv::e2e
