#pragma once
// Where the program lives. The program folder is found by looking for the program's file name in
// its full path, as the installed launcher always has: everything before the first "zelto_qrv" is
// the folder (ending in "/"), and when the name does not occur the folder is empty, so the data
// files are looked up relative to the working directory.

#include <string>
#include <string_view>

namespace qrv {

inline constexpr std::string_view kProgramFileName = "zelto_qrv";

// Program folder from the program's full path: "/opt/qrv/zelto_qrv" gives "/opt/qrv/".
std::string ProgramDirectoryOf(std::string_view program_path);

struct ProgramPaths {
  std::string program_path;  // full path of the running program
  std::string directory;     // "" or ends in "/"
  std::string settings;      // directory + "data/systemset.ini"
  std::string deploy;        // directory + "data/deploy.ini"
  std::string cookies;       // directory + "data/cookies.txt"
  std::string web_data;      // directory + "data/web" (the browser's website data)

  static ProgramPaths FromProgramPath(std::string program_path);
};

}  // namespace qrv
