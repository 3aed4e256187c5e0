#include "app/settings_file.h"

#include "platform/profile_file.h"

namespace qrv {

int SettingsFile::ReadInt(std::string_view section, std::string_view key, int default_value) const {
  return GetPrivateProfileInt(section, key, default_value, path_);
}

std::string SettingsFile::ReadText(std::string_view section, std::string_view key,
                                   std::string_view default_value) const {
  return GetPrivateProfileString(section, key, default_value, path_);
}

void SettingsFile::WriteText(std::string_view section, std::string_view key, std::string_view value) const {
  WritePrivateProfileString(section, key, value, path_);
}

void SettingsFile::WriteInt(std::string_view section, std::string_view key, int value) const {
  WriteText(section, key, std::to_string(value));
}

}  // namespace qrv
