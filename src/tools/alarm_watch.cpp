#include "tools/alarm_watch.h"

#include "tools/alarm_rules.h"

namespace qrv {

std::vector<DueAlarm> AlarmWatch::Check(const std::vector<StoredAlarm>& alarms,
                                        const LocalDateTime& now_exact) {
  const LocalDateTime now = ToMinute(now_exact);
  if (!first_check_) first_check_ = now;
  std::vector<DueAlarm> due;
  for (const StoredAlarm& alarm : alarms) {
    const auto first = ParseAlarmTime(alarm.time);
    if (!first) continue;
    const auto occurrence = LatestOccurrence(*first, RepeatFromText(alarm.repeat), now);
    if (!occurrence) continue;
    const std::int64_t at = CivilSeconds(*occurrence);
    if (const auto stored = ParseAlarmTime(alarm.rang); stored && CivilSeconds(*stored) >= at) continue;
    if (auto it = rang_.find(alarm.section); it != rang_.end() && CivilSeconds(it->second) >= at) continue;
    rang_[alarm.section] = *occurrence;
    due.push_back(DueAlarm{alarm.section, *occurrence, alarm.data, at < CivilSeconds(*first_check_)});
  }
  return due;
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
