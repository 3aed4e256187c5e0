// The rules of an alarm's time: the store's format without leading zeros, the editor's reading of
// its fields, "later than now" to the minute, and when each repeat falls due.

#include "tools/alarm_rules.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

LocalDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return LocalDateTime{y, mo, d, h, mi, s};
}

TEST(AlarmRulesTest, TimesAreWrittenWithoutLeadingZerosAndReadBackOnlyWhenWhole) {
  EXPECT_EQ(FormatDate(2013, 5, 2), "2013-5-2");
  EXPECT_EQ(FormatAlarmTime(At(2013, 5, 20, 8, 30, 45)), "2013-5-20|8|30|");
  EXPECT_EQ(FormatAlarmTime(At(2013, 1, 2, 0, 5)), "2013-1-2|0|5|");
  EXPECT_EQ(DescribeAlarmTime(At(2013, 1, 2, 0, 5)), "2013-1-2 0:05");

  EXPECT_EQ(ParseAlarmTime("2013-5-20|8|30|"), At(2013, 5, 20, 8, 30));
  EXPECT_EQ(ParseAlarmTime("2024-2-29|23|59|"), At(2024, 2, 29, 23, 59));
  for (const char* bad : {"", "2013-5-20|8|30", "2013-5-20|8|30||", "2013-5-20 8:30", "2013/5/20|8|30|",
                          "2013-5-20|24|0|", "2013-5-20|8|60|", "2013-2-30|8|30|", "2013-13-1|8|30|",
                          "2013-5-20|+8|30|", "2013-5-20| 8|30|", "99999999999-5-20|8|30|", "-5-20|8|30|"}) {
    EXPECT_EQ(ParseAlarmTime(bad), std::nullopt) << bad;
  }
}

TEST(AlarmRulesTest, TheEditorReadsItsFieldsAndAcceptsOnlyALaterMinute) {
  EXPECT_EQ(ReadEditorFields("2013-5-20", "8时", "30分"), At(2013, 5, 20, 8, 30));
  EXPECT_EQ(ReadEditorFields("2013-5", "时", "7"), At(2013, 5, 0, 0, 0)) << "missing separators give 0";
  EXPECT_EQ(ReadEditorFields("", "", ""), At(0, 0, 0, 0, 0));
  EXPECT_EQ(ReadEditorFields("2013", "23时", "59分"), At(0, 0, 0, 23, 59));

  const LocalDateTime now = At(2013, 5, 20, 8, 30, 59);
  EXPECT_FALSE(IsAcceptableAlarmTime(At(2013, 5, 20, 8, 30), now)) << "the current minute is too late";
  EXPECT_TRUE(IsAcceptableAlarmTime(At(2013, 5, 20, 8, 31), now));
  EXPECT_FALSE(IsAcceptableAlarmTime(At(2013, 5, 20, 8, 29), now));
  EXPECT_TRUE(IsAcceptableAlarmTime(At(2013, 5, 21, 0, 0), now));
  EXPECT_TRUE(IsAcceptableAlarmTime(At(2014, 1, 1, 0, 0), now)) << "a later year wins over earlier months";
  EXPECT_FALSE(IsAcceptableAlarmTime(At(2012, 12, 31, 23, 59), now));
  EXPECT_FALSE(IsAcceptableAlarmTime(At(2013, 6, 31, 8, 0), now)) << "no such day";
  EXPECT_FALSE(IsAcceptableAlarmTime(At(2013, 5, 0, 9, 0), now));

  EXPECT_EQ(RepeatFromText("每天"), Repeat::kDaily);
  EXPECT_EQ(RepeatFromText("每周"), Repeat::kWeekly);
  EXPECT_EQ(RepeatFromText("工作日"), Repeat::kWorkdays);
  EXPECT_EQ(RepeatFromText("不重复"), Repeat::kNever);
  EXPECT_EQ(RepeatFromText("每月"), Repeat::kNever) << "unknown repeats ring once";
  EXPECT_EQ(RepeatFromText(""), Repeat::kNever);
}

TEST(AlarmRulesTest, EachRepeatFallsDueAcrossADayAWeekAndAWeekend) {
  // Friday 2013-5-24 at 8:30.
  const LocalDateTime friday = At(2013, 5, 24, 8, 30);
  ASSERT_EQ(WeekdayOf(2013, 5, 24), 5);
  const auto latest = [&](Repeat repeat, const LocalDateTime& now) {
    return LatestOccurrence(friday, repeat, now);
  };

  for (Repeat repeat : {Repeat::kDaily, Repeat::kWeekly, Repeat::kWorkdays, Repeat::kNever}) {
    EXPECT_EQ(latest(repeat, At(2013, 5, 24, 8, 29, 59)), std::nullopt) << "nothing before the first time";
    EXPECT_EQ(latest(repeat, At(2013, 5, 24, 8, 30, 0)), friday) << "due in its own minute";
    EXPECT_EQ(latest(repeat, At(2013, 5, 25, 8, 29, 59)), friday) << "not again before the next day's time";
  }

  // Across a day.
  EXPECT_EQ(latest(Repeat::kDaily, At(2013, 5, 25, 8, 30)), At(2013, 5, 25, 8, 30));
  EXPECT_EQ(latest(Repeat::kDaily, At(2013, 5, 26, 7, 0)), At(2013, 5, 25, 8, 30));
  EXPECT_EQ(latest(Repeat::kDaily, At(2013, 6, 1, 8, 31)), At(2013, 6, 1, 8, 30));
  // Across a week.
  EXPECT_EQ(latest(Repeat::kWeekly, At(2013, 5, 30, 23, 59)), friday);
  EXPECT_EQ(latest(Repeat::kWeekly, At(2013, 5, 31, 8, 29)), friday);
  EXPECT_EQ(latest(Repeat::kWeekly, At(2013, 5, 31, 8, 30)), At(2013, 5, 31, 8, 30));
  EXPECT_EQ(latest(Repeat::kWeekly, At(2013, 6, 20, 12, 0)), At(2013, 6, 14, 8, 30));
  // Across a weekend: Saturday and Sunday are passed over, Monday rings.
  EXPECT_EQ(latest(Repeat::kWorkdays, At(2013, 5, 25, 9, 0)), friday);
  EXPECT_EQ(latest(Repeat::kWorkdays, At(2013, 5, 26, 23, 59)), friday);
  EXPECT_EQ(latest(Repeat::kWorkdays, At(2013, 5, 27, 8, 29)), friday);
  EXPECT_EQ(latest(Repeat::kWorkdays, At(2013, 5, 27, 8, 30)), At(2013, 5, 27, 8, 30));
  EXPECT_EQ(latest(Repeat::kWorkdays, At(2013, 5, 28, 8, 0)), At(2013, 5, 27, 8, 30));
  // Once only.
  EXPECT_EQ(latest(Repeat::kNever, At(2014, 1, 1)), friday);

  // A working-day alarm set for a Saturday rings that Saturday, then on working days.
  const LocalDateTime saturday = At(2013, 5, 25, 7, 0);
  EXPECT_EQ(LatestOccurrence(saturday, Repeat::kWorkdays, At(2013, 5, 26, 12, 0)), saturday);
  EXPECT_EQ(LatestOccurrence(saturday, Repeat::kWorkdays, At(2013, 5, 27, 7, 0)), At(2013, 5, 27, 7, 0));
  // Month and year ends.
  EXPECT_EQ(LatestOccurrence(At(2013, 12, 31, 23, 59), Repeat::kDaily, At(2014, 1, 1, 23, 59, 5)),
            At(2014, 1, 1, 23, 59));
  EXPECT_EQ(LatestOccurrence(At(2024, 2, 29, 6, 0), Repeat::kWeekly, At(2024, 3, 7, 6, 0)),
            At(2024, 3, 7, 6, 0));
}

}  // namespace
}  // namespace qrv
