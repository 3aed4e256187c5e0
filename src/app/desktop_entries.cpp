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

// The Exec line that starts `program_path`. GLib (2.74 at least) checks that an entry's program
// exists before it expands the field codes, so it looks for a path holding "%%" and, not finding
// it, refuses the whole entry: such a path is handed to "env", which every launcher finds.
std::string ExecLine(const std::string& program_path) {
  const std::string quoted = QuoteExecArgument(program_path);
  return program_path.find('%') == std::string::npos ? quoted : "env " + quoted;
}

}  // namespace

std::string DesktopDirectory() {
  const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
  if (desktop != nullptr) return desktop;
  g_autofree gchar* fallback = g_build_filename(g_get_home_dir(), "Desktop", nullptr);
  return fallback;
}

std::string AutostartDirectory() {
  g_autofree gchar* dir = g_build_filename(g_get_user_config_dir(), "autostart", nullptr);
  return dir;
}

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

bool CreateDesktopShortcut(const std::string& program_path, const std::string& display_name,
                           const std::string& desktop_dir) {
  if (desktop_dir.empty() || !g_file_test(desktop_dir.c_str(), G_FILE_TEST_IS_DIR)) return false;
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + EscapeValue(display_name) +
                      "\nExec=" + ExecLine(program_path) + "\n";
  // The working folder is the program folder, found as start-up finds it.
  const std::string working_dir = ProgramDirectoryOf(program_path);
  if (!working_dir.empty()) entry += "Path=" + EscapeValue(working_dir) + "\n";
  entry += "Terminal=false\n";
  const std::string path = desktop_dir + "/" + display_name + ".desktop";
  return WriteEntry(path, entry, 0755);
}

void SetAutostart(bool on, const std::string& program_path, const std::string& autostart_dir) {
  const std::string path = autostart_dir + "/" + kAutostartName + ".desktop";
  if (!on) {
    g_remove(path.c_str());
    return;
  }
  g_mkdir_with_parents(autostart_dir.c_str(), 0700);
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + std::string(kAutostartName) +
                      "\nExec=" + ExecLine(program_path) + "\n";
  // Started by the session, the launcher would otherwise run in the home folder.
  const std::string working_dir = ProgramDirectoryOf(program_path);
  if (!working_dir.empty()) entry += "Path=" + EscapeValue(working_dir) + "\n";
  entry += "X-GNOME-Autostart-enabled=true\n";
  WriteEntry(path, entry, 0644);
}

}  // namespace qrv
