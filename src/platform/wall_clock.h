#pragma once
// The local date and time of day, as the player's clock shows it, and the calendar arithmetic on
// it. The message core's clock (loop_backend.h) is monotonic and says nothing about the date;
// what is set for "2013-5-20 8:30" needs the civil date and time instead.
//
// The back end is installed like the window system: the system clock by default, a manual clock
// in tests that moves with the headless loop's virtual clock and can be set to any moment.

#include <cstdint>
#include <memory>

namespace qrv {

// A civil date and time of day in the local time zone; month 1-12, day 1-31, hour 0-23.
struct LocalDateTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Days since 1970-1-1 of a proleptic Gregorian date (negative before it). Any month and day
// numbers are accepted and carried over (2013-13-1 is 2014-1-1).
std::int64_t DaysFromCivil(int year, int month, int day);
// The date `days` after 1970-1-1.
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);
// 1 = Monday .. 7 = Sunday.
int WeekdayOf(int year, int month, int day);
int DaysInMonth(int year, int month);
// Whether the fields name a real date and time of day.
bool IsValidDateTime(const LocalDateTime& t);
// Seconds since 1970-1-1 0:00 of the same (zone-less) calendar, and back: for comparing and
// moving civil times without a time zone.
std::int64_t CivilSeconds(const LocalDateTime& t);
LocalDateTime FromCivilSeconds(std::int64_t seconds);
LocalDateTime AddDays(const LocalDateTime& t, std::int64_t days);

class WallClock {
 public:
  virtual ~WallClock() = default;

  // Installs the clock for the process; the previous one is destroyed.
  static void Install(std::unique_ptr<WallClock> clock);
  // The installed clock; the system's when none was installed.
  static WallClock& Get();

  virtual LocalDateTime Now() const = 0;
};

// The system's local time (time zone changes and clock adjustments included).
class SystemWallClock final : public WallClock {
 public:
  LocalDateTime Now() const override;
};

// A clock for tests: set to a moment, it runs on with the message core's (virtual) clock, so a
// headless test that advances the loop by a minute finds the wall clock a minute later too.
class ManualWallClock final : public WallClock {
 public:
  // Installs a manual clock showing `start` and returns it (owned by WallClock).
  static ManualWallClock& Install(const LocalDateTime& start);

  LocalDateTime Now() const override;
  // From now on the clock shows `t`, running on from there.
  void Set(const LocalDateTime& t);

 private:
  ManualWallClock() = default;
  std::int64_t set_to_ = 0;     // civil seconds shown at `set_at_ms_`
  std::int64_t set_at_ms_ = 0;  // the message core's clock when it was set
};

}  // namespace qrv
