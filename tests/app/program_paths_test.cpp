// The two layouts of the program's files: a portable folder that keeps everything in data/ beside
// the program, and an installed program that only reads its folder and writes the player's XDG
// folders; the deployment file of the system overridden key by key by the player's; and start-up
// with folders that cannot be made.

#include "app/program_paths.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "net/deploy_config.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/message_core.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace qrv {
namespace {

namespace fs = std::filesystem;

bool Under(const std::string& path, const std::string& folder) { return path.rfind(folder + "/", 0) == 0; }

// Every file the program writes, whatever the layout.
std::vector<std::string> WrittenFiles(const ProgramPaths& paths) {
  return {paths.settings,      paths.cookies,        paths.alarms,
          paths.web_data,      paths.web_cache,      paths.saved_picture,
          paths.shortcut.file, paths.autostart.file, paths.deploy_files.back()};
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

TEST(ProgramPaths, TheMarkerKeepsAPortableProgramsFilesInItsOwnDataFolder) {
  test::TempDir dir;
  const std::string program = dir.File("games/qrv/zelto_qrv");
  fs::create_directories(dir.File("games/qrv"));
  // Without the marker the program is an installed one.
  EXPECT_EQ(ProgramPaths::ForProgram(program).layout, Layout::kInstalled);
  std::ofstream(dir.File("games/qrv/portable.txt")) << "portable\n";
  const ProgramPaths found = ProgramPaths::ForProgram(program);
  EXPECT_EQ(found.layout, Layout::kPortable);
  EXPECT_EQ(found.settings, dir.File("games/qrv/data/systemset.ini"));

  const ProgramPaths paths = testing::PortablePathsIn(dir.File("games/qrv"), dir.path());
  const std::string data = dir.File("games/qrv/data");
  EXPECT_EQ(paths.directory, dir.File("games/qrv/"));
  EXPECT_EQ(paths.skin_archive, dir.File("games/qrv/skin/box.bk"));
  EXPECT_EQ(paths.folders, std::vector<std::string>{data});
  EXPECT_EQ(paths.deploy_files, std::vector<std::string>{data + "/deploy.ini"});
  EXPECT_EQ(paths.alarms, data + "/clocklist.ini");
  EXPECT_EQ(paths.web_cache, data + "/webkit-cache");
  EXPECT_EQ(paths.saved_picture, dir.File("games/qrv/image/I07abc100.png"));
  for (const std::string& file :
       {paths.settings, paths.cookies, paths.alarms, paths.web_data, paths.web_cache})
    EXPECT_TRUE(Under(file, data)) << file;
  // The entries start the program by its path, in its folder; the companions lie beside it.
  EXPECT_EQ(paths.autostart.file, dir.File("user/config/autostart/KRAVO.desktop"));
  EXPECT_EQ(paths.shortcut.file, dir.File("user/Desktop/玄岚城登陆器.desktop"));
  EXPECT_EQ(paths.shortcut.command, program);
  EXPECT_EQ(paths.autostart.working_folder, paths.directory);
  EXPECT_EQ(paths.update.folder + paths.update.program, paths.directory + "./update");
  EXPECT_EQ(paths.restart.folder + paths.restart.program, paths.directory + "./zelto_qrv");
  EXPECT_EQ(paths.icon_name, "");
}

TEST(ProgramPaths, AnInstalledProgramOnlyReadsItsFolderAndWritesThePlayersFoldersMadePrivate) {
  test::TempDir dir;
  const UserFolders user = testing::TestUserFolders(dir.path());
  const ProgramPaths paths = ProgramPaths::Installed("/usr/lib/zelto-qrv/zelto_qrv", user);
  const std::string config = user.config_home + "/zelto-qrv";
  const std::string data = user.data_home + "/zelto-qrv";
  const std::string cache = user.cache_home + "/zelto-qrv";

  EXPECT_EQ(paths.layout, Layout::kInstalled);
  EXPECT_EQ(paths.skin_archive, "/usr/lib/zelto-qrv/skin/box.bk");
  EXPECT_EQ(paths.deploy_files,
            (std::vector<std::string>{"/etc/zelto-qrv/deploy.ini", config + "/deploy.ini"}));
  EXPECT_EQ(paths.settings, config + "/systemset.ini");
  EXPECT_EQ(paths.alarms, data + "/clocklist.ini");
  EXPECT_EQ(paths.cookies, data + "/cookies.txt");
  EXPECT_TRUE(Under(paths.web_data, data));
  EXPECT_TRUE(Under(paths.web_cache, cache));
  EXPECT_TRUE(Under(paths.saved_picture, data));
  for (const std::string& file : WrittenFiles(paths))
    EXPECT_TRUE(Under(file, dir.path() + "/user")) << file << " is outside the player's folders";
  // The menu's command, not a path into /usr/lib; the package manager updates the program.
  EXPECT_EQ(paths.shortcut.command, "zelto-qrv");
  EXPECT_EQ(paths.autostart.command, "zelto-qrv");
  EXPECT_EQ(paths.autostart.working_folder, "");
  EXPECT_EQ(paths.update.program, "");
  EXPECT_EQ(paths.restart.folder, "");
  EXPECT_EQ(paths.restart.program, "zelto-qrv");
  EXPECT_EQ(paths.screen_capture.folder, "/usr/lib/zelto-qrv/");
  EXPECT_EQ(paths.icon_name, kApplicationId);

  // The folders are made private to the player, their parents too when missing.
  EXPECT_EQ(paths.folders, (std::vector<std::string>{config, data, cache}));
  EXPECT_TRUE(PrepareFolders(paths.folders).empty());
  for (const std::string& folder : {config, data, cache, user.data_home})
    EXPECT_EQ(ModeOf(folder), 0700u) << folder;
  // A folder that cannot be made (a file stands in its way, which holds even for root) is named.
  std::ofstream(dir.File("blocked")) << "a file";
  const std::string blocked = dir.File("blocked/zelto-qrv");
  EXPECT_EQ(PrepareFolders({config, blocked}), std::vector<std::string>{blocked});
}

TEST(DeployConfig, ThePlayersFileOverridesTheSystemsKeyByKey) {
  test::TempDir dir;
  const std::string system = dir.File("etc-deploy.ini");
  const std::string own = dir.File("own-deploy.ini");
  std::ofstream(system)
      << "[hosts]\nsite=platform.example:8080\nstat=stat.example\n[chat]\nhost=kf.example\nport=9000\n";
  std::ofstream(own) << "; the player's platform\n[HOSTS]\nsite=127.0.0.1:8123\n[chat]\nport=70000\n";

  const DeployConfig config = DeployConfig::Load(std::vector<std::string>{system, own});
  EXPECT_EQ(config.site, "127.0.0.1:8123");  // the player's
  EXPECT_EQ(config.stat, "stat.example");    // the system's, which the player left alone
  EXPECT_EQ(config.chat_host, "kf.example");
  EXPECT_EQ(config.chat_port, 9000);            // the player's port is no port
  EXPECT_EQ(config.game, DeployConfig().game);  // in neither file: the built-in default
  // Without the player's file (or without both) the system's values (or the defaults) hold.
  EXPECT_EQ(DeployConfig::Load(std::vector<std::string>{system, dir.File("none.ini")}).site,
            "platform.example:8080");
  EXPECT_EQ(DeployConfig::Load(std::vector<std::string>{dir.File("none.ini")}).site, DeployConfig().site);

  EXPECT_EQ(SplitHostPort("127.0.0.1:8123").port, 8123);
  EXPECT_EQ(SplitHostPort("stat.zelto.com").port, 80);
  EXPECT_EQ(SplitHostPort("[::1]:81").host, "[::1]");
  EXPECT_EQ(SplitHostPort("host:99999").port, 80);
}

TEST(StartUp, FoldersThatCannotBeMadeAreToldOnceAndNothingIsWrittenElsewhere) {
  test::TempDir dir;
  HeadlessLoop::Install();
  HeadlessWindows& windows = HeadlessWindows::Install();
  std::vector<std::string> told;
  windows.SetMessageBoxResponder([&](const std::string& text, const std::string&) {
    told.push_back(text);
    return IDOK;
  });
  // A read-only home: the player's configuration folder cannot be made (a file is in its way).
  UserFolders user = testing::TestUserFolders(dir.path());
  fs::create_directories(dir.File("user"));
  std::ofstream(user.config_home) << "not a folder";
  const std::string deploy = dir.File("deploy.ini");
  std::ofstream(deploy) << "[hosts]\nstat=127.0.0.1:1\n";  // statistics go nowhere
  const auto before = fs::file_size(user.config_home);

  CMyWebApp app(ProgramPaths::Installed(dir.File("prog/zelto_qrv"), user, deploy), nullptr);
  EXPECT_FALSE(app.InitInstance());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], UnusableFoldersText({user.config_home + "/zelto-qrv"}));
  EXPECT_NE(told[0].find(kUnusableFoldersText), std::string::npos);
  // The settings read their defaults and go nowhere; the other folders were made as usual.
  EXPECT_EQ(app.services()->settings.ReadInt("Runset", "autorun", 1), 1);
  EXPECT_EQ(fs::file_size(user.config_home), before);
  EXPECT_TRUE(fs::is_directory(user.data_home + "/zelto-qrv"));
  EXPECT_FALSE(fs::exists(dir.File("prog")));
  MessageCore::Uninstall();
}

}  // namespace
}  // namespace qrv
