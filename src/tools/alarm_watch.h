#pragma once
// Which stored alarms fall due, checked against the clock, and what the player is told when one
// does; and how long the main frame may wait before it checks again.
//
// An alarm is due when its latest occurrence (alarm_rules.h) has not rung yet: the store's "rang"
// and the watch's own memory both count, so an alarm rings once per occurrence even when the store
// cannot be written. An occurrence that passed before the watch's first check fell due while the
// launcher was not running: it is reported once, marked as missed (only the latest one, however
// many were missed).
//
// The clock may be set back: a clock that ran ahead is put right after an alarm rang by it. A ring
// noted later than now is then passed over: what fell due up to now counts as dealt with (it rang,
// by the other clock), and the next occurrence rings as usual. A clock set back before the first
// check moves that check back with it, so what falls due from then on is not taken for missed.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_notifier.h"
#include "platform/wall_clock.h"
#include "tools/alarm_store.h"

namespace qrv {

struct DueAlarm {
  int section = 0;
  LocalDateTime occurrence;
  std::string text;  // the reminder text the player typed
  bool missed = false;
};

class AlarmWatch {
 public:
  // The alarms among `alarms` (as just read from the store) due at `now`; each is reported once.
  // The caller rings them and records them in the store (AlarmStore::MarkRang).
  std::vector<DueAlarm> Check(const std::vector<StoredAlarm>& alarms, const LocalDateTime& now);

 private:
  std::optional<LocalDateTime> first_check_;
  std::map<int, LocalDateTime> rang_;       // section -> the last occurrence dealt with
  std::map<int, std::string> passed_over_;  // section -> a stored "rang" the clock went back past
};

// How long to wait, from `now`, before the alarms can need another check: until the next minute
// at which one of them falls due, but at most kAlarmRecheckMs (a clock set forward or back, a
// change of time zone or a store changed by hand is noticed within that time) and at least
// kAlarmMinWaitMs.
unsigned AlarmCheckDelayMs(const std::vector<StoredAlarm>& alarms, const LocalDateTime& now);
inline constexpr unsigned kAlarmRecheckMs = 60000;
inline constexpr unsigned kAlarmMinWaitMs = 1000;

// What the reminder shows: "2013-5-20 8:30" (the occurrence, for people).
std::string ReminderWhen(const DueAlarm& alarm);

// The desktop notification of a due alarm. `discreet` (the boss key hides the launcher) gives a
// neutral one that names neither the game, nor the launcher, nor the player's text.
DesktopNotification ReminderNotification(const DueAlarm& alarm, bool discreet);

inline constexpr const char* kReminderAppName = "玄岚城登陆器";
inline constexpr const char* kReminderSummary = "闹钟提醒";
inline constexpr const char* kReminderMissedNote = "启动前已到时间";
inline constexpr const char* kDiscreetSummary = "提醒";
inline constexpr const char* kDiscreetBody = "您设置的提醒时间到了。";

}  // namespace qrv
