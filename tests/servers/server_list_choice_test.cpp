// Choosing a server from the list: by button, by the latest-server button, by number; in the
// login window's mode (opens the main frame, closes the login window) and in the main frame's
// (posts the switch message with an owning payload); and the header that drags the window.

#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "servers/server_list_fixture.h"

namespace qrv {
namespace {

using ServerListChoiceTest = testing::ServerListFixture;
using testing::StandInWindow;

class ServerListModeTest : public testing::ServerListFixture {
 protected:
  // A list opened from the main frame `frame`.
  CServerListUI* OpenFromFrame(std::vector<ServerEntry> servers, const std::string& played = "") {
    frame_.Open();
    ServerListSetup setup;
    setup.servers = std::move(servers);
    setup.player.played = played;
    setup.mode = CServerListUI::kModeMainFrame;
    setup.owner_hwnd = frame_.GetHWND();
    return Open(std::move(setup));
  }
  StandInWindow frame_{"UIMainFrame"};
};

TEST_F(ServerListModeTest, ChoosingInTheMainFramesModePostsTheServerAndCloses) {
  std::vector<ServerEntry> servers = testing::MakeServers(30);
  CServerListUI* list = OpenFromFrame(servers);
  Click(list, "serbutton7");
  EXPECT_TRUE(frame_.received.empty());  // posted, not sent
  loop_->Pump();
  ASSERT_EQ(frame_.received.size(), 1u);
  EXPECT_EQ(frame_.received[0], servers[6]);
  EXPECT_FALSE(ListAlive());
  EXPECT_TRUE(IsWindow(frame_.GetHWND()));
}

TEST_F(ServerListModeTest, TheSwitchMessageFreesItsServerWhenTheFrameHasGone) {
  CServerListUI* list = OpenFromFrame(testing::MakeServers(3));
  Click(list, "serbutton2");
  // The frame goes before the message is delivered; the payload is the message core's to free
  // (a leak or a double free shows under the sanitizers).
  DestroyWindow(frame_.GetHWND());
  loop_->Pump();
  EXPECT_TRUE(frame_.received.empty());
  EXPECT_FALSE(ListAlive());
}

TEST_F(ServerListModeTest, AStateFourServerIsChosenFromTheRecentLineOnly) {
  std::vector<ServerEntry> servers = testing::MakeServers(5);
  servers[2].state = "4";
  CServerListUI* list = OpenFromFrame(servers, "3");
  EXPECT_FALSE(Find(list, "serbutton3")->IsEnabled());
  Click(list, "serbutton3");
  loop_->Pump();
  EXPECT_TRUE(frame_.received.empty());
  EXPECT_TRUE(ListAlive());

  const std::vector<CButtonUI*> recent = ButtonsOf(list, "zjline1");
  ASSERT_EQ(recent.size(), 1u);
  EXPECT_TRUE(recent[0]->IsEnabled());
  Click(list, recent[0]);
  loop_->Pump();
  ASSERT_EQ(frame_.received.size(), 1u);
  EXPECT_EQ(frame_.received[0], servers[2]);
}

TEST_F(ServerListModeTest, AButtonWithoutTextStillChoosesItsOwnServer) {
  std::vector<ServerEntry> servers = testing::MakeServers(4);
  servers[3].type = "5";
  CServerListUI* list = OpenFromFrame(servers);
  EXPECT_EQ(Find(list, "serbutton4")->GetText(), "");
  Click(list, "serbutton4");
  loop_->Pump();
  ASSERT_EQ(frame_.received.size(), 1u);
  EXPECT_EQ(frame_.received[0], servers[3]);  // not the first server, which an empty text matches
}

TEST_F(ServerListModeTest, TheLatestServerButtonChoosesTheFirstRecentServer) {
  std::vector<ServerEntry> servers = testing::MakeServers(20);
  CServerListUI* list = OpenFromFrame(servers, "9|4");
  Click(list, "bnzuixin");
  Click(list, "bnzuixin");  // a second click before the window has gone changes nothing
  loop_->Pump();
  ASSERT_EQ(frame_.received.size(), 1u);
  EXPECT_EQ(frame_.received[0], servers[8]);
}

TEST_F(ServerListModeTest, SearchByNumberKeepsTheDigitsOfTheField) {
  std::vector<ServerEntry> servers = testing::MakeServers(120);
  CServerListUI* list = OpenFromFrame(servers);
  CControlUI* field = Find(list, "edserid");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->GetText(), "如100");
  list->paint_manager().SetFocus(field);
  EXPECT_EQ(field->GetText(), "");  // the hint goes when the field takes the focus

  field->SetText("99999");  // no such server: nothing happens
  Click(list, "bngo");
  loop_->Pump();
  EXPECT_TRUE(frame_.received.empty());
  EXPECT_TRUE(ListAlive());

  field->SetText("a1b0c0");
  Click(list, "bngo");
  loop_->Pump();
  ASSERT_EQ(frame_.received.size(), 1u);
  EXPECT_EQ(frame_.received[0].name, "玄岚城[100服]");
}

class ServerListLoginModeTest : public testing::ServerListFixture {
 protected:
  CServerListUI* OpenFromLogin(bool frame_opens) {
    login_.Open();
    ServerListSetup setup;
    setup.servers = testing::MakeServers(6);
    setup.account = "player";
    setup.password = "secret";
    setup.mode = CServerListUI::kModeLogin;
    setup.owner_window = &login_;
    setup.open_main_frame = [this, frame_opens](const ServerEntry& server) {
      opened_.push_back(server);
      return frame_opens;
    };
    CServerListUI* list = Open(std::move(setup));
    SetWindowPos(list->GetHWND(), nullptr, login_rect_left_ + 150, 10 - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return list;
  }
  StandInWindow login_{"UILogIn"};
  std::vector<ServerEntry> opened_;
  int login_rect_left_ = 10;
};

TEST_F(ServerListLoginModeTest, ChoosingOpensTheMainFrameAndClosesTheLoginWindow) {
  CServerListUI* list = OpenFromLogin(true);
  Click(list, "serbutton5");
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0].name, "玄岚城[5服]");
  EXPECT_FALSE(windows_->IsVisible(login_.GetHWND()));
  loop_->Pump();
  EXPECT_EQ(login_.closes, 1);
  EXPECT_FALSE(IsWindow(login_.GetHWND()));
  EXPECT_FALSE(ListAlive());
}

TEST_F(ServerListLoginModeTest, WhenTheMainFrameCannotBeMadeEverythingStays) {
  CServerListUI* list = OpenFromLogin(false);
  Click(list, "serbutton2");
  loop_->Pump();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_TRUE(ListAlive());
  EXPECT_TRUE(IsWindow(login_.GetHWND()));
  EXPECT_TRUE(windows_->IsVisible(login_.GetHWND()));
  EXPECT_EQ(login_.closes, 0);
  // The player may try again.
  Click(list, "serbutton3");
  EXPECT_EQ(opened_.size(), 2u);
}

TEST_F(ServerListLoginModeTest, ALoginWindowThatHasGoneIsNotTouched) {
  CServerListUI* list = OpenFromLogin(true);
  DestroyWindow(login_.GetHWND());
  Click(list, "serbutton1");
  loop_->Pump();
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(login_.closes, 0);
  EXPECT_FALSE(ListAlive());
}

TEST_F(ServerListChoiceTest, TheHeaderDragsTheWindowExceptOnTheCloseSquare) {
  CServerListUI* list = OpenWith(testing::MakeServers(3), "", CServerListUI::kModeLogin);
  const auto drags_at = [&](int x, int y) {
    const int before = windows_->move_drags();
    SendMessage(list->GetHWND(), WM_LBUTTONDOWN, 1,
                MAKELPARAM(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)));
    SendMessage(list->GetHWND(), WM_LBUTTONUP, 0,
                MAKELPARAM(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)));
    loop_->Pump();
    return windows_->move_drags() - before == 1;
  };
  EXPECT_TRUE(drags_at(10, 10));
  EXPECT_TRUE(drags_at(646, 73));
  EXPECT_TRUE(drags_at(603, 46));
  EXPECT_TRUE(drags_at(629, 46));
  EXPECT_TRUE(drags_at(616, 33));
  EXPECT_FALSE(drags_at(647, 10));
  EXPECT_FALSE(drags_at(10, 74));
  EXPECT_FALSE(drags_at(604, 34));
  EXPECT_FALSE(drags_at(616, 46));
  EXPECT_FALSE(drags_at(628, 58));
  EXPECT_TRUE(ListAlive());

  // The main frame's list shows its close button there, and a press on it is a click.
  list = OpenWith(testing::MakeServers(3));
  EXPECT_FALSE(drags_at(616, 46));
  EXPECT_FALSE(ListAlive());
}

TEST_F(ServerListChoiceTest, PaintsTheWindowWithFortyFiveServers) {
  std::vector<ServerEntry> servers = testing::MakeServers(45);
  servers[1].state = "4";
  servers[2].state = "0";
  servers[3].type = "0";
  CServerListUI* list = OpenWith(servers, "12|3|40|7");
  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  const std::string path = std::string(QRV_DOCS_OUTPUT) + "/server-list.png";
  ASSERT_TRUE(list->paint_manager().RenderToPng(path));

  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(surface), 660);
  EXPECT_EQ(cairo_image_surface_get_height(surface), 618);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::set<std::uint32_t> colours;
  for (int y = 0; y < 618; y += 3) {
    for (int x = 0; x < 660; x += 3) {
      colours.insert(*reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4));
    }
  }
  cairo_surface_destroy(surface);
  EXPECT_GT(colours.size(), 50u);  // panel, pictures and text, not one flat colour
}

}  // namespace
}  // namespace qrv
