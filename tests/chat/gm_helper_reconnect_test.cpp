// The chat connection losing its server: impossible lengths, a port where nothing listens, and a
// server that closes, each followed by new attempts after growing delays on the loop's clock.

#include "chat/chat_wire.h"
#include "chat/gm_helper_fixture.h"

namespace qrv::chat::testing {
namespace {

TEST_F(GMHelperTest, ANegativeLengthEndsTheConnectionWithoutReadingPastIt) {
  std::vector<std::string> losses;
  helper_->SetOnLost([&](const std::string& reason) { losses.push_back(reason); });
  ConnectToServer();
  // The largest body a header can announce is fine.
  server_->Send(Frame(2, std::string(kMaxReceivedBody, 'x')) + Frame(9, ChatTextBody(1, 1, "a")));
  ASSERT_TRUE(Pump([&] { return window_->texts.size() == 1; }));
  EXPECT_TRUE(helper_->connected());

  int expected_connections = 1;
  for (const std::string& header : {std::string("\xFF\xFF\x09", 3), std::string("\x00\x80\x09", 3)}) {
    // What follows the bad header looks like a chat text, and must never be taken for one.
    server_->Send(header + Frame(9, ChatTextBody(1, 1, "b")));
    ASSERT_TRUE(Pump([&] { return server_->client_closed() && !helper_->connected(); })) << Hex(header);
    EXPECT_EQ(window_->texts.size(), 1u);
    // A new connection follows after the first delay, which starts again after every success.
    EXPECT_EQ(RetryDelays().back(), 1);
    loop_->Advance(1000);
    ++expected_connections;
    ASSERT_TRUE(Pump(
        [&] { return connections_ == expected_connections && server_->accepted() == expected_connections; }));
  }
  EXPECT_EQ(RetryDelays(), (std::vector<int>{1, 1}));
  EXPECT_TRUE(capture_.Contains("frame length -1"));
  EXPECT_TRUE(capture_.Contains("frame length -32768"));
  // Each lost connection was reported to the owner.
  EXPECT_EQ(losses, (std::vector<std::string>{"frame length -1", "frame length -32768"}));
}

TEST_F(GMHelperTest, ARefusedConnectionIsTriedAgainAfterGrowingDelays) {
  const int port = FreePort();
  ASSERT_GT(port, 0);
  helper_->Connect("127.0.0.1", port);
  EXPECT_FALSE(helper_->connected());
  for (std::size_t failures = 1; failures <= 8; ++failures) {
    ASSERT_TRUE(Pump([&] { return RetryDelays().size() == failures; }));
    EXPECT_FALSE(helper_->SendHeartbeat());
    if (failures == 8) break;
    // Nothing is tried before the delay is over (the delay runs on the loop's clock).
    const int attempts = CountLines("*****连接客服服务器 127.0.0.1:");
    loop_->Advance(RetryDelays().back() * 1000 - 1);
    EXPECT_EQ(CountLines("*****连接客服服务器 127.0.0.1:"), attempts);
    loop_->Advance(1);
    EXPECT_EQ(CountLines("*****连接客服服务器 127.0.0.1:"), attempts + 1);
  }
  EXPECT_EQ(RetryDelays(), (std::vector<int>{1, 2, 4, 8, 16, 32, 60, 60}));
  EXPECT_EQ(connections_, 0);

  // The server comes up: the next attempt connects, and the delays start again from 1 s.
  server_ = std::make_unique<TestChatServer>(port);
  loop_->Advance(60000);
  ASSERT_TRUE(Pump([&] { return connections_ == 1 && helper_->connected(); }));
  EXPECT_EQ(helper_->retry_delay_ms(), CGMHelper::kFirstRetryMs);

  // Close ends the connection for good: nothing is tried again.
  helper_->Close();
  ASSERT_TRUE(Pump([&] { return server_->client_closed(); }));
  loop_->Advance(600000);
  PumpIdle(*loop_);
  EXPECT_EQ(server_->accepted(), 1);
  EXPECT_EQ(RetryDelays().size(), 8u);
  EXPECT_FALSE(helper_->connected());
}

TEST_F(GMHelperTest, AfterTheServerClosesANewConnectionRebuildsTheList) {
  on_connected_ = [this] { helper_->SendAgentListRequest(); };
  ConnectToServer();
  const std::string list =
      Frame(4, AgentRecord(1, "客服小青", "") + AgentRecord(2, "阿蓝", "") + AgentRecord(3, "老周", ""));
  ASSERT_TRUE(Pump([&] { return server_->received() == AgentListRequestFrame(); }));
  server_->Send(list);
  ASSERT_TRUE(Pump([&] { return helper_->agents().size() == 3; }));
  const std::vector<GMEntry> first = helper_->agents();

  server_->CloseClient();
  ASSERT_TRUE(Pump([&] { return !helper_->connected() && RetryDelays().size() == 1; }));
  EXPECT_EQ(helper_->agents(), first);  // kept until a new connection is made
  loop_->Advance(1000);
  ASSERT_TRUE(
      Pump([&] { return server_->accepted() == 2 && server_->received() == AgentListRequestFrame(); }));
  EXPECT_EQ(connections_, 2);
  EXPECT_TRUE(helper_->agents().empty());
  server_->Send(list);
  ASSERT_TRUE(Pump([&] { return helper_->agents().size() >= 3; }));
  EXPECT_EQ(helper_->agents(), first);
}

}  // namespace
}  // namespace qrv::chat::testing
