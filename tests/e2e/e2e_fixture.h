#pragma once
// What the end-to-end tests share: a simulator in a fresh folder and the launcher installed beside
// it, pointed at it; the statistics codes the simulator received; the stored form of remembered
// credentials.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/launcher_process.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Every statistics code the simulator received, in order.
  std::vector<std::string> StatCodes() const;

  sim::testing::TempDir dir_;
  std::unique_ptr<sim::SimProcess> sim_;
  std::unique_ptr<LauncherProcess> launcher_;
};

// The stored form of a printable ASCII credential: every byte plus 32.
std::string Scrambled(const std::string& text);

}  // namespace qrv::e2e
