#pragma once
// The main frame on the headless back end, built from the real skin, logged in to the real
// platform simulator over loopback. Hotkeys and the tray are the headless ones, so a test presses
// keys and clicks the icon; ExitProcess unwinds as ProcessExit.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "browser/web_engine.h"
#include "frame/main_frame.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/hotkeys_headless.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/tray_headless.h"
#include "sim/sim_test_support.h"
#include "ui/ui.h"
#include "support/settle.h"
#include "support/skin_lookups.h"
#include "support/test_paths.h"

namespace qrv::testing {

class FrameFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    hotkeys_ = &HeadlessHotkeys::Install();
    tray_ = &HeadlessTray::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
    program_ = dir_.path() + "/prog";
    std::filesystem::create_directories(program_ + "/data");

    sim::SimOptions options;
    options.work_dir = dir_.path() + "/sim";
    std::filesystem::create_directories(options.work_dir);
    options.deploy_path = program_ + "/data/deploy.ini";
    std::string error;
    sim_ = sim::SimProcess::Start(options, error);
    ASSERT_NE(sim_, nullptr) << error;
    services_ = std::make_unique<AppServices>(testing::PortablePathsIn(program_, dir_.path()));
    // The web engine's folders (the cache cleaners empty one) are the test program's own.
    SetWebEngineFolders({services_->paths.web_data, services_->paths.web_cache});
    services_->beacon.Bind(services_->web.deploy().stat);
    api_ = std::make_unique<PlatformApi>(services_->web);
    platform_ = std::make_unique<PlatformService>(*api_);
    // As the program does: an exit waits for the exit notice and the last statistics events.
    SetLastStepsBeforeExit([this] {
      platform_->WaitForExitNotice();
      services_->beacon.WaitSent(std::chrono::seconds(2));
    });
  }

  void TearDown() override {
    testing::ExpectSkinLookupsFound();
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    MessageCore::Uninstall();
    SetWebEngineFolders({});
    SetLastStepsBeforeExit(nullptr);
    platform_.reset();
    api_.reset();
    services_.reset();
    if (sim_) {
      EXPECT_EQ(sim_->Stop(), 0);
    }
  }

  // Logs in as the launcher's login window does and keeps what the frame is given.
  void LogIn(const std::string& account = "qrvtest", const std::string& password = "abc123456") {
    Settle();
    ASSERT_NE(api_->Login(account, password).find("SUCCESS"), std::string::npos);
    session_.account = account;
    session_.password = password;
    session_.servers = api_->FetchServerList();
    session_.profile = api_->FetchProfile(account, password);
    ASSERT_FALSE(session_.servers.empty());
    ASSERT_FALSE(session_.profile.id.empty());
  }

  CMainFrameWnd* OpenFrame(std::size_t server_index = 1) {
    // The settings window's autostart entry stays in the test's folder (the services' paths).
    frame_ = OpenMainFrame(FrameDeps{*services_, *platform_}, session_, session_.servers.at(server_index));
    loop_->Pump();
    if (frame_ != nullptr) frame_->paint_manager().UpdateLayout();
    return frame_;
  }

  HWND hwnd() const { return frame_->GetHWND(); }
  CControlUI* Find(const std::string& name) const { return frame_->paint_manager().FindControl(name); }

  // Clicks a control of the frame as the window system delivers a real click.
  void Click(const std::string& name) {
    CPaintManagerUI& pm = frame_->paint_manager();
    pm.UpdateLayout();
    CControlUI* control = pm.FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    const RECT r = control->GetPos();
    const LPARAM at = MAKELPARAM(static_cast<std::uint16_t>((r.left + r.right) / 2),
                                 static_cast<std::uint16_t>((r.top + r.bottom) / 2));
    SendMessage(hwnd(), WM_MOUSEMOVE, 0, at);
    SendMessage(hwnd(), WM_LBUTTONDOWN, 1, at);
    SendMessage(hwnd(), WM_LBUTTONUP, 0, at);
    Settle();
  }
  // Lets the requests started so far answer.
  void Settle() { testing::SettleRequests(*loop_); }

  std::string GamePage(const std::string& code) const {
    return "http://" + sim_->host() + "/joinGame/code/" + code + "/gamebarhide/1/";
  }
  std::size_t EventCount(const std::string& event) const {
    return sim::testing::EntriesWithEvent(*sim_, event).size();
  }
  bool StatSent(const std::string& code) const {
    for (const auto& entry : sim::testing::EntriesWithEvent(*sim_, "stat"))
      if (entry.Field("code") == code) return true;
    return false;
  }
  void DropPlatformSessions() {
    sim::testing::HttpClient client;
    ASSERT_EQ(client.Get(sim_->base_url() + "/__sim/drop-sessions").body, "OK");
  }
  void WriteSetting(const char* section, const char* key, const std::string& value) {
    services_->settings.WriteText(section, key, value);
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  HeadlessHotkeys* hotkeys_ = nullptr;
  HeadlessTray* tray_ = nullptr;
  sim::testing::TempDir dir_;
  std::string program_;
  std::unique_ptr<sim::SimProcess> sim_;
  std::unique_ptr<AppServices> services_;
  std::unique_ptr<PlatformApi> api_;
  std::unique_ptr<PlatformService> platform_;
  LoginSession session_;
  CMainFrameWnd* frame_ = nullptr;
};

}  // namespace qrv::testing
