#pragma once
// Every file the program names, decided in one place for the layout the program runs in.
//
// Portable: the program folder holds the marker "portable.txt". What the program writes lives in
// data/ beside the executable, so the folder can be carried around whole.
//
// Installed (no marker, as the Debian package puts it in /usr/lib/zelto-qrv/): the program folder
// is only read (skin, emoticons, the web engine module, the companions); the deployment file comes
// from /etc/zelto-qrv/deploy.ini with the player's own $XDG_CONFIG_HOME/zelto-qrv/deploy.ini
// over it key by key, and what the program writes goes to the player's XDG folders:
//   $XDG_CONFIG_HOME/zelto-qrv/  settings (with the remembered credentials)
//   $XDG_DATA_HOME/zelto-qrv/    alarms, cookies, the web engine's website data, saved pictures
//   $XDG_CACHE_HOME/zelto-qrv/   the web engine's disk cache (what the cache cleaner empties)
//
// In both layouts the program folder is the folder of the running program's file, whatever the
// file or the folders above it are called (never the working directory, which is the home folder
// when the session starts the launcher).

#include <string>
#include <string_view>
#include <vector>

#include "app/build_info.h"

namespace qrv {

inline constexpr std::string_view kProgramFileName = "zelto_qrv";
// The marker file of the portable layout, in the program folder.
inline constexpr const char kPortableMarker[] = "portable.txt";
// The command the package puts on the PATH; also the name of the player's folders.
inline constexpr const char kCommandName[] = "zelto-qrv";
// The deployment file an administrator (or the package) provides for every player.
inline constexpr const char kSystemDeployFile[] = "/etc/zelto-qrv/deploy.ini";
// The display name of the desktop shortcut.
inline constexpr const char kShortcutName[] = "玄岚城登陆器";

// Program folder from the program's full path: "/opt/qrv/zelto_qrv" gives "/opt/qrv/"; a path
// without a folder gives "".
std::string ProgramDirectoryOf(std::string_view program_path);

enum class Layout { kPortable, kInstalled };

// The player's own folders, from the XDG base directory variables (GLib applies the defaults).
struct UserFolders {
  std::string config_home;  // $XDG_CONFIG_HOME
  std::string data_home;    // $XDG_DATA_HOME
  std::string cache_home;   // $XDG_CACHE_HOME
  std::string desktop;      // the desktop folder (XDG user directory)

  static UserFolders FromEnvironment();
};

// A desktop entry the program writes and what it starts.
struct LaunchEntry {
  std::string file;            // the .desktop file
  std::string command;         // a full path, or a command found on the PATH
  std::string working_folder;  // "" for none
};

// A program the launcher starts: `program` in `folder` ("" or ending in "/"); with an empty
// folder, `program` is a command found on the PATH. An empty `program` means none is started.
struct Companion {
  std::string folder;
  std::string program;
};

struct ProgramPaths {
  Layout layout = Layout::kPortable;
  std::string program_path;  // full path of the running program
  std::string directory;     // the program folder: "" or ends in "/"

  // Read from the program folder in both layouts.
  std::string skin_archive;  // skin/box.bk (the chat's emoticons lie in emotions/ beside it)

  // Deployment files, read in this order; each one's keys override those before it.
  std::vector<std::string> deploy_files;
  // Written by the program.
  std::string settings;       // systemset.ini
  std::string cookies;        // cookies.txt
  std::string alarms;         // clocklist.ini
  std::string web_data;       // the web engine's website data
  std::string web_cache;      // the web engine's disk cache
  std::string saved_picture;  // the chat's picture button: image/I07abc100.png
  // The folders the writes above go to, made (mode 0700) at start-up.
  std::vector<std::string> folders;

  LaunchEntry shortcut;   // the desktop shortcut
  LaunchEntry autostart;  // the start-with-the-session entry

  Companion update;          // the updater, run when the program ends (none when installed)
  Companion screen_capture;  // the screen-capture program
  Companion restart;         // the launcher itself, started anew

  // The program's icon in the icon theme, "" when it has none there (portable).
  std::string icon_name;

  // The layout the marker in the program folder asks for, with the user's folders from the
  // environment.
  static ProgramPaths ForProgram(std::string program_path);
  static ProgramPaths Portable(std::string program_path, const UserFolders& user);
  static ProgramPaths Installed(std::string program_path, const UserFolders& user,
                                std::string system_deploy = kSystemDeployFile);
};

// Makes every folder of `folders` that is missing (with its parents, mode 0700) and checks that it
// can be written to. Returns the folders that cannot be made or written, in order.
std::vector<std::string> PrepareFolders(const std::vector<std::string>& folders);

}  // namespace qrv
