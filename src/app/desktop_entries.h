#pragma once
// The launcher's entries in the desktop: the shortcut on the desktop and the start-with-the-session
// entry. Both are freedesktop.org desktop entry files.

#include <string>

namespace qrv {

// The user's desktop folder (XDG), without a trailing "/".
std::string DesktopDirectory();
// "$XDG_CONFIG_HOME/autostart".
std::string AutostartDirectory();

// Writes "<desktop_dir>/<display_name>.desktop" that starts `program_path` in the program's
// folder, and makes it executable. Returns whether the file was saved.
bool CreateDesktopShortcut(const std::string& program_path, const std::string& display_name,
                           const std::string& desktop_dir = DesktopDirectory());

inline constexpr const char* kAutostartName = "KRAVO";

// Puts "<autostart_dir>/KRAVO.desktop" in line with `on`: written with the program's full path, or
// removed. Failures are silent, as a registry write without rights is.
void SetAutostart(bool on, const std::string& program_path,
                  const std::string& autostart_dir = AutostartDirectory());

// Quotes a path for the Exec key of a desktop entry, so that a launcher that expands the field
// codes and then splits the line as a shell would gets `argument` back as one argument.
std::string QuoteExecArgument(const std::string& argument);

}  // namespace qrv
