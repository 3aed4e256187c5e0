#pragma once
// The rules of an alarm's time, apart from any window or file: how the store writes a time
// ("2013-5-20|8|30|", plain numbers without leading zeros) and reads it back, how the editor reads
// its fields and decides that a time lies in the future (to the minute: the current minute is
// already too late), and when a repeating alarm falls due.
//
// Repeats: "每天" every day at the set time; "每周" every seven days; "工作日" on the set day and
// then on every Monday to Friday; "不重复" once. A repeat text the program does not know (a file
// edited by hand) counts as "不重复", so an unknown alarm rings at most once.

#include <optional>
#include <string>
#include <string_view>

#include "platform/wall_clock.h"

namespace qrv {

inline constexpr const char* kRepeatDaily = "每天";
inline constexpr const char* kRepeatWeekly = "每周";
inline constexpr const char* kRepeatWorkdays = "工作日";
inline constexpr const char* kRepeatNever = "不重复";

enum class Repeat { kDaily, kWeekly, kWorkdays, kNever };

Repeat RepeatFromText(std::string_view text);

// "2013-5-2": the date as the date button shows it and the store keeps it.
std::string FormatDate(int year, int month, int day);
// "2013-5-20|8|30|": the store's "time" value of an alarm at `t` (seconds are not kept).
std::string FormatAlarmTime(const LocalDateTime& t);
// A "time" value read back: exactly date "|" hour "|" minute "|", plain decimal numbers naming a
// real date and time of day. Anything else gives nothing (such an alarm is listed, never rung).
std::optional<LocalDateTime> ParseAlarmTime(std::string_view value);
// "2013-5-20 8:05", for people.
std::string DescribeAlarmTime(const LocalDateTime& t);

// The editor's reading of its fields: year before the first "-", month between the first and the
// second, day after the second; hour before "时" of the hour item, minute before "分" of the
// minute item. A missing separator gives 0 for its field; a field reads its leading digits.
LocalDateTime ReadEditorFields(std::string_view date_text, std::string_view hour_item,
                               std::string_view minute_item);
// Whether an alarm at `t` may be set at `now`: a real date and time strictly later than now,
// compared field by field from the year down to the minute; seconds are ignored, so the current
// minute is rejected and the next one accepted.
bool IsAcceptableAlarmTime(const LocalDateTime& t, const LocalDateTime& now);

// The moment an alarm first set for `first` last fell due at or before `now` (to the minute), or
// nothing while `first` is still ahead.
std::optional<LocalDateTime> LatestOccurrence(const LocalDateTime& first, Repeat repeat,
                                              const LocalDateTime& now);

// The first moment after `now` (to the minute) at which an alarm first set for `first` falls due,
// or nothing when it never will again (a once-only alarm that has fallen due).
std::optional<LocalDateTime> NextOccurrence(const LocalDateTime& first, Repeat repeat,
                                            const LocalDateTime& now);

// `t` with its seconds dropped.
LocalDateTime ToMinute(LocalDateTime t);

}  // namespace qrv
