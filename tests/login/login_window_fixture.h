#pragma once
// The login window on the headless back end, built from the real skin, talking to the real
// platform simulator over loopback. Each test gets a program folder of its own (deploy.ini
// pointing at the simulator, the settings file) and a hand-off that records what it was asked.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "login/login_dlg.h"
#include "login/login_error_window.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "sim/sim_test_support.h"
#include "ui/ui.h"
#include "support/settle.h"
#include "support/skin_lookups.h"
#include "support/test_paths.h"

namespace qrv::testing {

class RecordingHandOff final : public LoginHandOff {
 public:
  struct FrameRequest {
    LoginSession session;
    ServerEntry server;
  };
  struct ListRequest {
    LoginSession session;
    POINT at;
    HWND owner;
  };
  void OpenGameFrame(const LoginSession& session, const ServerEntry& server) override {
    frames.push_back({session, server});
  }
  void ShowServerList(const LoginSession& session, POINT at, HWND login_window) override {
    lists.push_back({session, at, login_window});
  }
  void CloseServerList() override { ++list_closes; }

  std::vector<FrameRequest> frames;
  std::vector<ListRequest> lists;
  int list_closes = 0;
};

// Live windows of the class `cls`.
inline int CountWindows(const std::string& cls) {
  int count = 0;
  for (HWND hwnd : AllWindows()) {
    CWindowWnd* window = CWindowWnd::FromHandle(hwnd);
    if (window != nullptr && window->GetWindowClassName() == cls) ++count;
  }
  return count;
}

class LoginWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
    program_ = dir_.path() + "/prog";
    std::filesystem::create_directories(program_ + "/data");
  }
  void TearDown() override {
    testing::ExpectSkinLookupsFound();
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    MessageCore::Uninstall();
    SetLastStepsBeforeExit(nullptr);
    platform_.reset();
    api_.reset();
    services_.reset();
    if (sim_) {
      EXPECT_EQ(sim_->Stop(), 0);
    }
  }

  // Starts the simulator (with the default data, or `data_json` written to a file of its own) and
  // makes the services of a program in `program_`.
  void StartPlatform(const std::string& data_json = "") {
    sim::SimOptions options;
    options.work_dir = dir_.path() + "/sim";
    std::filesystem::create_directories(options.work_dir);
    options.deploy_path = program_ + "/data/deploy.ini";
    if (!data_json.empty()) {
      options.data_file = dir_.path() + "/platform.json";
      std::ofstream(options.data_file) << data_json;
    }
    std::string error;
    sim_ = sim::SimProcess::Start(options, error);
    ASSERT_NE(sim_, nullptr) << error;
    services_ = std::make_unique<AppServices>(testing::PortablePathsIn(program_, dir_.path()));
    services_->beacon.Bind(services_->web.deploy().stat);
    api_ = std::make_unique<PlatformApi>(services_->web);
    platform_ = std::make_unique<PlatformService>(*api_);
    // As the program does: an exit waits for the exit notice and the last statistics events.
    SetLastStepsBeforeExit([this] {
      platform_->WaitForExitNotice();
      services_->beacon.WaitSent(std::chrono::seconds(2));
    });
  }

  CLoginDlg* OpenLogin(LoginHandOff* hand_off = nullptr) {
    auto* login = new CLoginDlg(*services_, *platform_, hand_off);
    login->Create(nullptr, "玄岚城", WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0);
    login->CenterWindow();
    login->ShowWindow(true);
    Settle();
    login->paint_manager().UpdateLayout();
    return login;
  }

  // Clicks a control of a window as the window system delivers a real click, then lets the
  // requests the click started answer.
  void Click(HWND hwnd, CPaintManagerUI& pm, const std::string& name) {
    ClickOnly(hwnd, pm, name);
    Settle();
  }
  void Click(CLoginDlg* login, const std::string& name) { Click(login->GetHWND(), login->paint_manager(), name); }
  // The click alone: what the window does before any answer has come back.
  static void ClickOnly(HWND hwnd, CPaintManagerUI& pm, const std::string& name) {
    pm.UpdateLayout();  // as a paint would before the player sees the control
    CControlUI* control = pm.FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    const RECT r = control->GetPos();
    const LPARAM at = MAKELPARAM(static_cast<std::uint16_t>((r.left + r.right) / 2),
                                 static_cast<std::uint16_t>((r.top + r.bottom) / 2));
    SendMessage(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessage(hwnd, WM_LBUTTONDOWN, 1, at);
    SendMessage(hwnd, WM_LBUTTONUP, 0, at);
  }

  static CControlUI* Find(CLoginDlg* login, const std::string& name) {
    return login->paint_manager().FindControl(name);
  }
  static std::string TextOf(CLoginDlg* login, const std::string& name) {
    CControlUI* control = Find(login, name);
    return control != nullptr ? control->GetText() : "<missing>";
  }
  static bool Shown(CLoginDlg* login, const std::string& name) {
    CControlUI* control = Find(login, name);
    return control != nullptr && control->IsVisible();
  }
  static void Type(CLoginDlg* login, const std::string& account, const std::string& password) {
    Find(login, "edusername")->SetText(account);
    Find(login, "edpw")->SetText(password);
  }
  static COptionUI* NoteOption(CLoginDlg* login) {
    return static_cast<COptionUI*>(Find(login, "opnote")->GetInterface("Option"));
  }

  void Settle() { testing::SettleRequests(*loop_); }

  void WriteSetting(const char* section, const char* key, const std::string& value) {
    services_->settings.WriteText(section, key, value);
  }
  std::string SettingsBytes() const {
    std::ifstream in(program_ + "/data/systemset.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::vector<std::string> StatCodes() const {
    std::vector<std::string> codes;
    for (const auto& entry : sim::testing::EntriesWithEvent(*sim_, "stat"))
      codes.push_back(entry.Field("code"));
    return codes;
  }
  std::size_t EventCount(const std::string& event) const {
    return sim::testing::EntriesWithEvent(*sim_, event).size();
  }

  static void SaveRendering(CPaintManagerUI& pm, const std::string& file) {
    std::filesystem::create_directories(QRV_DOCS_OUTPUT);
    EXPECT_TRUE(pm.RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/" + file)) << file;
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  sim::testing::TempDir dir_;
  std::string program_;
  std::unique_ptr<sim::SimProcess> sim_;
  std::unique_ptr<AppServices> services_;
  std::unique_ptr<PlatformApi> api_;
  std::unique_ptr<PlatformService> platform_;
};

}  // namespace qrv::testing
