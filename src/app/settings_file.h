#pragma once
// The settings file "data/systemset.ini". Nothing is cached: every read opens the file, every
// write replaces it at once, so a value written by one window is what the next reader sees.

#include <string>
#include <string_view>

namespace qrv {

class SettingsFile {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  int ReadInt(std::string_view section, std::string_view key, int default_value) const;
  std::string ReadText(std::string_view section, std::string_view key, std::string_view default_value = {}) const;
  void WriteText(std::string_view section, std::string_view key, std::string_view value) const;
  void WriteInt(std::string_view section, std::string_view key, int value) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Sections and keys, as they stand in the file.
namespace settings {
inline constexpr const char* kShellLink = "ShellLink";
inline constexpr const char* kShellLinkHas = "has";
inline constexpr const char* kRunset = "Runset";
inline constexpr const char* kFirst = "first";
inline constexpr const char* kAutorun = "autorun";
inline constexpr const char* kAutologin = "autologin";
inline constexpr const char* kShowTop = "showtop";
inline constexpr const char* kExit = "exit";
inline constexpr const char* kUpdateLower = "update";
inline constexpr const char* kNote = "note";
inline constexpr const char* kUpdate = "Update";
inline constexpr const char* kVersion = "version";
inline constexpr const char* kCheckCode = "checkcode";
inline constexpr const char* kType = "type";
inline constexpr const char* kHotkey = "Hotkey";
inline constexpr const char* kBoss = "boss";
inline constexpr const char* kEnableBoss = "eboss";
inline constexpr const char* kCap = "cap";
}  // namespace settings

}  // namespace qrv
