#include "app/desktop_entries.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace qrv {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DesktopEntries, ShortcutStartsTheProgramInItsFolderAndIsExecutable) {
  test::TempDir desktop;
  const LaunchEntry shortcut{desktop.File("玄岚城登陆器.desktop"), "/opt/my games/zelto_qrv",
                             "/opt/my games/"};
  ASSERT_TRUE(CreateDesktopShortcut(shortcut, "玄岚城登陆器"));
  const std::string entry = ReadAll(shortcut.file);
  EXPECT_NE(entry.find("Name=玄岚城登陆器\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=\"/opt/my games/zelto_qrv\"\n"), std::string::npos);
  EXPECT_NE(entry.find("Path=/opt/my games/\n"), std::string::npos);
  struct stat info {};
  ASSERT_EQ(stat(shortcut.file.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);

  // The desktop entry parser reads back exactly the program path.
  g_autoptr(GKeyFile) keys = g_key_file_new();
  ASSERT_TRUE(g_key_file_load_from_file(keys, shortcut.file.c_str(), G_KEY_FILE_NONE, nullptr));
  g_autofree gchar* exec = g_key_file_get_string(keys, "Desktop Entry", "Exec", nullptr);
  gchar** argv = nullptr;
  ASSERT_TRUE(g_shell_parse_argv(exec, nullptr, &argv, nullptr));
  EXPECT_STREQ(argv[0], "/opt/my games/zelto_qrv");
  g_strfreev(argv);
}

TEST(DesktopEntries, InstalledShortcutStartsTheCommandAndMissingDesktopFails) {
  test::TempDir desktop;
  const LaunchEntry shortcut{desktop.File("玄岚城登陆器.desktop"), "zelto-qrv", ""};
  ASSERT_TRUE(CreateDesktopShortcut(shortcut, "玄岚城登陆器"));
  const std::string entry = ReadAll(shortcut.file);
  EXPECT_NE(entry.find("Exec=zelto-qrv\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.find("Path="), std::string::npos);
  EXPECT_FALSE(CreateDesktopShortcut(LaunchEntry{desktop.File("no-such-folder/x.desktop"), "zelto-qrv", ""},
                                     "玄岚城登陆器"));
}

TEST(DesktopEntries, AutostartEntryFollowsTheSetting) {
  test::TempDir config;
  const LaunchEntry autostart{config.File("autostart/KRAVO.desktop"), "/opt/qrv/zelto_qrv", "/opt/qrv/"};
  SetAutostart(true, autostart);
  const std::string entry = ReadAll(autostart.file);
  EXPECT_NE(entry.find("Exec=\"/opt/qrv/zelto_qrv\"\n"), std::string::npos);
  EXPECT_NE(entry.find("Path=/opt/qrv/\n"), std::string::npos);
  SetAutostart(false, autostart);
  EXPECT_FALSE(g_file_test(autostart.file.c_str(), G_FILE_TEST_EXISTS));
  SetAutostart(false, autostart);  // removing what is not there is fine
}

}  // namespace
}  // namespace qrv
