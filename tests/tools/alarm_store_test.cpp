// The alarm store in the program's own data folder, and the watch that decides which stored alarm
// rings: the store's layout and read limits, saving twice, damaged files, the "rang" key, the
// reader that reads the file again only once it changed, each repeat ringing once per occurrence,
// a missed alarm, how long the frame may sleep, and the notification texts.

#include "tools/alarm_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/file_text.h"
#include "support/temp_dir.h"
#include "tools/alarm_rules.h"
#include "tools/alarm_watch.h"

namespace qrv {
namespace {

LocalDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return LocalDateTime{y, mo, d, h, mi, s};
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class AlarmStoreTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::string program_ = dir_.path() + "/prog/";
  AlarmStore store_{program_ + "data/clocklist.ini"};
};

TEST_F(AlarmStoreTest, SavesInTheProgramsDataFolderInOrderAndKeepsOnlyTheLastAlarm) {
  EXPECT_EQ(store_.path(), dir_.path() + "/prog/data/clocklist.ini");
  EXPECT_TRUE(store_.Load().empty()) << "missing file";
  WriteFile(store_.path(), "");
  EXPECT_TRUE(store_.Load().empty()) << "empty file";
  WriteFile(store_.path(), "[clocksize]\nsize=0\n[clockinf1]\ntime=2013-5-20|8|30|\n");
  EXPECT_TRUE(store_.Load().empty()) << "size 0";
  std::filesystem::remove_all(program_);

  // The data folder is made when it is missing.
  ASSERT_TRUE(store_.Save("2013-5-20|8|30|", "boss", "每天"));
  EXPECT_EQ(
      test::ReadFile(store_.path()),
      "[clocksize]\nsize=1\n\n[clockinf1]\nindex=1\ntime=2013-5-20|8|30|\ndata=boss\nrepeat=每天\nrang=\n");
  auto alarms = store_.Load();
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_EQ(alarms[0].section, 1);
  EXPECT_EQ(alarms[0].index, "1");
  EXPECT_EQ(alarms[0].time, "2013-5-20|8|30|");
  EXPECT_EQ(alarms[0].data, "boss");
  EXPECT_EQ(alarms[0].repeat, "每天");
  EXPECT_EQ(alarms[0].rang, "");

  ASSERT_TRUE(store_.MarkRang(1, At(2013, 5, 21, 8, 30)));
  EXPECT_EQ(store_.Load()[0].rang, "2013-5-21|8|30|");
  // Saving again replaces the alarm, its repeat and when it rang; a line break stays out of the file.
  ASSERT_TRUE(store_.Save("2013-5-2|0|5|", "两行\n文字", "工作日"));
  EXPECT_EQ(test::ReadFile(store_.path()),
            "[clocksize]\nsize=1\n\n[clockinf1]\nindex=1\ntime=2013-5-2|0|5|\ndata=两行 "
            "文字\nrepeat=工作日\nrang=\n");

  // A folder that cannot be made: nothing is written and the caller is told.
  WriteFile(dir_.path() + "/blocked/data", "a file where the folder should be");
  const AlarmStore blocked(dir_.path() + "/blocked/data/clocklist.ini");
  EXPECT_FALSE(blocked.Save("2013-5-20|8|30|", "boss", "每天"));
  EXPECT_TRUE(blocked.Load().empty());
}

TEST_F(AlarmStoreTest, ReadsWithTheStoresLimitsAndSurvivesDamagedFiles) {
  WriteFile(store_.path(),
            "[clocksize]\nsize=3\n"
            "[clockinf1]\nindex=123456789\ntime=2013-5-20|8|30|2013-5-20|8|30|2013\n"
            "data=" +
                std::string(70, 'd') +
                "\nrepeat=工作日工作日\n"
                "[clockinf2]\ndata=" +
                std::string(62, 'x') +
                "长\n"
                "[clockinf4]\ntime=ignored\n");
  auto alarms = store_.Load();
  ASSERT_EQ(alarms.size(), 3u) << "sections 1 to size, missing ones read as empty";
  EXPECT_EQ(alarms[0].index, "1234567");
  EXPECT_EQ(alarms[0].time, "2013-5-20|8|30|2013-5-20|8|30|2");
  EXPECT_EQ(alarms[0].data, std::string(63, 'd'));
  EXPECT_EQ(alarms[0].repeat, "工作日");
  EXPECT_EQ(alarms[1].data, std::string(62, 'x')) << "a character that does not fit whole is left out";
  EXPECT_EQ(alarms[2].section, 3);
  EXPECT_EQ(alarms[2].time, "");

  WriteFile(store_.path(), "[clocksize]\nsize=2147483647\n");
  EXPECT_EQ(store_.Load().size(), static_cast<std::size_t>(AlarmStore::kMaxSections));
  WriteFile(store_.path(), "[clocksize]\nsize=-4\n");
  EXPECT_TRUE(store_.Load().empty());
  constexpr char kBinary[] = "\0\xff[clocksize\nsize=1\n\x01";
  WriteFile(store_.path(), std::string(kBinary, sizeof kBinary - 1));
  EXPECT_TRUE(store_.Load().empty());
}

TEST_F(AlarmStoreTest, EachRepeatRingsOncePerOccurrenceAndAMissedAlarmOnceAtStart) {
  // Friday 2013-5-24 8:30, in four sections of a hand-made store, one per repeat.
  std::string file = "[clocksize]\nsize=5\n";
  const char* repeats[] = {"每天", "每周", "工作日", "不重复"};
  for (int n = 1; n <= 4; ++n) {
    file += "[clockinf" + std::to_string(n) + "]\nindex=" + std::to_string(n) +
            "\ntime=2013-5-24|8|30|\ndata=alarm " + std::to_string(n) + "\nrepeat=" + repeats[n - 1] + "\n";
  }
  file += "[clockinf5]\ntime=2013-5-24 8:30\nrepeat=每天\n";  // never rings
  WriteFile(store_.path(), file);

  AlarmWatch watch;
  // Checks as the main frame does: each due alarm is rung and noted in the store.
  const auto check = [&](const LocalDateTime& now) {
    std::vector<int> rang;
    for (const DueAlarm& due : watch.Check(store_.Load(), now)) {
      rang.push_back(due.section);
      EXPECT_TRUE(store_.MarkRang(due.section, due.occurrence));
      EXPECT_FALSE(due.missed);
      EXPECT_EQ(due.text, "alarm " + std::to_string(due.section));
    }
    return rang;
  };
  using Sections = std::vector<int>;
  EXPECT_EQ(check(At(2013, 5, 24, 8, 29, 0)), Sections{});
  EXPECT_EQ(check(At(2013, 5, 24, 8, 29, 59)), Sections{});
  EXPECT_EQ(check(At(2013, 5, 24, 8, 30, 0)), (Sections{1, 2, 3, 4}));
  EXPECT_EQ(check(At(2013, 5, 24, 8, 30, 1)), Sections{}) << "once per occurrence";
  EXPECT_EQ(check(At(2013, 5, 24, 23, 0)), Sections{});
  EXPECT_EQ(check(At(2013, 5, 25, 8, 30)), Sections{1}) << "Saturday";
  EXPECT_EQ(check(At(2013, 5, 26, 8, 30)), Sections{1}) << "Sunday";
  EXPECT_EQ(check(At(2013, 5, 27, 8, 30)), (Sections{1, 3})) << "Monday";
  for (int day = 28; day <= 30; ++day) EXPECT_EQ(check(At(2013, 5, day, 8, 30, 30)), (Sections{1, 3}));
  EXPECT_EQ(check(At(2013, 5, 31, 8, 30)), (Sections{1, 2, 3})) << "a week after";
  EXPECT_EQ(check(At(2013, 5, 31, 8, 31)), Sections{});
  EXPECT_EQ(store_.Load()[0].rang, "2013-5-31|8|30|");
  EXPECT_EQ(store_.Load()[3].rang, "2013-5-24|8|30|");

  // The launcher is closed over the weekend and starts on Monday at 9:00: each alarm whose
  // latest occurrence passed meanwhile rings once, marked as missed; the once-only one rang before.
  AlarmWatch after_restart;
  auto due = after_restart.Check(store_.Load(), At(2013, 6, 3, 9, 0, 12));
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].section, 1);
  EXPECT_EQ(due[0].occurrence, At(2013, 6, 3, 8, 30)) << "only the latest of the missed days";
  EXPECT_TRUE(due[0].missed);
  EXPECT_EQ(due[1].section, 3);
  EXPECT_TRUE(due[1].missed);
  // Nothing is written now (a store that cannot be written), yet nothing rings twice.
  EXPECT_TRUE(after_restart.Check(store_.Load(), At(2013, 6, 3, 9, 0, 13)).empty());
  // The next occurrence rings normally, not marked as missed.
  due = after_restart.Check(store_.Load(), At(2013, 6, 4, 8, 30));
  ASSERT_EQ(due.size(), 2u);
  EXPECT_FALSE(due[0].missed);

  // A new alarm saved after one rang starts afresh.
  ASSERT_TRUE(store_.Save("2013-6-4|8|45|", "", "不重复"));
  due = after_restart.Check(store_.Load(), At(2013, 6, 4, 8, 45));
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].text, "");
}

// Counts the openings of the file `name` in `folder`, since the last call.
class OpenCounter {
 public:
  OpenCounter(const std::string& folder, std::string name)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(std::move(name)) {
    inotify_add_watch(fd_, folder.c_str(), IN_OPEN);
  }
  ~OpenCounter() { close(fd_); }
  int Take() {
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    ssize_t length;
    while ((length = read(fd_, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if (event->len > 0 && name_ == event->name) ++opens;
        at += sizeof(inotify_event) + event->len;
      }
    }
    return opens;
  }

 private:
  int fd_;
  std::string name_;
};

TEST_F(AlarmStoreTest, TheReaderReadsTheStoreAgainOnlyOnceItChanged) {
  ASSERT_TRUE(store_.Save("2013-5-24|8|30|", "打 boss", "每天"));
  // Written long ago: file times move in clock ticks, so a file changed moments ago is read
  // again until it has been still for a while.
  const timespec long_ago[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, store_.path().c_str(), long_ago, 0), 0);
  const std::string folder = std::filesystem::path(store_.path()).parent_path();
  OpenCounter opens(folder, "clocklist.ini");
  AlarmStoreReader reader;
  ASSERT_EQ(reader.Read(store_).size(), 1u);
  EXPECT_GT(opens.Take(), 0);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(reader.Read(store_)[0].data, "打 boss");
  EXPECT_EQ(opens.Take(), 0) << "an unchanged store is not read again";

  // The program's own write replaces the file.
  ASSERT_TRUE(store_.MarkRang(1, At(2013, 5, 24, 8, 30)));
  opens.Take();
  EXPECT_EQ(reader.Read(store_)[0].rang, "2013-5-24|8|30|");
  EXPECT_GT(opens.Take(), 0);
  // A hand edit in place, of the same size, at once.
  std::string text = test::ReadFile(store_.path());
  text.replace(text.find("打 boss"), std::string("打 boss").size(), "打 BOSS");
  std::ofstream(store_.path(), std::ios::binary | std::ios::in | std::ios::out) << text;
  EXPECT_EQ(reader.Read(store_)[0].data, "打 BOSS");
  // Gone: no alarm.
  std::filesystem::remove(store_.path());
  EXPECT_TRUE(reader.Read(store_).empty());
}

TEST_F(AlarmStoreTest, TheFrameSleepsUntilTheNextAlarmCanFallDueButNoLongerThanAMinute) {
  std::vector<StoredAlarm> alarms;
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 24, 8, 29, 50)), kAlarmRecheckMs) << "no alarm";
  alarms.push_back(StoredAlarm{1, "1", "2013-5-24|8|30|", "", "工作日", ""});
  alarms.push_back(StoredAlarm{2, "1", "2013-5-24|8|31|", "", "不重复", ""});
  alarms.push_back(StoredAlarm{3, "1", "2013-5-24 8:29", "", "每天", ""});  // never due
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 24, 8, 29, 50)), 10000u);
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 24, 8, 29, 59)), 1000u);
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 24, 8, 30, 0)), 60000u) << "the next one";
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 24, 8, 30, 45)), 15000u);
  // On Friday evening the next working day is days away: the frame looks again in a minute.
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 24, 20, 0)), kAlarmRecheckMs);
  EXPECT_EQ(AlarmCheckDelayMs(alarms, At(2013, 5, 27, 8, 29, 30)), 30000u) << "Monday";
  EXPECT_EQ(NextOccurrence(At(2013, 5, 24, 8, 30), Repeat::kWorkdays, At(2013, 5, 24, 20, 0)),
            At(2013, 5, 27, 8, 30));
  EXPECT_EQ(NextOccurrence(At(2013, 5, 24, 8, 30), Repeat::kWeekly, At(2013, 5, 24, 8, 30)),
            At(2013, 5, 31, 8, 30));
  EXPECT_EQ(NextOccurrence(At(2013, 5, 24, 8, 30), Repeat::kNever, At(2013, 5, 24, 8, 30)), std::nullopt);
}

TEST(AlarmReminderTest, TheNotificationNamesTheAlarmUnlessTheBossKeyHidesTheLauncher) {
  const DueAlarm alarm{1, At(2013, 5, 20, 8, 5), "打 boss", false};
  EXPECT_EQ(ReminderWhen(alarm), "2013-5-20 8:05");
  EXPECT_EQ(ReminderNotification(alarm, false),
            (DesktopNotification{"玄岚城登陆器", "appointment-soon", "闹钟提醒", "2013-5-20 8:05\n打 boss"}));
  DueAlarm missed = alarm;
  missed.missed = true;
  missed.text.clear();
  EXPECT_EQ(ReminderNotification(missed, false),
            (DesktopNotification{"玄岚城登陆器", "appointment-missed", "闹钟提醒",
                                 "2013-5-20 8:05（启动前已到时间）"}));
  const DesktopNotification discreet = ReminderNotification(alarm, true);
  EXPECT_EQ(discreet, (DesktopNotification{"", "", "提醒", "您设置的提醒时间到了。"}));
  EXPECT_EQ(ReminderNotification(missed, true), discreet);
}

}  // namespace
}  // namespace qrv
