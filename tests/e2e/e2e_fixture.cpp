#include "e2e/e2e_fixture.h"

#include <filesystem>

namespace qrv::e2e {

void LauncherTest::SetUp() {
  sim::SimOptions options;
  options.work_dir = dir_.path() + "/sim";
  std::filesystem::create_directories(options.work_dir);
  std::string error;
  sim_ = sim::SimProcess::Start(options, error);
  ASSERT_NE(sim_, nullptr) << error;
  launcher_ = std::make_unique<LauncherProcess>(dir_.path() + "/launcher");
  ASSERT_TRUE(launcher_->Install(sim_->deploy_path(), error)) << error;
}

std::vector<std::string> LauncherTest::StatCodes() const {
  std::vector<std::string> codes;
  for (const auto& entry : sim::testing::EntriesWithEvent(*sim_, "stat"))
    codes.push_back(entry.Field("code"));
  return codes;
}

std::string Scrambled(const std::string& text) {
  std::string out;
  for (const char c : text) out.push_back(static_cast<char>(static_cast<unsigned char>(c) + 32));
  return out;
}

}  // namespace qrv::e2e
