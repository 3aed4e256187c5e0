#pragma once
// The launcher's entries in the desktop: the shortcut on the desktop and the start-with-the-session
// entry. Both are freedesktop.org desktop entry files.

#include <string>

#include "app/program_paths.h"

namespace qrv {

// Writes the shortcut `shortcut.file` named `display_name` that starts its command, and makes it
// executable. The desktop folder must exist already. Returns whether the file was saved.
bool CreateDesktopShortcut(const LaunchEntry& shortcut, const std::string& display_name);

inline constexpr const char* kAutostartName = "KRAVO";

// Puts the autostart entry `entry.file` (named KRAVO) in line with `on`: written, or removed.
// Failures are silent, as a registry write without rights is.
void SetAutostart(bool on, const LaunchEntry& entry);

// Quotes a path for the Exec key of a desktop entry, so that a launcher that expands the field
// codes and then splits the line as a shell would gets `argument` back as one argument.
std::string QuoteExecArgument(const std::string& argument);

}  // namespace qrv
