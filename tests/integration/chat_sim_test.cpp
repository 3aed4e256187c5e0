// The chat connection against the simulator's chat server over loopback, driven the way its
// owner drives it: the address from the deployment file, the request sequence on the owner's
// timers after each connection, an open chat, texts both ways, and the server taken away and
// brought back (the list is rebuilt, not doubled).

#include <gtest/gtest.h>

#include "net/deploy_config.h"
#include "chat/chat_messages.h"
#include "chat/chat_socket.h"
#include "chat/chat_test_support.h"
#include "chat/gm_helper.h"
#include "platform/debug_sink.h"
#include "platform/messages.h"
#include "sim/sim_test_support.h"

namespace qrv {
namespace {

using chat::testing::PumpUntil;
using sim::testing::EntriesWithEvent;

// Stands in for the owner of the connection: timers 1000, 1001 and 1002 send the request
// sequence, and it keeps what the connection posts.
class Owner final : public MessageTarget {
 public:
  explicit Owner(CGMHelper& helper) : helper_(helper), hwnd_(RegisterWindow(this)) {}
  ~Owner() override { DestroyWindow(hwnd_); }

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_TIMER) {
      KillTimer(hwnd_, wparam);
      if (wparam == 1000) {
        helper_.SendHeartbeat();
        helper_.SendGameInfoRequest();
        SetTimer(hwnd_, 1001, 500);
      } else if (wparam == 1001) {
        helper_.SendAgentListRequest();
        SetTimer(hwnd_, 1002, 500);
      } else if (wparam == 1002) {
        helper_.SendLocalAgentsRequest();
        helper_.SendAgentStatesRequest();
      }
    } else if (msg == kMsgChatText) {
      if (auto text = TakePayload<ChatTextMessage>(lparam)) texts.push_back(*text);
    } else if (msg == kMsgChatAccepted) {
      if (auto agent = TakePayload<std::uint64_t>(lparam)) accepted.push_back(*agent);
    }
    return 0;
  }

  HWND hwnd() const { return hwnd_; }
  std::vector<ChatTextMessage> texts;
  std::vector<std::uint64_t> accepted;

 private:
  CGMHelper& helper_;
  HWND hwnd_;
};

TEST(ChatSimTest, TheConnectionTalksToTheSimulatedServiceAndSurvivesItsAbsence) {
  HeadlessLoop& loop = HeadlessLoop::Install();
  DebugCapture capture;
  sim::testing::TempDir dir;
  sim::SimOptions options;
  options.work_dir = dir.path();
  std::string error;
  auto sim = sim::SimProcess::Start(options, error);
  ASSERT_NE(sim, nullptr) << error;

  auto helper = std::make_unique<CGMHelper>();
  auto owner = std::make_unique<Owner>(*helper);
  int connections = 0;
  helper->SetTarget(owner->hwnd());
  helper->SetOnConnected([&] {
    ++connections;
    SetTimer(owner->hwnd(), 1000, 100);
  });
  const DeployConfig config = DeployConfig::Load(sim->deploy_path());
  helper->Connect(config.chat_host, config.chat_port);

  auto run_sequence = [&] {
    loop.Advance(100);
    loop.Advance(500);
    PumpUntil(loop, [&] { return helper->agents().size() == 6; });
    loop.Advance(500);
    return PumpUntil(loop, [&] {
      return helper->agents()[3].local == 0 && helper->agents()[4].local == 1 &&
             helper->agents()[2].state == 2;
    });
  };
  ASSERT_TRUE(PumpUntil(loop, [&] { return connections == 1; }));
  ASSERT_TRUE(run_sequence());
  const std::vector<GMEntry> agents = helper->agents();
  EXPECT_EQ(agents[2], (GMEntry{10003, "小 紫", "账号安全", 2, 0}));
  EXPECT_EQ(agents[3].state, 3);
  EXPECT_EQ(agents[5].id, 4294977297u);
  EXPECT_TRUE(capture.Contains("*****登录成功************\r\n"));

  // An accepted chat, a refused one, the greeting after chat start, and the agent's reply.
  EXPECT_TRUE(helper->RequestChat(10005));
  EXPECT_TRUE(helper->RequestChat(10001));
  ASSERT_TRUE(PumpUntil(loop, [&] { return !owner->accepted.empty(); }));
  EXPECT_EQ(owner->accepted, (std::vector<std::uint64_t>{10001}));
  EXPECT_TRUE(helper->SendChatStart());
  EXPECT_EQ(helper->SendChatText(10001, "你好 \\:F01"), ChatSendResult::kSent);
  ASSERT_TRUE(PumpUntil(loop, [&] { return owner->texts.size() == 2; }));
  EXPECT_EQ(owner->texts[0], (ChatTextMessage{10001, "您好，我是小青，请问有什么可以帮您？"}));
  EXPECT_EQ(owner->texts[1], (ChatTextMessage{10001, "小青已收到您的消息：“你好 \\:F01”"}));
  ASSERT_TRUE(PumpUntil(loop, [&] { return capture.Contains("***********离线GM,ID:10002*************"); }));

  const auto frames = EntriesWithEvent(*sim, "chat_frame");
  std::vector<std::string> types;
  for (const auto& entry : frames) types.push_back(entry.Field("type"));
  EXPECT_EQ(types, (std::vector<std::string>{"18", "3", "4", "5", "6", "7", "7", "17", "9"}));
  EXPECT_EQ(frames.back().Field("text"), "你好 \\:F01");

  // The server goes away: the connection notices, is refused once, and comes back after the
  // longer delay with the list asked for and built again.
  ASSERT_TRUE(sim->SuspendChat());
  ASSERT_TRUE(PumpUntil(loop, [&] { return !helper->connected(); }));
  EXPECT_EQ(helper->agents(), agents);
  loop.Advance(1000);
  ASSERT_TRUE(PumpUntil(loop, [&] { return helper->retry_delay_ms() == 4000; }));
  ASSERT_TRUE(sim->ResumeChat());
  loop.Advance(2000);
  ASSERT_TRUE(PumpUntil(loop, [&] { return connections == 2; }));
  EXPECT_TRUE(helper->agents().empty());
  ASSERT_TRUE(run_sequence());
  EXPECT_EQ(helper->agents(), agents);
  EXPECT_EQ(EntriesWithEvent(*sim, "chat_open").size(), 2u);

  owner.reset();
  helper.reset();
  EXPECT_TRUE(PumpUntil(loop, [] { return chat::ChatSocket::LiveStates() == 0; }));
  EXPECT_EQ(sim->Stop(), 0);
  MessageCore::Uninstall();
}

}  // namespace
}  // namespace qrv
