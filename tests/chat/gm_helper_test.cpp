// The chat connection over real loopback TCP, against a server the test drives and against a
// port where nothing listens: what each received frame does, the bytes each send puts on the
// wire, short and joined reads, impossible lengths, and connections refused and lost.

#include "chat/gm_helper.h"

#include <gtest/gtest.h>

#include "chat/chat_socket.h"
#include "chat/chat_test_support.h"
#include "chat/chat_wire.h"
#include "platform/debug_sink.h"

namespace qrv::chat::testing {
namespace {

constexpr std::uint64_t kHighAgent = 0x100000002ULL;  // an id that needs both halves

class GMHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    window_ = std::make_unique<PostedMessages>();
    helper_ = std::make_unique<CGMHelper>();
    helper_->SetOnConnected([this] {
      ++connections_;
      if (on_connected_) on_connected_();
    });
  }

  void TearDown() override {
    helper_.reset();
    // Cancelled socket operations come back on the main context; none may be left behind.
    EXPECT_TRUE(PumpUntil(*loop_, [] { return ChatSocket::LiveStates() == 0; }));
    server_.reset();
    window_.reset();
    MessageCore::Uninstall();
  }

  void ConnectToServer() {
    server_ = std::make_unique<TestChatServer>();
    helper_->SetTarget(window_->hwnd());
    helper_->Connect("127.0.0.1", server_->port());
    ASSERT_TRUE(Pump([&] { return helper_->connected() && server_->accepted() == 1 && connections_ == 1; }));
  }

  bool Pump(const std::function<bool()>& done) { return PumpUntil(*loop_, done); }

  int CountLines(std::string_view fragment) const {
    int count = 0;
    for (const auto& line : capture_.Lines()) count += line.find(fragment) != std::string::npos ? 1 : 0;
    return count;
  }

  // The delays, in seconds, of the retry lines written so far.
  std::vector<int> RetryDelays() const {
    std::vector<int> delays;
    for (const auto& line : capture_.Lines()) {
      const auto end = line.find("秒后重连");
      if (end == std::string::npos) continue;
      auto start = end;
      while (start > 0 && std::isdigit(static_cast<unsigned char>(line[start - 1]))) --start;
      delays.push_back(std::stoi(line.substr(start, end - start)));
    }
    return delays;
  }

  DebugCapture capture_;
  HeadlessLoop* loop_ = nullptr;
  std::unique_ptr<PostedMessages> window_;
  std::unique_ptr<TestChatServer> server_;
  std::unique_ptr<CGMHelper> helper_;
  int connections_ = 0;
  std::function<void()> on_connected_;
};

TEST_F(GMHelperTest, ReceivedFramesAreHandledByTheirTypeAlone) {
  ConnectToServer();
  // A login result of 0 says nothing; game information is read and dropped; lists of 0 and 1
  // byte add nobody.
  server_->Send(Frame(1, std::string(1, '\0')) + Frame(1, "") + Frame(1, "\x01") +
                Frame(3, I16(6) + "玄岚" + I16(2) + "ok") + Frame(4, "") + Frame(4, "x"));
  const std::string list =
      Frame(4, AgentRecord(1, "客服小青", "充值问题") + AgentRecord(kHighAgent, "客服 小紫", "") +
                   AgentRecord(3, "老周", "账号安全"));
  server_->Send(list);
  // Local flags and states, with ids nobody has and a trailing piece of a record.
  server_->Send(Frame(5, U64(1) + U64(99) + U64(kHighAgent) + "\x03\x00\x00"));
  server_->Send(Frame(
      6, U64(1) + std::string(1, '\0') + U64(99) + "\x01" + U64(3) + "\x02" + U64(kHighAgent).substr(0, 4)));
  ASSERT_TRUE(Pump([&] { return helper_->agents().size() == 3 && helper_->agents()[2].state == 2; }));
  EXPECT_EQ(helper_->agents()[0], (GMEntry{1, "客服小青", "充值问题", 0, 1}));
  EXPECT_EQ(helper_->agents()[1], (GMEntry{kHighAgent, "客服 小紫", "", 3, 1}));
  EXPECT_EQ(helper_->agents()[2], (GMEntry{3, "老周", "账号安全", 2, 0}));

  // The same list again lists everybody twice; a state reaches the first entry of its id.
  server_->Send(list + Frame(6, U64(3) + "\x01"));
  ASSERT_TRUE(Pump([&] { return helper_->agents().size() == 6 && helper_->agents()[2].state == 1; }));
  EXPECT_EQ(helper_->agents()[5], (GMEntry{3, "老周", "账号安全", 3, 0}));

  // Open-chat results: refused, id 0, an id not listed, a negative id and a short body open
  // nothing; an accepted listed agent does. Unknown types are skipped, a text that runs past its
  // body is dropped, and the last text tells the test that everything before it was read.
  server_->Send(Frame(7, U64(1) + U32(1)) + Frame(7, U64(0) + U32(0)) + Frame(7, U64(42) + U32(0)) +
                Frame(7, U64(0x8000000000000001ULL) + U32(0)) + Frame(7, U64(1) + U32(0).substr(0, 3)) +
                Frame(7, U64(kHighAgent) + U32(0)));
  const std::string stray = ChatTextBody(1, 3, "no");
  for (const int type : {0, 2, 8, 10, 14, 16, 18, 19, 100, -1, -128})
    server_->Send(Frame(static_cast<std::int8_t>(type), stray));
  server_->Send(Frame(9, ChatTextBody(1, 6, std::string("hello\0", 6))) +
                Frame(17, ChatTextBody(kHighAgent, 0, "")) + Frame(9, ChatTextBody(3, 40, "cut")) +
                Frame(15, U64(0x1FFFFFFFEULL)) +
                Frame(9, ChatTextBody(3, 10, std::string("收到\0", 7) + "xyz")));
  ASSERT_TRUE(Pump([&] { return window_->texts.size() >= 3; }));
  EXPECT_EQ(window_->texts, (std::vector<ChatTextMessage>{{1, "hello"}, {kHighAgent, ""}, {3, "收到"}}));
  EXPECT_EQ(window_->accepted, (std::vector<std::uint64_t>{kHighAgent}));
  EXPECT_EQ(window_->empty_payloads, 0);
  EXPECT_EQ(helper_->agents().size(), 6u);  // an agent going offline is only logged
  EXPECT_EQ(helper_->agents()[1].state, 3);

  EXPECT_EQ(CountLines("*****登录成功************\r\n"), 1);
  EXPECT_EQ(CountLines("****开始解析游戏信息*****\r\n"), 1);
  EXPECT_EQ(CountLines("****开始解析GM列表*****\r\n"), 4);
  EXPECT_EQ(CountLines("****开始解析本服GM*****\r\n"), 1);
  EXPECT_EQ(CountLines("****开始解析GM状态*****\r\n"), 2);
  EXPECT_EQ(CountLines("****开始解析开启对话返回结果*****\r\n"), 6);
  EXPECT_EQ(CountLines("****开始解析聊天内容*****\r\n"), 4);
  EXPECT_EQ(CountLines("****开始解析GM离线内容*****\r\n"), 1);
  EXPECT_TRUE(capture_.Contains("***********离线GM,ID:-2*************"));
  EXPECT_TRUE(helper_->connected());
}

TEST_F(GMHelperTest, SendsExactlyTheFramesOfTheProtocol) {
  // Nothing goes out, and no success line is written, before there is a connection.
  EXPECT_FALSE(helper_->SendHeartbeat());
  EXPECT_FALSE(helper_->RequestChat(5));
  EXPECT_FALSE(helper_->Send("x"));
  EXPECT_EQ(helper_->SendChatText(5, "hi"), ChatSendResult::kNotConnected);
  EXPECT_EQ(CountLines("心跳包发送成功") + CountLines("发送开启聊天请求"), 0);

  ConnectToServer();
  EXPECT_TRUE(helper_->SendHeartbeat());
  EXPECT_TRUE(helper_->SendGameInfoRequest());
  EXPECT_TRUE(helper_->SendAgentListRequest());
  EXPECT_TRUE(helper_->SendLocalAgentsRequest());
  EXPECT_TRUE(helper_->SendAgentStatesRequest());
  EXPECT_TRUE(helper_->SendChatStart());
  EXPECT_TRUE(helper_->RequestChat(kHighAgent));
  EXPECT_EQ(helper_->SendChatText(7, "hello"), ChatSendResult::kSent);
  EXPECT_EQ(helper_->SendChatText(7, ""), ChatSendResult::kSent);
  EXPECT_EQ(helper_->SendChatText(7, "你好\xFF"), ChatSendResult::kSent);  // checked text: U+FFFD
  // One byte over what the lengths hold is refused whole; the longest text goes out.
  EXPECT_EQ(helper_->SendChatText(7, std::string(kMaxChatTextBytes + 1, 'a')), ChatSendResult::kTooLong);
  EXPECT_EQ(helper_->SendChatText(7, std::string(kMaxChatTextBytes, 'b')), ChatSendResult::kSent);

  const std::string small = HeartbeatFrame() + GameInfoRequestFrame() + AgentListRequestFrame() +
                            LocalAgentsRequestFrame() + AgentStatesRequestFrame() + ChatStartFrame() +
                            OpenChatFrame(kHighAgent) + *ChatTextFrame(7, "hello") + *ChatTextFrame(7, "") +
                            *ChatTextFrame(7, "你好\xEF\xBF\xBD");
  const std::string expected = small + *ChatTextFrame(7, std::string(kMaxChatTextBytes, 'b'));
  ASSERT_TRUE(Pump([&] { return server_->received().size() >= expected.size(); }));
  EXPECT_EQ(Hex(server_->received().substr(0, small.size())), Hex(small));
  EXPECT_TRUE(server_->received() == expected);

  EXPECT_EQ(CountLines("********心跳包发送成功************\r\n"), 1);
  EXPECT_TRUE(capture_.Contains(
      "**************发送开启聊天请求，客服ID:4294967298,用户ID：121942135,************\r\n"));
}

TEST_F(GMHelperTest, FramesReadTheSameByteByByteAndJoinedInOneWrite) {
  ConnectToServer();
  const std::string stream = Frame(4, AgentRecord(1, "客服小青", "充值") + AgentRecord(2, "阿蓝", "")) +
                             Frame(9, ChatTextBody(2, 7, std::string("在吗\0", 7)));
  for (const char c : stream) {
    server_->Send(std::string_view(&c, 1));
    PumpIdle(*loop_);
  }
  ASSERT_TRUE(Pump([&] { return window_->texts.size() == 1; }));
  EXPECT_EQ(helper_->agents().size(), 2u);
  EXPECT_EQ(window_->texts[0], (ChatTextMessage{2, "在吗"}));

  server_->Send(stream + stream + stream);
  ASSERT_TRUE(Pump([&] { return window_->texts.size() == 4; }));
  ASSERT_EQ(helper_->agents().size(), 8u);
  EXPECT_EQ(helper_->agents()[7], (GMEntry{2, "阿蓝", "", 3, 0}));
  EXPECT_TRUE(helper_->connected());
}

TEST_F(GMHelperTest, AnImpossibleLengthEndsTheConnectionWithoutReadingPastIt) {
  ConnectToServer();
  // The largest body a receive buffer holds is fine.
  server_->Send(Frame(2, std::string(kMaxReceivedBody, 'x')) + Frame(9, ChatTextBody(1, 1, "a")));
  ASSERT_TRUE(Pump([&] { return window_->texts.size() == 1; }));
  EXPECT_TRUE(helper_->connected());

  int expected_connections = 1;
  for (const std::string& header : {std::string("\xFF\xFF\x09", 3), std::string("\xFE\x0F\x09", 3)}) {
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
  EXPECT_TRUE(capture_.Contains("frame length 4094"));
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
