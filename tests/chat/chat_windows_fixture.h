#pragma once
// The chat's windows on the headless back end with the real skin, over a recording stand-in for
// the main frame (which keeps the agent ids the agent list asks for), with a manual wall clock,
// and a chat server on loopback for the chat window to talk to.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "chat/char_dlg.h"
#include "chat/chat_messages.h"
#include "chat/chat_test_support.h"
#include "chat/gm_helper.h"
#include "lists/game_list.h"
#include "platform/headless_windows.h"
#include "platform/wall_clock.h"
#include "support/skin_lookups.h"
#include "tools/window_test_support.h"

namespace qrv::testing {

using chat::testing::PumpUntil;
using chat::testing::TestChatServer;

inline const std::string kProgramDir = std::string(QRV_PROGRAM_DIR) + "/";

class ChatWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
    ManualWallClock::Install(LocalDateTime{2026, 3, 2, 9, 5, 3});
    frame_ = std::make_unique<RecordingFrame>(RECT{0, 0, 1600, 1000});
    frame_->on_message = [this](UINT msg, WPARAM, LPARAM lparam) {
      if (msg != kMsgAskChat) return;
      if (auto id = TakePayload<std::uint64_t>(lparam)) asked_.push_back(*id);
    };
  }
  void TearDown() override {
    ExpectSkinLookupsFound();
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    frame_.reset();
    helper_.reset();
    EXPECT_TRUE(PumpUntil(*loop_, [] { return chat::ChatSocket::LiveStates() == 0; }));
    server_.reset();
    MessageCore::Uninstall();
    WallClock::Install(std::make_unique<SystemWallClock>());
  }

  static void SaveRendering(CPaintManagerUI& pm, const std::string& file) {
    std::filesystem::create_directories(QRV_DOCS_OUTPUT);
    EXPECT_TRUE(pm.RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/" + file)) << file;
  }

  // A double click as the window system delivers it: down, up, double click, up.
  static void DoubleClick(HWND hwnd, CPaintManagerUI& pm, const CControlUI& control) {
    pm.UpdateLayout();
    const LPARAM at = PointParam(CentreOf(control));
    SendMessage(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessage(hwnd, WM_LBUTTONDOWN, 1, at);
    SendMessage(hwnd, WM_LBUTTONUP, 0, at);
    SendMessage(hwnd, WM_LBUTTONDBLCLK, 1, at);
    SendMessage(hwnd, WM_LBUTTONUP, 0, at);
  }

  // The node texts of the list's rows, hidden rows in brackets.
  static std::vector<std::string> Rows(CGameListUI& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetCount(); ++i) {
      const ListNode* node = list.NodeOf(list.GetItemAt(i));
      const std::string text = node != nullptr ? node->text : "-";
      rows.push_back(list.GetItemAt(i)->IsVisible() ? text : "[" + text + "]");
    }
    return rows;
  }

  // A chat window for 客服小青 talking to a server on loopback.
  CCharDlg* OpenChat() {
    server_ = std::make_unique<TestChatServer>();
    helper_ = std::make_unique<CGMHelper>();
    helper_->Connect("127.0.0.1", server_->port());
    EXPECT_TRUE(PumpUntil(*loop_, [&] { return helper_->connected() && server_->accepted() == 1; }));
    auto* chat = new CCharDlg(helper_.get(), GMEntry{10001, "客服小青", "充值问题", 0, 1}, kProgramDir,
                              kProgramDir + "image/I07abc100.png");
    EXPECT_NE(chat->Create(frame_->hwnd(), RECT{0, 80, 1600, 1000}), nullptr);
    loop_->Pump();
    return chat;
  }
  // Everything the server received so far, once it holds `bytes`.
  bool ServerGot(const std::string& bytes) {
    return PumpUntil(*loop_, [&] { return server_->received().find(bytes) != std::string::npos; });
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  std::unique_ptr<RecordingFrame> frame_;
  std::vector<std::uint64_t> asked_;
  std::unique_ptr<TestChatServer> server_;
  std::unique_ptr<CGMHelper> helper_;
};

}  // namespace qrv::testing
