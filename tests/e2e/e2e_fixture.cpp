#include "e2e/e2e_fixture.h"

#include <filesystem>

namespace qrv::e2e {
namespace {

// The stored form of a printable ASCII credential: every byte plus 32.
std::string Scrambled(const std::string& text) {
  std::string out;
  for (const char c : text) out.push_back(static_cast<char>(static_cast<unsigned char>(c) + 32));
  return out;
}

}  // namespace

void LauncherTest::SetUp() { StartSimulatorAndLauncher({}); }

void LauncherTest::StartSimulatorAndLauncher(sim::SimOptions options, const std::string& sim_folder,
                                             const std::string& launcher_folder) {
  options.work_dir = dir_.path() + "/" + sim_folder;
  std::filesystem::create_directories(options.work_dir);
  std::string error;
  sim_ = sim::SimProcess::Start(options, error);
  ASSERT_NE(sim_, nullptr) << error;
  launcher_ = std::make_unique<LauncherProcess>(dir_.path() + "/" + launcher_folder);
  ASSERT_TRUE(launcher_->Install(sim_->deploy_path(), error)) << error;
}

void LauncherTest::UsePrivateBus() {
  bus_ = std::make_unique<test::PrivateSessionBus>();
  ASSERT_FALSE(bus_->address().empty()) << bus_->error();
  launcher_->SetEnv("DBUS_SESSION_BUS_ADDRESS", bus_->address());
  launcher_->SetEnv("NO_AT_BRIDGE", "1");
  launcher_->SetEnv("GSETTINGS_BACKEND", "memory");
}

void LauncherTest::StartAndWaitForLogin() {
  std::string error;
  ASSERT_TRUE(launcher_->Start(error)) << error;
  ASSERT_NE(launcher_->automation().WaitForWindow("UILogIn", 30000), 0) << launcher_->output();
}

void LauncherTest::StartLoggedIn(const std::string& runset) {
  launcher_->WriteSettings(RememberedAccount(runset));
  ASSERT_NO_FATAL_FAILURE(StartAndWaitForLogin());
  ASSERT_NO_FATAL_FAILURE(WaitForRecommendedServer());
}

void LauncherTest::WaitForRecommendedServer() {
  auto& automation = launcher_->automation();
  ASSERT_TRUE(WaitFor([&] { return automation.Control("UILogIn", "bntuijian").Bool("visible"); }))
      << launcher_->output();
}

void LauncherTest::OpenRecommendedServer() {
  auto& automation = launcher_->automation();
  ASSERT_TRUE(automation.Click("UILogIn", "bntuijian").ok());
  ASSERT_NE(automation.WaitForWindow("UIMainFrame", 30000), 0) << launcher_->output();
}

void LauncherTest::StartLoggedInFrame(const std::string& runset) {
  ASSERT_NO_FATAL_FAILURE(StartLoggedIn(runset));
  ASSERT_NO_FATAL_FAILURE(OpenRecommendedServer());
}

std::vector<std::string> LauncherTest::StatCodes() const {
  std::vector<std::string> codes;
  for (const auto& entry : sim::testing::EntriesWithEvent(*sim_, "stat"))
    codes.push_back(entry.Field("code"));
  return codes;
}

int LauncherTest::GamePagesWithSession(const std::string& code) const {
  const auto logins = sim::testing::EntriesWithEvent(*sim_, "login_ok");
  if (logins.empty()) return 0;
  const std::string cookie = "PHPSESSID=" + logins.back().Field("session");
  const std::string path = "\"path\":\"/joinGame/code/" + code + "/gamebarhide/1/\"";
  int count = 0;
  for (const auto& line : sim_->LogLines())
    if (line.find(path) != std::string::npos && line.find(cookie) != std::string::npos) ++count;
  return count;
}

std::string RememberedAccount(const std::string& runset) {
  return "[ShellLink]\nhas=2\n[Runset]\nautologin=1\n" + runset +
         "[Update]\nnote=1\nversion=" + Scrambled("qrvtest") + "\ncheckcode=" + Scrambled("abc123456") + "\n";
}

}  // namespace qrv::e2e
