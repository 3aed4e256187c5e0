#pragma once
// The paths of a portable program in a test's folder: the program folder `<folder>/prog/` and the
// player's own folders (configuration with its autostart entries, data, cache, desktop) under
// `<folder>/user/`, so no test writes into the real home.

#include <string>

#include "app/program_paths.h"

namespace qrv::testing {

inline UserFolders TestUserFolders(const std::string& folder) {
  return UserFolders{folder + "/user/config", folder + "/user/data", folder + "/user/cache",
                     folder + "/user/Desktop"};
}

// `program_folder` holds the program file "zelto_qrv"; the user's folders go below `folder`.
inline ProgramPaths PortablePathsIn(const std::string& program_folder, const std::string& folder) {
  return ProgramPaths::Portable(program_folder + "/zelto_qrv", TestUserFolders(folder));
}

}  // namespace qrv::testing
