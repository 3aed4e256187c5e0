#include "app/desktop_entries.h"

#include <gio/gdesktopappinfo.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/program_paths.h"
#include "net/deploy_config.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace qrv {
namespace {

// A program folder with every character a desktop entry's Exec line treats specially: blanks,
// both quotes, "$", a backslash, and "%" before letters that are field codes.
constexpr const char* kAwkwardFolder = "games 50%off \"it's\" $HOME \\ 100%f%%";

// Puts a stand-in for the program into `folder` (made with its parents): a script that writes its
// working folder and its own path into the file named by $QRV_TEST_MARKER. Returns its path.
std::string InstallStandIn(const std::string& folder) {
  std::filesystem::create_directories(folder);
  const std::string program = folder + "/zelto_qrv";
  std::ofstream(program) << "#!/bin/sh\n"
                            "pwd -P > \"$QRV_TEST_MARKER.part\"\n"
                            "printf '%s\\n' \"$0\" >> \"$QRV_TEST_MARKER.part\"\n"
                            "mv \"$QRV_TEST_MARKER.part\" \"$QRV_TEST_MARKER\"\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  return program;
}

// Starts the desktop entry `entry` as a desktop does, through GLib, and gives what the stand-in
// wrote: its working folder and its path, one a line ("" when it did not start in time).
std::string LaunchThroughGLib(const std::string& entry, const std::string& marker) {
  g_autoptr(GDesktopAppInfo) info = g_desktop_app_info_new_from_filename(entry.c_str());
  if (info == nullptr) return "<not an application entry>";
  g_autoptr(GAppLaunchContext) context = g_app_launch_context_new();
  g_app_launch_context_setenv(context, "QRV_TEST_MARKER", marker.c_str());
  g_autoptr(GError) error = nullptr;
  if (!g_app_info_launch(G_APP_INFO(info), nullptr, context, &error))
    return std::string("<") + error->message + ">";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(marker)) {
    if (std::chrono::steady_clock::now() > until) return "";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return test::ReadFile(marker);
}

TEST(DesktopEntries, ShortcutStartsTheProgramInItsFolderAndIsExecutable) {
  test::TempDir desktop;
  const LaunchEntry shortcut{desktop.File("玄岚城登陆器.desktop"), "/opt/my games/zelto_qrv",
                             "/opt/my games/"};
  ASSERT_TRUE(CreateDesktopShortcut(shortcut, "玄岚城登陆器"));
  const std::string entry = test::ReadFile(shortcut.file);
  EXPECT_NE(entry.find("Name=玄岚城登陆器\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=\"/opt/my games/zelto_qrv\"\n"), std::string::npos);
  EXPECT_NE(entry.find("Path=/opt/my games/\n"), std::string::npos);
  struct stat info {};
  ASSERT_EQ(stat(shortcut.file.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
}

TEST(DesktopEntries, BothEntriesStartTheProgramFromAFolderWithEveryAwkwardCharacter) {
  test::TempDir dir;
  const std::string folder = dir.File(kAwkwardFolder);
  const std::string program = InstallStandIn(folder);
  const std::string expected = std::filesystem::canonical(folder).string() + "\n" + program + "\n";

  ASSERT_TRUE(std::filesystem::create_directory(dir.File("desktop")));
  ASSERT_TRUE(CreateDesktopShortcut(
      LaunchEntry{dir.File("desktop/玄岚城登陆器.desktop"), program, folder + "/"}, "玄岚城登陆器"));
  EXPECT_EQ(LaunchThroughGLib(dir.File("desktop/玄岚城登陆器.desktop"), dir.File("shortcut-started")),
            expected);

  SetAutostart(true, LaunchEntry{dir.File("autostart/KRAVO.desktop"), program, folder + "/"});
  EXPECT_EQ(LaunchThroughGLib(dir.File("autostart/KRAVO.desktop"), dir.File("autostart-started")), expected);
}

TEST(DesktopEntries, InstalledShortcutStartsTheCommandAndMissingDesktopFails) {
  test::TempDir desktop;
  const LaunchEntry shortcut{desktop.File("玄岚城登陆器.desktop"), "zelto-qrv", ""};
  ASSERT_TRUE(CreateDesktopShortcut(shortcut, "玄岚城登陆器"));
  const std::string entry = test::ReadFile(shortcut.file);
  EXPECT_NE(entry.find("Exec=zelto-qrv\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.find("Path="), std::string::npos);
  EXPECT_FALSE(CreateDesktopShortcut(LaunchEntry{desktop.File("no-such-folder/x.desktop"), "zelto-qrv", ""},
                                     "玄岚城登陆器"));
}

TEST(DesktopEntries, AutostartEntryFollowsTheSetting) {
  test::TempDir config;
  const LaunchEntry autostart{config.File("autostart/KRAVO.desktop"), "/opt/qrv/zelto_qrv", "/opt/qrv/"};
  SetAutostart(true, autostart);
  const std::string entry = test::ReadFile(autostart.file);
  EXPECT_NE(entry.find("Exec=\"/opt/qrv/zelto_qrv\"\n"), std::string::npos);
  EXPECT_NE(entry.find("Path=/opt/qrv/\n"), std::string::npos);
  SetAutostart(false, autostart);
  EXPECT_FALSE(g_file_test(autostart.file.c_str(), G_FILE_TEST_EXISTS));
  SetAutostart(false, autostart);  // removing what is not there is fine
}

TEST(DeployConfig, HostsMayCarryASchemeAndAPrivateAuthority) {
  test::TempDir dir;
  std::ofstream(dir.File("deploy.ini"))
      << "[hosts]\nsite=https://www.zelto.com\ngame=HTTPS://127.0.0.1:8443/\n"
         "interface=http://interface.zelto.com\ncafile=tls/ca.pem\n";
  const DeployConfig config = DeployConfig::Load(dir.File("deploy.ini"));
  EXPECT_EQ(config.cafile, dir.File("tls/ca.pem")) << "taken from the file's folder";

  const HostPort site = SplitHostPort(config.site);
  EXPECT_TRUE(site.https);
  EXPECT_EQ(site.host, "www.zelto.com");
  EXPECT_EQ(site.port, 443);
  const HostPort game = SplitHostPort(config.game);
  EXPECT_TRUE(game.https);
  EXPECT_EQ(game.host, "127.0.0.1");
  EXPECT_EQ(game.port, 8443);
  EXPECT_FALSE(SplitHostPort(config.interface).https);
  EXPECT_EQ(SplitHostPort(config.interface).port, 80);

  // Pages of a host keep its scheme; a host without one is plain HTTP, as deployment files were.
  EXPECT_EQ(HttpAddress(config.site, "/register/"), "https://www.zelto.com/register/");
  EXPECT_EQ(HttpAddress(config.game, "/"), "https://127.0.0.1:8443/");
  EXPECT_EQ(HttpAddress(config.interface, "/x"), "http://interface.zelto.com/x");
  EXPECT_EQ(HttpAddress("bbs.zelto.com", "/f"), "http://bbs.zelto.com/f");
  EXPECT_EQ(HostWithoutScheme(config.game), "127.0.0.1:8443");
  EXPECT_EQ(DeployConfig().cafile, "") << "the system's store unless the file names one";
}

}  // namespace
}  // namespace qrv
