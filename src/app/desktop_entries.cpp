#include "app/desktop_entries.h"

#include <glib.h>
#include <glib/gstdio.h>

#include "app/program_paths.h"

namespace qrv {
namespace {

bool WriteEntry(const std::string& path, const std::string& contents, int mode) {
  GError* error = nullptr;
  const bool ok =
      g_file_set_contents_full(path.c_str(), contents.data(), static_cast<gssize>(contents.size()),
                               G_FILE_SET_CONTENTS_CONSISTENT, mode, &error);
  g_clear_error(&error);
  return ok;
}

// Values of desktop entry keys escape backslashes and line breaks.
std::string EscapeValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
  // Inside double quotes the characters ", `, $ and \ are escaped with a backslash; the key's
  // own escaping then doubles every backslash. A "%" starts a field code wherever it stands, even
  // inside quotes (launchers expand field codes before they unquote), so a literal one is "%%".
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return EscapeValue(quoted);
}

namespace {

// The Exec value of an entry: a command found on the PATH is a plain word; a path is quoted. GLib
// (2.74 at least) checks that an entry's program exists before it expands the field codes, so it
// looks for a path holding "%%" and, not finding it, refuses the whole entry: such a path is
// handed to "env", which every launcher finds.
std::string ExecValue(const LaunchEntry& entry) {
  if (entry.command.find('/') == std::string::npos) return EscapeValue(entry.command);
  const std::string quoted = QuoteExecArgument(entry.command);
  return entry.command.find('%') == std::string::npos ? quoted : "env " + quoted;
}

// Lines of an entry that starts `entry`'s command (Exec, and Path when it has a working folder).
std::string StartLines(const LaunchEntry& entry) {
  std::string lines = "Exec=" + ExecValue(entry) + "\n";
  if (!entry.working_folder.empty()) lines += "Path=" + EscapeValue(entry.working_folder) + "\n";
  return lines;
}

}  // namespace

bool CreateDesktopShortcut(const LaunchEntry& shortcut, const std::string& display_name) {
  g_autofree gchar* desktop_dir = g_path_get_dirname(shortcut.file.c_str());
  if (!g_file_test(desktop_dir, G_FILE_TEST_IS_DIR)) return false;
  const std::string entry = "[Desktop Entry]\nType=Application\nName=" + EscapeValue(display_name) + "\n" +
                            StartLines(shortcut) + "Terminal=false\n";
  return WriteEntry(shortcut.file, entry, 0755);
}

void SetAutostart(bool on, const LaunchEntry& entry) {
  if (!on) {
    g_remove(entry.file.c_str());
    return;
  }
  g_autofree gchar* autostart_dir = g_path_get_dirname(entry.file.c_str());
  g_mkdir_with_parents(autostart_dir, 0700);
  // Started by the session, a portable launcher would otherwise run in the home folder.
  const std::string contents = "[Desktop Entry]\nType=Application\nName=" + std::string(kAutostartName) +
                               "\n" + StartLines(entry) + "X-GNOME-Autostart-enabled=true\n";
  WriteEntry(entry.file, contents, 0644);
}

}  // namespace qrv
