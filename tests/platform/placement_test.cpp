// Keeping a rectangle inside a work area: moved as little as it takes, its size kept when it
// fits and cut to the area when it does not.

#include "platform/placement.h"

#include <gtest/gtest.h>

#include "platform/headless_windows.h"

namespace qrv {
namespace {

TEST(PlacementTest, RectanglesAreMovedIntoTheAreaAsLittleAsItTakes) {
  const RECT area{0, 30, 640, 400};
  // Inside already: unchanged.
  EXPECT_EQ(FitInside(RECT{10, 40, 110, 140}, area), (RECT{10, 40, 110, 140}));
  // Above the top (a server list 50 pixels above a window at the top), off the right edge.
  EXPECT_EQ(FitInside(RECT{150, -50, 750, 350}, area), (RECT{40, 30, 640, 400}));
  EXPECT_EQ(FitInside(RECT{600, 100, 700, 200}, area), (RECT{540, 100, 640, 200}));
  EXPECT_EQ(FitInside(RECT{-20, 390, 80, 490}, area), (RECT{0, 300, 100, 400}));
  // Larger than the area: cut to it, at its edge.
  EXPECT_EQ(FitInside(RECT{100, 100, 900, 600}, area), (RECT{0, 30, 640, 400}));
  // No area known: left alone.
  EXPECT_EQ(FitInside(RECT{-5, -5, 5, 5}, RECT{}), (RECT{-5, -5, 5, 5}));

  // On the monitor of the headless windows, whose work area is the one it keeps windows in.
  HeadlessWindows& windows = HeadlessWindows::Install();
  windows.set_work_area(RECT{0, 0, 800, 560});
  EXPECT_EQ(KeptOnMonitor(RECT{700, 500, 900, 600}), (RECT{600, 460, 800, 560}));
}

}  // namespace
}  // namespace qrv
