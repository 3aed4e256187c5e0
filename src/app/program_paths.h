#pragma once
// Where the program lives: the folder of the running program's file, whatever the file or the
// folders above it are called, so a launcher in /opt/zelto_qrv/ or renamed by its player still finds
// its settings, hosts and remembered credentials in its own data/ folder (never the working
// directory, which is the home folder when the session starts the launcher).

#include <string>
#include <string_view>

namespace qrv {

inline constexpr std::string_view kProgramFileName = "zelto_qrv";

// Program folder from the program's full path: "/opt/qrv/zelto_qrv" gives "/opt/qrv/"; a path
// without a folder gives "".
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
