// Arbitrary bytes as the settings file: reads must never crash and must respect the text buffer, and
// a write must succeed, read back as written and leave every other key's value as it was.
#include <glib.h>
#include <glib/gstdio.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile_file.h"
#include "platform/profile_parse.h"

namespace {

struct Probe {
  const char* section;
  const char* key;
};

// Keys of the real settings file, including two in one section under different spellings.
constexpr Probe kProbes[] = {
    {"Runset", "autorun"}, {"update", "note"},   {"Update", "version"},
    {"Hotkey", "boss"},    {"ShellLink", "has"},
};
constexpr std::size_t kProbeCount = sizeof(kProbes) / sizeof(kProbes[0]);
constexpr std::string_view kDefault = "\x01no value";

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

const std::string& FuzzPath();

void RemoveFuzzFolder() {
  g_remove(FuzzPath().c_str());
  g_autofree gchar* folder = g_path_get_dirname(FuzzPath().c_str());
  g_rmdir(folder);
}

// A file in memory-backed storage where there is one: every write is synced, and syncing a disk
// file thousands of times a second would slow the fuzzer down to a crawl.
const std::string& FuzzPath() {
  static const std::string path = [] {
    const char* base = g_file_test("/dev/shm", G_FILE_TEST_IS_DIR) ? "/dev/shm" : g_get_tmp_dir();
    g_autofree gchar* pattern = g_build_filename(base, "qrv-profile-fuzz-XXXXXX", nullptr);
    if (g_mkdtemp(pattern) == nullptr) abort();
    g_autofree gchar* file = g_build_filename(pattern, "systemset.ini", nullptr);
    return std::string(file);
  }();
  static const bool cleanup_registered = [] { return std::atexit(RemoveFuzzFolder) == 0; }();
  static_cast<void>(cleanup_registered);
  return path;
}

// A value from the input's last bytes, without the bytes a write refuses.
std::string ValueFrom(std::string_view input) {
  std::string value;
  for (std::size_t i = input.size(); i > 0 && value.size() < 16; --i) {
    const char byte = input[i - 1];
    if (byte != '\n' && byte != '\r' && byte != '\0') value.push_back(byte);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string& path = FuzzPath();
  if (!g_file_set_contents(path.c_str(), input.data(), static_cast<gssize>(size), nullptr)) return 0;

  std::string before[kProbeCount];
  for (std::size_t i = 0; i < kProbeCount; ++i) {
    qrv::GetPrivateProfileInt(kProbes[i].section, kProbes[i].key, -1, path);
    before[i] = qrv::GetPrivateProfileString(kProbes[i].section, kProbes[i].key, kDefault, path);
    Check(before[i].size() < qrv::kProfileTextBuffer);
    const std::size_t small_buffer = size % 40;
    const std::string cut =
        qrv::GetPrivateProfileString(kProbes[i].section, kProbes[i].key, kDefault, path, small_buffer);
    Check(small_buffer == 0 ? cut.empty() : cut.size() < small_buffer);
    Check(before[i].starts_with(cut));
  }

  const std::size_t target = size % kProbeCount;
  const std::string value = ValueFrom(input);
  Check(qrv::WritePrivateProfileString(kProbes[target].section, kProbes[target].key, value, path));
  for (std::size_t i = 0; i < kProbeCount; ++i) {
    const std::string after =
        qrv::GetPrivateProfileString(kProbes[i].section, kProbes[i].key, kDefault, path);
    Check(i == target ? after == qrv::profile::TrimBlanks(value) : after == before[i]);
  }
  return 0;
}
