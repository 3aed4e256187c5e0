#pragma once
// What the end-to-end tests share: a simulator in a fresh folder and the launcher installed beside
// it, pointed at it; a private session bus for the launcher; the steps from the start to the
// logged-in main frame; the statistics codes and game pages the simulator received; the settings
// of a remembered account.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/launcher_process.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"
#include "support/fake_notifications.h"

namespace qrv::e2e {

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Starts the simulator with `options` in the folder `sim_folder` and installs the launcher in
  // `launcher_folder`, pointed at it (both folders inside `dir_`).
  void StartSimulatorAndLauncher(sim::SimOptions options, const std::string& sim_folder = "sim",
                                 const std::string& launcher_folder = "launcher");
  // Starts a session bus of the test's own (`bus_`) and points the launcher at it, with nothing
  // else of a desktop session started on it: no accessibility bus, settings kept in memory.
  void UsePrivateBus();

  // Starts the launcher as it is installed and waits for its login window.
  void StartAndWaitForLogin();
  // Remembers the account (see RememberedAccount) with `runset`, starts the launcher and waits
  // until the automatic login shows the recommended server.
  void StartLoggedIn(const std::string& runset = "autorun=0\n");
  // Waits until the login window shows the recommended server, as it does once logged in.
  void WaitForRecommendedServer();
  // Clicks the login window's recommended server and waits for the main frame.
  void OpenRecommendedServer();
  // StartLoggedIn, then OpenRecommendedServer.
  void StartLoggedInFrame(const std::string& runset = "autorun=0\n");

  // Every statistics code the simulator received, in order.
  std::vector<std::string> StatCodes() const;
  // How often the game page of `code` was asked for with the session cookie of the last login.
  int GamePagesWithSession(const std::string& code) const;

  // The "visible" of the first window of class `cls`, and the text of a control.
  bool WindowVisible(const std::string& cls) { return WindowFlag(launcher_->automation(), cls, "visible"); }
  std::string ControlText(const std::string& cls, const std::string& name) {
    return launcher_->automation().Control(cls, name).String("text");
  }

  sim::testing::TempDir dir_;
  // Made by UsePrivateBus; it outlives the launcher, which would end with its bus.
  std::unique_ptr<test::PrivateSessionBus> bus_;
  std::unique_ptr<sim::SimProcess> sim_;
  std::unique_ptr<LauncherProcess> launcher_;
};

// The settings file of a player whose account "qrvtest" (password "abc123456") is remembered and
// logs in by itself: shortcut made, notice read, and `runset`'s lines in [Runset] beside
// "autologin=1".
std::string RememberedAccount(const std::string& runset = "autorun=0\n");

}  // namespace qrv::e2e
