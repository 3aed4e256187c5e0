#include "platform/wall_clock.h"

#include <glib.h>

#include "platform/message_core.h"

namespace qrv {
namespace {

std::unique_ptr<WallClock>& InstalledClock() {
  static std::unique_ptr<WallClock> clock;
  return clock;
}

constexpr std::int64_t kSecondsPerDay = 86400;

// Floor division: the calendar runs on below zero without a seam.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

std::int64_t MonotonicMs() {
  LoopBackend* backend = MessageCore::Backend();
  return backend != nullptr ? backend->NowMs() : 0;
}

}  // namespace

// Howard Hinnant's days-from-civil: eras of 400 years, years counted from March so that the leap
// day is the last day of the year.
std::int64_t DaysFromCivil(int year, int month, int day) {
  std::int64_t y = year + FloorDiv(month - 1, 12);
  const std::int64_t m = month - 1 - 12 * FloorDiv(month - 1, 12) + 1;  // 1..12
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int WeekdayOf(int year, int month, int day) {
  // 1970-1-1 was a Thursday (4).
  const std::int64_t from_monday = DaysFromCivil(year, month, day) + 3;
  return static_cast<int>(from_monday - 7 * FloorDiv(from_monday, 7)) + 1;
}

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return static_cast<int>(DaysFromCivil(year, month + 1, 1) - DaysFromCivil(year, month, 1));
}

bool IsValidDateTime(const LocalDateTime& t) {
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
         t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::int64_t CivilSeconds(const LocalDateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
}

LocalDateTime FromCivilSeconds(std::int64_t seconds) {
  LocalDateTime t;
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t rest = seconds - days * kSecondsPerDay;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest % 3600 / 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

LocalDateTime AddDays(const LocalDateTime& t, std::int64_t days) {
  return FromCivilSeconds(CivilSeconds(t) + days * kSecondsPerDay);
}

void WallClock::Install(std::unique_ptr<WallClock> clock) { InstalledClock() = std::move(clock); }

WallClock& WallClock::Get() {
  if (!InstalledClock()) InstalledClock() = std::make_unique<SystemWallClock>();
  return *InstalledClock();
}

LocalDateTime SystemWallClock::Now() const {
  GDateTime* now = g_date_time_new_now_local();
  LocalDateTime t;
  if (now == nullptr) return t;
  t.year = g_date_time_get_year(now);
  t.month = g_date_time_get_month(now);
  t.day = g_date_time_get_day_of_month(now);
  t.hour = g_date_time_get_hour(now);
  t.minute = g_date_time_get_minute(now);
  t.second = g_date_time_get_second(now);
  g_date_time_unref(now);
  return t;
}

ManualWallClock& ManualWallClock::Install(const LocalDateTime& start) {
  auto* clock = new ManualWallClock();
  clock->Set(start);
  WallClock::Install(std::unique_ptr<WallClock>(clock));
  return *clock;
}

LocalDateTime ManualWallClock::Now() const {
  return FromCivilSeconds(set_to_ + FloorDiv(MonotonicMs() - set_at_ms_, 1000));
}

void ManualWallClock::Set(const LocalDateTime& t) {
  set_to_ = CivilSeconds(t);
  set_at_ms_ = MonotonicMs();
}

}  // namespace qrv
