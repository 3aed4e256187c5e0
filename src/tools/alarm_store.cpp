#include "tools/alarm_store.h"

#include <glib.h>
#include <sys/stat.h>

#include <cstdio>

#include "platform/profile_file.h"
#include "tools/alarm_rules.h"

namespace qrv {
namespace {

constexpr const char* kIndexKey = "index";
constexpr const char* kTimeKey = "time";
constexpr const char* kDataKey = "data";
constexpr const char* kRepeatKey = "repeat";
constexpr const char* kRangKey = "rang";

// The reminder text as one line: a profile value cannot hold a line break (or a zero byte), and a
// refused value would leave the new time beside the old text.
std::string OneLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\0'));
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

std::string AlarmStore::SectionName(int n) {
  char name[32];
  std::snprintf(name, sizeof name, kSectionFormat, n);
  return name;
}

std::vector<StoredAlarm> AlarmStore::Load() const {
  std::vector<StoredAlarm> alarms;
  const int size = GetPrivateProfileInt(kSizeSection, kSizeKey, 0, path_);
  for (int n = 1; n <= size && n <= kMaxSections; ++n) {
    const std::string section = SectionName(n);
    StoredAlarm alarm;
    alarm.section = n;
    alarm.index = GetPrivateProfileString(section, kIndexKey, "", path_, kIndexBuffer);
    alarm.time = GetPrivateProfileString(section, kTimeKey, "", path_, kTimeBuffer);
    alarm.data = GetPrivateProfileString(section, kDataKey, "", path_, kDataBuffer);
    alarm.repeat = GetPrivateProfileString(section, kRepeatKey, "", path_, kRepeatBuffer);
    alarm.rang = GetPrivateProfileString(section, kRangKey, "", path_, kTimeBuffer);
    alarms.push_back(std::move(alarm));
  }
  return alarms;
}

bool AlarmStore::Save(const std::string& time, const std::string& data, const std::string& repeat) const {
  // The first write would fail without the folder, and the player would lose the alarm.
  if (gchar* folder = g_path_get_dirname(path_.c_str())) {
    g_mkdir_with_parents(folder, 0700);
    g_free(folder);
  }
  const std::string section = SectionName(1);
  return WritePrivateProfileString(kSizeSection, kSizeKey, "1", path_) &&
         WritePrivateProfileString(section, kIndexKey, "1", path_) &&
         WritePrivateProfileString(section, kTimeKey, time, path_) &&
         WritePrivateProfileString(section, kDataKey, OneLine(data), path_) &&
         WritePrivateProfileString(section, kRepeatKey, repeat, path_) &&
         WritePrivateProfileString(section, kRangKey, "", path_);
}

bool AlarmStore::MarkRang(int section, const LocalDateTime& occurrence) const {
  return WritePrivateProfileString(SectionName(section), kRangKey, FormatAlarmTime(occurrence), path_);
}

bool AlarmStoreReader::FileStamp::operator==(const FileStamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

AlarmStoreReader::FileStamp AlarmStoreReader::StampOf(const std::string& path) {
  constexpr time_t kStillSeconds = 2;
  FileStamp stamp;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return stamp;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  stamp.exists = true;
  stamp.recent = now.tv_sec - info.st_mtim.tv_sec < kStillSeconds;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified = info.st_mtim;
  stamp.changed = info.st_ctim;
  return stamp;
}

const std::vector<StoredAlarm>& AlarmStoreReader::Read(const AlarmStore& store) {
  // The status is taken before the file is read: a change while it is read shows at the next look.
  const FileStamp stamp = StampOf(store.path());
  if (store.path() != path_ || !stamp_ || stamp_->recent || !(*stamp_ == stamp)) {
    path_ = store.path();
    stamp_ = stamp;
    alarms_ = store.Load();
  }
  return alarms_;
}

}  // namespace qrv
