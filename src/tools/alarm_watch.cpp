#include "tools/alarm_watch.h"

#include <algorithm>

#include "tools/alarm_rules.h"

namespace qrv {

std::vector<DueAlarm> AlarmWatch::Check(const std::vector<StoredAlarm>& alarms,
                                        const LocalDateTime& now_exact) {
  const LocalDateTime now = ToMinute(now_exact);
  const std::int64_t now_at = CivilSeconds(now);
  if (!first_check_ || now_at < CivilSeconds(*first_check_)) first_check_ = now;
  std::vector<DueAlarm> due;
  for (const StoredAlarm& alarm : alarms) {
    const auto first = ParseAlarmTime(alarm.time);
    if (!first) continue;
    const auto occurrence = LatestOccurrence(*first, RepeatFromText(alarm.repeat), now);
    // When it last rang: the store's note or the watch's own memory, whichever is later.
    std::optional<std::int64_t> last;
    const auto stored = ParseAlarmTime(alarm.rang);
    const auto passed_over = passed_over_.find(alarm.section);
    if (stored && (passed_over == passed_over_.end() || passed_over->second != alarm.rang))
      last = CivilSeconds(*stored);
    if (const auto it = rang_.find(alarm.section); it != rang_.end())
      last = std::max(last.value_or(CivilSeconds(it->second)), CivilSeconds(it->second));
    if (last && *last > now_at) {
      // The clock went back past that ring. Up to now everything counts as dealt with; the next
      // occurrence rings.
      if (stored && CivilSeconds(*stored) > now_at) passed_over_[alarm.section] = alarm.rang;
      if (occurrence) {
        rang_[alarm.section] = *occurrence;
      } else {
        rang_.erase(alarm.section);
      }
      continue;
    }
    if (!occurrence) continue;
    const std::int64_t at = CivilSeconds(*occurrence);
    if (last && *last >= at) continue;
    rang_[alarm.section] = *occurrence;
    due.push_back(DueAlarm{alarm.section, *occurrence, alarm.data, at < CivilSeconds(*first_check_)});
  }
  return due;
}

unsigned AlarmCheckDelayMs(const std::vector<StoredAlarm>& alarms, const LocalDateTime& now) {
  std::int64_t wait_ms = kAlarmRecheckMs;
  const std::int64_t now_at = CivilSeconds(now);
  for (const StoredAlarm& alarm : alarms) {
    const auto first = ParseAlarmTime(alarm.time);
    if (!first) continue;
    const auto next = NextOccurrence(*first, RepeatFromText(alarm.repeat), now);
    // `now` has whole seconds only, so the wait ends in the due minute's first second, never
    // before it.
    if (next) wait_ms = std::min(wait_ms, (CivilSeconds(*next) - now_at) * 1000);
  }
  return static_cast<unsigned>(std::max<std::int64_t>(wait_ms, kAlarmMinWaitMs));
}

std::string ReminderWhen(const DueAlarm& alarm) { return DescribeAlarmTime(alarm.occurrence); }

DesktopNotification ReminderNotification(const DueAlarm& alarm, bool discreet) {
  DesktopNotification notification;
  if (discreet) {
    notification.summary = kDiscreetSummary;
    notification.body = kDiscreetBody;
    return notification;
  }
  notification.app_name = kReminderAppName;
  // Icon names of the freedesktop naming scheme, which every icon theme has.
  notification.icon = alarm.missed ? "appointment-missed" : "appointment-soon";
  notification.summary = kReminderSummary;
  notification.body = ReminderWhen(alarm);
  if (alarm.missed) notification.body += std::string("（") + kReminderMissedNote + "）";
  if (!alarm.text.empty()) notification.body += "\n" + alarm.text;
  return notification;
}

}  // namespace qrv
