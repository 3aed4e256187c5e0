// The calendar arithmetic under the alarms, and the test clock that runs with the virtual loop.

#include "platform/wall_clock.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/headless_loop.h"
#include "platform/message_core.h"

namespace qrv {
namespace {

LocalDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return LocalDateTime{y, mo, d, h, mi, s};
}

TEST(WallClockTest, CalendarArithmeticAcrossMonthsLeapYearsAndTheEpoch) {
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2) << "2000 is a leap year";
  EXPECT_EQ(DaysFromCivil(1900, 3, 1) - DaysFromCivil(1900, 2, 28), 1) << "1900 is not";
  EXPECT_EQ(DaysFromCivil(2013, 13, 1), DaysFromCivil(2014, 1, 1)) << "months carry over";
  int y = 0, m = 0, d = 0;
  for (const std::int64_t days : {-800000LL, -1LL, 0LL, 15845LL, 19782LL, 2932896LL}) {
    CivilFromDays(days, y, m, d);
    EXPECT_EQ(DaysFromCivil(y, m, d), days);
  }
  CivilFromDays(15845, y, m, d);
  EXPECT_EQ((std::array{y, m, d}), (std::array{2013, 5, 20}));

  EXPECT_EQ(WeekdayOf(2013, 5, 20), 1);  // a Monday
  EXPECT_EQ(WeekdayOf(2013, 5, 25), 6);
  EXPECT_EQ(WeekdayOf(2013, 5, 26), 7);
  EXPECT_EQ(WeekdayOf(1970, 1, 1), 4);
  EXPECT_EQ(WeekdayOf(1969, 12, 28), 7);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);

  EXPECT_TRUE(IsValidDateTime(At(2024, 2, 29, 23, 59, 59)));
  EXPECT_FALSE(IsValidDateTime(At(2023, 2, 29)));
  EXPECT_FALSE(IsValidDateTime(At(2023, 4, 31)));
  EXPECT_FALSE(IsValidDateTime(At(2023, 0, 1)));
  EXPECT_FALSE(IsValidDateTime(At(2023, 1, 1, 24)));
  EXPECT_FALSE(IsValidDateTime(At(2023, 1, 1, 0, 60)));

  EXPECT_EQ(AddDays(At(2024, 2, 28, 8, 30), 1), At(2024, 2, 29, 8, 30));
  EXPECT_EQ(AddDays(At(2013, 12, 31, 23, 59, 59), 1), At(2014, 1, 1, 23, 59, 59));
  EXPECT_EQ(AddDays(At(2013, 3, 1, 6), -1), At(2013, 2, 28, 6));
  EXPECT_EQ(FromCivilSeconds(CivilSeconds(At(1969, 12, 31, 23, 59, 59)) + 1), At(1970, 1, 1));
}

TEST(WallClockTest, TheManualClockRunsWithTheVirtualLoopAndCanBeSet) {
  HeadlessLoop& loop = HeadlessLoop::Install();
  ManualWallClock& clock = ManualWallClock::Install(At(2013, 12, 31, 23, 59, 30));
  EXPECT_EQ(&WallClock::Get(), &clock);
  EXPECT_EQ(clock.Now(), At(2013, 12, 31, 23, 59, 30));
  loop.Advance(29999);
  EXPECT_EQ(clock.Now(), At(2013, 12, 31, 23, 59, 59)) << "whole seconds only";
  loop.Advance(1);
  EXPECT_EQ(clock.Now(), At(2014, 1, 1, 0, 0, 0));
  clock.Set(At(2013, 5, 20, 8, 30));
  loop.Advance(61000);
  EXPECT_EQ(clock.Now(), At(2013, 5, 20, 8, 31, 1));

  // Without a test clock the system's is used, and it tells a real date.
  WallClock::Install(nullptr);
  EXPECT_TRUE(IsValidDateTime(WallClock::Get().Now()));
  EXPECT_GE(WallClock::Get().Now().year, 2024);
  MessageCore::Uninstall();
}

}  // namespace
}  // namespace qrv
