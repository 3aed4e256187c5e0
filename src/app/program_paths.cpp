#include "app/program_paths.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace qrv {
namespace {

constexpr const char kSavedPictureName[] = "image/I07abc100.png";
constexpr const char kAutostartFileName[] = "KRAVO.desktop";

std::string Join(const std::string& folder, const std::string& name) {
  g_autofree gchar* path = g_build_filename(folder.c_str(), name.c_str(), nullptr);
  return path;
}

// What both layouts share: the program folder's own files and the user's desktop entries.
ProgramPaths Common(std::string program_path, const UserFolders& user) {
  ProgramPaths paths;
  paths.directory = ProgramDirectoryOf(program_path);
  paths.program_path = std::move(program_path);
  paths.skin_archive = paths.directory + "skin/box.bk";
  paths.shortcut.file = Join(user.desktop, std::string(kShortcutName) + ".desktop");
  g_autofree gchar* autostart =
      g_build_filename(user.config_home.c_str(), "autostart", kAutostartFileName, nullptr);
  paths.autostart.file = autostart;
  paths.screen_capture = {paths.directory, "./ScreenCap"};
  return paths;
}

}  // namespace

std::string ProgramDirectoryOf(std::string_view program_path) {
  const auto slash = program_path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(program_path.substr(0, slash + 1));
}

UserFolders UserFolders::FromEnvironment() {
  UserFolders user;
  user.config_home = g_get_user_config_dir();
  user.data_home = g_get_user_data_dir();
  user.cache_home = g_get_user_cache_dir();
  const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
  if (desktop != nullptr) {
    user.desktop = desktop;
  } else {
    user.desktop = Join(g_get_home_dir(), "Desktop");
  }
  return user;
}

ProgramPaths ProgramPaths::ForProgram(std::string program_path) {
  const std::string marker = ProgramDirectoryOf(program_path) + kPortableMarker;
  const UserFolders user = UserFolders::FromEnvironment();
  if (g_file_test(marker.c_str(), G_FILE_TEST_EXISTS)) return Portable(std::move(program_path), user);
  return Installed(std::move(program_path), user);
}

ProgramPaths ProgramPaths::Portable(std::string program_path, const UserFolders& user) {
  ProgramPaths paths = Common(std::move(program_path), user);
  paths.layout = Layout::kPortable;
  const std::string data = paths.directory + "data";
  paths.deploy_files = {data + "/deploy.ini"};
  paths.settings = data + "/systemset.ini";
  paths.cookies = data + "/cookies.txt";
  paths.alarms = data + "/clocklist.ini";
  paths.web_data = data + "/webkit";
  paths.web_cache = data + "/webkit-cache";
  paths.saved_picture = paths.directory + kSavedPictureName;
  paths.folders = {data};
  // Entries start the program by its path, in its folder, as starting it by hand would.
  paths.shortcut.command = paths.autostart.command = paths.program_path;
  paths.shortcut.working_folder = paths.autostart.working_folder = paths.directory;
  paths.update = {paths.directory, "./update"};
  paths.restart = {paths.directory, "./zelto_qrv"};
  return paths;
}

ProgramPaths ProgramPaths::Installed(std::string program_path, const UserFolders& user,
                                     std::string system_deploy) {
  ProgramPaths paths = Common(std::move(program_path), user);
  paths.layout = Layout::kInstalled;
  const std::string config = Join(user.config_home, kCommandName);
  const std::string data = Join(user.data_home, kCommandName);
  const std::string cache = Join(user.cache_home, kCommandName);
  paths.deploy_files = {std::move(system_deploy), Join(config, "deploy.ini")};
  paths.settings = Join(config, "systemset.ini");
  paths.cookies = Join(data, "cookies.txt");
  paths.alarms = Join(data, "clocklist.ini");
  paths.web_data = Join(data, "webkit");
  paths.web_cache = Join(cache, "webkit");
  paths.saved_picture = Join(data, kSavedPictureName);
  paths.folders = {config, data, cache};
  // The command on the PATH stays right when the package moves its files; no working folder is
  // needed, as the program finds its own.
  paths.shortcut.command = paths.autostart.command = kCommandName;
  // The package manager updates the program: there is no updater to start.
  paths.update = {};
  paths.restart = {"", kCommandName};
  paths.icon_name = kApplicationId;
  return paths;
}

std::vector<std::string> PrepareFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> failed;
  for (const std::string& folder : folders) {
    bool usable = g_mkdir_with_parents(folder.c_str(), 0700) == 0 && access(folder.c_str(), W_OK | X_OK) == 0;
    // A full disk takes every write; finding no free block now says so before any is lost.
    struct statvfs space {};
    if (usable && statvfs(folder.c_str(), &space) == 0 && space.f_bavail == 0) usable = false;
    if (!usable) failed.push_back(folder);
  }
  return failed;
}

}  // namespace qrv
