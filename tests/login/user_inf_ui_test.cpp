// The player information pop-up: placed beside the account button, hidden three seconds after
// each show (a second show restarts the wait), following the frame's server with the nickname it
// was made with; "bnxuanfu" asks the frame for the server list, "bnreload" always ends the program.

#include "login/user_inf_ui.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/frame_messages.h"
#include "login/login_window_fixture.h"
#include "platform/process.h"
#include "tools/window_test_support.h"

namespace qrv {
namespace {

ServerEntry Server(const std::string& id, const std::string& name) {
  ServerEntry server;
  server.id = id;
  server.name = name;
  server.code = "s" + id;
  server.type = "2";
  return server;
}

class UserInfTest : public testing::LoginWindowFixture {
 protected:
  void SetUp() override {
    LoginWindowFixture::SetUp();
    StartPlatform();
    frame_ = std::make_unique<testing::RecordingFrame>();
    player_.nick = "风起云涌";
    player_.id = "10086";
  }
  void TearDown() override {
    frame_.reset();
    LoginWindowFixture::TearDown();
  }

  CUserInfUI* OpenPopup(POINT at, const ServerEntry& server) {
    auto* popup = new CUserInfUI(*services_, frame_->hwnd(), server, player_);
    if (popup->CreatePopup(at) == nullptr) return nullptr;  // gone with its window
    popup->ShowAt(at, server);
    loop_->Pump();
    return popup;
  }
  static std::string TextOf(CUserInfUI* popup, const std::string& name) {
    CControlUI* control = popup->paint_manager().FindControl(name);
    return control != nullptr ? control->GetText() : "<missing>";
  }
  bool Visible(CUserInfUI* popup) const { return windows_->StateOf(popup->GetHWND())->visible; }
  POINT TopLeft(CUserInfUI* popup) const {
    const RECT r = windows_->WindowRect(popup->GetHWND());
    return POINT{r.left, r.top};
  }

  std::unique_ptr<testing::RecordingFrame> frame_;
  PlayerProfile player_;
};

TEST_F(UserInfTest, OpensBesideTheButtonWithTheNicknameAndTheServer) {
  // The account button at 900..980 x 10..40 of the screen: the pop-up's corner is 326 left of its
  // right edge and 30 below its top.
  const POINT at = CUserInfUI::PositionBeside(RECT{900, 10, 980, 40});
  EXPECT_EQ(at.x, 980 - 326);
  EXPECT_EQ(at.y, 10 + 30);
  CUserInfUI* popup = OpenPopup(at, Server("12", "玄岚城[12服]"));
  ASSERT_NE(popup, nullptr);
  const HWND hwnd = popup->GetHWND();
  EXPECT_EQ(popup->GetWindowClassName(), "UIUserInf");
  EXPECT_EQ(windows_->Title(hwnd), "玩家信息");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  const std::uint32_t style = windows_->Style(hwnd);
  EXPECT_NE(style & WS_POPUP, 0u);
  EXPECT_EQ(style & WS_CAPTION, 0u);
  EXPECT_TRUE(Visible(popup));
  const RECT rect = windows_->WindowRect(hwnd);
  EXPECT_EQ(rect.left, at.x);
  EXPECT_EQ(rect.top, at.y);
  EXPECT_EQ(rect.Width(), 330);  // from the layout
  EXPECT_EQ(rect.Height(), 150);
  for (const char* name : {"txnickname", "txuserinf", "bnreload", "bnxuanfu"}) {
    EXPECT_NE(popup->paint_manager().FindControl(name), nullptr) << name;
  }
  EXPECT_EQ(TextOf(popup, "txnickname"), "风起云涌");
  EXPECT_EQ(TextOf(popup, "txuserinf"), "玄岚城[12服]");
  SaveRendering(popup->paint_manager(), "player-information.png");
}

TEST_F(UserInfTest, EachShowRestartsTheHideTimerAndTakesTheCurrentServer) {
  const POINT first = CUserInfUI::PositionBeside(RECT{900, 10, 980, 40});
  CUserInfUI* popup = OpenPopup(first, Server("12", "玄岚城[12服]"));
  ASSERT_NE(popup, nullptr);
  loop_->Advance(2000);
  EXPECT_TRUE(Visible(popup));

  // The frame was moved and switched servers; the second show is by the button again.
  const POINT second = CUserInfUI::PositionBeside(RECT{700, 60, 780, 90});
  popup->ShowAt(second, Server("45", "双线45区[45服]"));
  EXPECT_EQ(TopLeft(popup).x, second.x);
  EXPECT_EQ(TopLeft(popup).y, second.y);
  EXPECT_EQ(TextOf(popup, "txuserinf"), "双线45区[45服]");
  EXPECT_EQ(TextOf(popup, "txnickname"), "风起云涌");
  EXPECT_EQ(popup->server().id, "45");

  loop_->Advance(2000);  // past the first show's three seconds
  EXPECT_TRUE(Visible(popup));
  loop_->Advance(1000);
  EXPECT_FALSE(Visible(popup));
  // The timer stopped with the hide: nothing fires again.
  SendMessage(popup->GetHWND(), WM_TIMER, 7, 0);
  loop_->Advance(10000);
  EXPECT_FALSE(Visible(popup));
  EXPECT_TRUE(IsWindow(popup->GetHWND()));  // kept for the next show

  popup->ShowAt(first, Server("12", "玄岚城[12服]"));
  EXPECT_TRUE(Visible(popup));
  EXPECT_EQ(TextOf(popup, "txuserinf"), "玄岚城[12服]");
  loop_->Advance(3000);
  EXPECT_FALSE(Visible(popup));
}

TEST_F(UserInfTest, ChoosingAServerAsksTheFrameAndHides) {
  CUserInfUI* popup = OpenPopup(POINT{600, 40}, Server("12", "玄岚城[12服]"));
  ASSERT_NE(popup, nullptr);
  ClickOnly(popup->GetHWND(), popup->paint_manager(), "bnxuanfu");
  EXPECT_FALSE(Visible(popup));
  EXPECT_EQ(frame_->Count(kMsgOpenServerList), 0);  // posted, not sent
  Settle();
  EXPECT_EQ(frame_->Count(kMsgOpenServerList), 1);
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200006"}));
}

TEST_F(UserInfTest, ReloadStartsANewLauncherFromTheProgramFolderAndEndsWithCodeZero) {
  // The new launcher is the one in the program's folder, whatever the working directory is.
  const std::filesystem::path program = services_->paths.directory;
  const std::filesystem::path work = dir_.path() + "/work";
  std::filesystem::create_directories(work);
  const std::filesystem::path marker = work / "started";
  {
    std::ofstream script(program / "zelto_qrv");
    script << "#!/bin/sh\npwd > \"" << marker.string() << "\"\n";
  }
  std::filesystem::permissions(program / "zelto_qrv", std::filesystem::perms::owner_all);
  testing::ScopedCurrentDir in_work(work);

  CUserInfUI* popup = OpenPopup(POINT{600, 40}, Server("12", "玄岚城[12服]"));
  ASSERT_NE(popup, nullptr);
  ScopedExitHook exit_hook;
  try {
    Click(popup->GetHWND(), popup->paint_manager(), "bnreload");
    ADD_FAILURE() << "the program did not end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  EXPECT_EQ(frame_->Count(kMsgExitSteps), 1);  // sent, before the end
  EXPECT_EQ(StatCodes(), (std::vector<std::string>{"200005"}));
  std::error_code ignored;
  const auto written = [&] { return std::filesystem::exists(marker) && std::filesystem::file_size(marker, ignored) > 0; };
  for (int i = 0; i < 100 && !written(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream started(marker);
  std::string folder;
  std::getline(started, folder);
  EXPECT_EQ(folder + "/", program.string());
}

TEST_F(UserInfTest, ReloadEndsTheProgramEvenWhenTheNewLauncherCannotStart) {
  const std::filesystem::path empty = dir_.path() + "/empty";
  std::filesystem::create_directories(empty);
  testing::ScopedCurrentDir in_empty(empty);
  CUserInfUI* popup = OpenPopup(POINT{600, 40}, Server("12", "玄岚城[12服]"));
  ASSERT_NE(popup, nullptr);
  ScopedExitHook exit_hook;
  try {
    Click(popup->GetHWND(), popup->paint_manager(), "bnreload");
    ADD_FAILURE() << "the program did not end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  EXPECT_EQ(frame_->Count(kMsgExitSteps), 1);
}

}  // namespace
}  // namespace qrv
