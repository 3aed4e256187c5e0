#include "app/program_paths.h"

namespace qrv {

std::string ProgramDirectoryOf(std::string_view program_path) {
  const auto slash = program_path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(program_path.substr(0, slash + 1));
}

ProgramPaths ProgramPaths::FromProgramPath(std::string program_path) {
  ProgramPaths paths;
  paths.directory = ProgramDirectoryOf(program_path);
  paths.program_path = std::move(program_path);
  paths.settings = paths.directory + "data/systemset.ini";
  paths.deploy = paths.directory + "data/deploy.ini";
  paths.cookies = paths.directory + "data/cookies.txt";
  paths.web_data = paths.directory + "data/web";
  return paths;
}

}  // namespace qrv
