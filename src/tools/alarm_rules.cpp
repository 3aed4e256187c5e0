#include "tools/alarm_rules.h"

#include <cstdio>
#include <tuple>

#include "platform/profile_parse.h"

namespace qrv {
namespace {

std::tuple<int, int, int, int, int> Fields(const LocalDateTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute};
}

// Plain decimal digits only, as this program writes them: no sign, no blanks, at most 9 digits.
std::optional<int> PlainNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The text up to `separator` (from `from`), and where the text after it starts; nothing when the
// separator does not follow.
std::optional<std::string_view> TakeUntil(std::string_view value, std::size_t& from, char separator) {
  const std::size_t at = value.find(separator, from);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view part = value.substr(from, at - from);
  from = at + 1;
  return part;
}

bool IsWeekend(const LocalDateTime& t) { return WeekdayOf(t.year, t.month, t.day) >= 6; }

}  // namespace

Repeat RepeatFromText(std::string_view text) {
  if (text == kRepeatDaily) return Repeat::kDaily;
  if (text == kRepeatWeekly) return Repeat::kWeekly;
  if (text == kRepeatWorkdays) return Repeat::kWorkdays;
  return Repeat::kNever;
}

std::string FormatDate(int year, int month, int day) {
  char text[48];
  std::snprintf(text, sizeof text, "%d-%d-%d", year, month, day);
  return text;
}

std::string FormatAlarmTime(const LocalDateTime& t) {
  return FormatDate(t.year, t.month, t.day) + "|" + std::to_string(t.hour) + "|" + std::to_string(t.minute) +
         "|";
}

std::optional<LocalDateTime> ParseAlarmTime(std::string_view value) {
  std::size_t at = 0;
  const auto year = TakeUntil(value, at, '-');
  const auto month = TakeUntil(value, at, '-');
  const auto day = TakeUntil(value, at, '|');
  const auto hour = TakeUntil(value, at, '|');
  const auto minute = TakeUntil(value, at, '|');
  // A missing separator leaves `at` where it was, so a later part can still be found: each part
  // must be there.
  if (!year || !month || !day || !hour || !minute || at != value.size()) return std::nullopt;
  LocalDateTime t;
  const auto numbers = {PlainNumber(*year), PlainNumber(*month), PlainNumber(*day), PlainNumber(*hour),
                        PlainNumber(*minute)};
  int* fields[] = {&t.year, &t.month, &t.day, &t.hour, &t.minute};
  int i = 0;
  for (const auto& number : numbers) {
    if (!number) return std::nullopt;
    *fields[i++] = *number;
  }
  if (!IsValidDateTime(t)) return std::nullopt;
  return t;
}

std::string DescribeAlarmTime(const LocalDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %d:%02d", FormatDate(t.year, t.month, t.day).c_str(), t.hour,
                t.minute);
  return text;
}

LocalDateTime ReadEditorFields(std::string_view date_text, std::string_view hour_item,
                               std::string_view minute_item) {
  LocalDateTime t;
  const std::size_t first = date_text.find('-');
  const std::size_t second = first == std::string_view::npos ? first : date_text.find('-', first + 1);
  t.year = first == std::string_view::npos ? 0 : profile::ParseLeadingInt(date_text.substr(0, first));
  t.month = first == std::string_view::npos ? 0 : profile::ParseLeadingInt(date_text.substr(first + 1));
  t.day = second == std::string_view::npos ? 0 : profile::ParseLeadingInt(date_text.substr(second + 1));
  const std::size_t hour_mark = hour_item.find("时");
  const std::size_t minute_mark = minute_item.find("分");
  t.hour = hour_mark == std::string_view::npos ? 0 : profile::ParseLeadingInt(hour_item.substr(0, hour_mark));
  t.minute = minute_mark == std::string_view::npos
                 ? 0
                 : profile::ParseLeadingInt(minute_item.substr(0, minute_mark));
  t.second = 0;
  return t;
}

bool IsAcceptableAlarmTime(const LocalDateTime& t, const LocalDateTime& now) {
  return IsValidDateTime(t) && Fields(t) > Fields(now);
}

LocalDateTime ToMinute(LocalDateTime t) {
  t.second = 0;
  return t;
}

std::optional<LocalDateTime> LatestOccurrence(const LocalDateTime& first_set, Repeat repeat,
                                              const LocalDateTime& now_exact) {
  const LocalDateTime first = ToMinute(first_set);
  const LocalDateTime now = ToMinute(now_exact);
  if (CivilSeconds(first) > CivilSeconds(now)) return std::nullopt;
  const std::int64_t days =
      DaysFromCivil(now.year, now.month, now.day) - DaysFromCivil(first.year, first.month, first.day);
  switch (repeat) {
    case Repeat::kNever:
      return first;
    case Repeat::kDaily:
    case Repeat::kWeekly: {
      const std::int64_t step = repeat == Repeat::kDaily ? 1 : 7;
      LocalDateTime candidate = AddDays(first, days / step * step);
      if (CivilSeconds(candidate) > CivilSeconds(now)) candidate = AddDays(candidate, -step);
      return candidate;
    }
    case Repeat::kWorkdays: {
      LocalDateTime candidate = AddDays(first, days);
      if (CivilSeconds(candidate) > CivilSeconds(now)) candidate = AddDays(candidate, -1);
      // Back over a weekend, but never before the day that was set (which rings whatever it is).
      while (IsWeekend(candidate) && CivilSeconds(candidate) > CivilSeconds(first))
        candidate = AddDays(candidate, -1);
      return candidate;
    }
  }
  return std::nullopt;
}

std::optional<LocalDateTime> NextOccurrence(const LocalDateTime& first_set, Repeat repeat,
                                            const LocalDateTime& now) {
  const LocalDateTime first = ToMinute(first_set);
  const auto latest = LatestOccurrence(first, repeat, now);
  if (!latest) return first;
  // The one after the latest occurrence at or before now lies after now.
  switch (repeat) {
    case Repeat::kNever:
      return std::nullopt;
    case Repeat::kDaily:
      return AddDays(*latest, 1);
    case Repeat::kWeekly:
      return AddDays(*latest, 7);
    case Repeat::kWorkdays: {
      LocalDateTime next = AddDays(*latest, 1);
      while (IsWeekend(next)) next = AddDays(next, 1);
      return next;
    }
  }
  return std::nullopt;
}

}  // namespace qrv
