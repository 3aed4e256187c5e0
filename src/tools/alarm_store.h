#pragma once
// The alarm store "clocklist.ini" (where it lives is the program's paths' choice). Sections
// "clockinf1" .. "clockinf<size>" hold one alarm each, and "clocksize"/"size" says how many there
// are; the editor writes the one alarm it sets into "clockinf1" with "size" 1, so a save replaces
// the alarm before it. Values are read with the limits of the buffers the store has always been
// read with: "index" 7 bytes, "time" 31, "data" 63, "repeat" 9 (never cutting a character).
//
// When an alarm last rang is kept beside it under the key "rang" (a time value like "time"), which
// readers that know only the four keys above pass over.
//
// Every read opens the file afresh; every write replaces it atomically (profile_file.h).

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/wall_clock.h"

namespace qrv {

// One alarm section as read, texts as stored.
struct StoredAlarm {
  int section = 0;  // n of "clockinf<n>"
  std::string index;
  std::string time;
  std::string data;
  std::string repeat;
  std::string rang;  // "" when it has not rung since it was set
};

class AlarmStore {
 public:
  static constexpr const char* kSizeSection = "clocksize";
  static constexpr const char* kSizeKey = "size";
  static constexpr const char* kSectionFormat = "clockinf%d";
  static constexpr std::size_t kIndexBuffer = 8;
  static constexpr std::size_t kTimeBuffer = 32;
  static constexpr std::size_t kDataBuffer = 64;
  static constexpr std::size_t kRepeatBuffer = 10;
  // A "size" beyond this (a damaged file) is read as this many sections.
  static constexpr int kMaxSections = 100;

  static std::string SectionName(int n);

  explicit AlarmStore(std::string path) : path_(std::move(path)) {}

  // Sections 1 .. "size" in order; none for a missing file, a missing "size" or one below 1.
  std::vector<StoredAlarm> Load() const;

  // Writes the editor's alarm, in this order: "size" 1, "index" 1, "time", "data", "repeat"; then
  // forgets when the previous alarm rang. Line breaks in the text become blanks (a value is one
  // line). Makes the store's folder when it is missing. False when any of it could not be written.
  bool Save(const std::string& time, const std::string& data, const std::string& repeat) const;
  // Notes that the alarm of section `section` rang for the occurrence `occurrence`.
  bool MarkRang(int section, const LocalDateTime& occurrence) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The alarms of a store as last read, read again only once the file has changed (it was replaced,
// or its size or times changed) or another store is asked for: a check of the alarms costs one
// look at the file's status instead of reading it 1 + 5 × size times.
class AlarmStoreReader {
 public:
  const std::vector<StoredAlarm>& Read(const AlarmStore& store);

 private:
  // What changes whenever the file does: the program replaces it (a new file), an editor writes it
  // in place (new times). File times advance in clock ticks, so a file written again within the
  // tick of its last change may keep its times: one modified within the last seconds is read
  // again at every look, until it has been still for a while.
  struct FileStamp {
    bool exists = false;
    bool recent = false;  // modified moments ago
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileStamp& other) const;
  };
  static FileStamp StampOf(const std::string& path);

  std::string path_;
  std::optional<FileStamp> stamp_;
  std::vector<StoredAlarm> alarms_;
};

}  // namespace qrv
