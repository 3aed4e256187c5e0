// The chat connection over real loopback TCP against a server the test drives: what each
// received frame does, the bytes each send puts on the wire, and short and joined reads.

#include "chat/chat_wire.h"
#include "chat/gm_helper_fixture.h"

namespace qrv::chat::testing {
namespace {

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

  // The same list again, one agent renamed: every agent stays listed once, in its place, with
  // its state and local flag; the new name replaces the old.
  server_->Send(list + Frame(4, AgentRecord(3, "老周2", "")) + Frame(6, U64(3) + "\x01"));
  ASSERT_TRUE(Pump([&] { return helper_->agents()[2].state == 1; }));
  ASSERT_EQ(helper_->agents().size(), 3u);
  EXPECT_EQ(helper_->agents()[2], (GMEntry{3, "老周2", "", 1, 0}));
  EXPECT_EQ(helper_->agents()[1], (GMEntry{kHighAgent, "客服 小紫", "", 3, 1}));

  // Open-chat results. The player asked for agents 1, 42 and kHighAgent: agent 1 is refused, 42
  // is not listed, and kHighAgent is accepted, once. An id of 0, a negative id and a short body
  // open nothing, nor do acceptances nobody asked for (agent 3) or asked for once and answered
  // already (agents 1 and kHighAgent again). Unknown types are skipped, a text that runs past its
  // body is dropped, and the last text tells the test that everything before it was read.
  for (const std::uint64_t id : {std::uint64_t{1}, std::uint64_t{42}, kHighAgent})
    ASSERT_TRUE(helper_->RequestChat(id));
  server_->Send(Frame(7, U64(1) + U32(1)) + Frame(7, U64(0) + U32(0)) + Frame(7, U64(42) + U32(0)) +
                Frame(7, U64(0x8000000000000001ULL) + U32(0)) + Frame(7, U64(1) + U32(0).substr(0, 3)) +
                Frame(7, U64(3) + U32(0)) + Frame(7, U64(kHighAgent) + U32(0)) + Frame(7, U64(1) + U32(0)) +
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
  EXPECT_EQ(helper_->agents().size(), 3u);  // an agent going offline is only logged
  EXPECT_EQ(helper_->agents()[1].state, 3);

  // A list past a thousand agents (in one frame longer than 4,093 bytes, which a header can
  // announce) keeps the first thousand; the ones past it are left out and logged.
  std::string many;
  for (std::uint64_t id = 1001; id < 2048; ++id) many += AgentRecord(id, "a" + std::to_string(id), "");
  ASSERT_GT(many.size(), 4093u);
  server_->Send(Frame(4, many) + Frame(9, ChatTextBody(1, 1, "k")));
  ASSERT_TRUE(Pump([&] { return window_->texts.size() == 4; }));
  ASSERT_EQ(helper_->agents().size(), 1000u);
  EXPECT_EQ(helper_->agents().back().name, "a1997");
  EXPECT_EQ(helper_->FindAgent(1997)->name, "a1997");
  EXPECT_EQ(helper_->FindAgent(1998), nullptr);
  EXPECT_TRUE(capture_.Contains("****GM列表已满1000人，略去50人*****\r\n"));

  EXPECT_EQ(CountLines("*****登录成功************\r\n"), 1);
  EXPECT_EQ(CountLines("****开始解析游戏信息*****\r\n"), 1);
  EXPECT_EQ(CountLines("****开始解析GM列表*****\r\n"), 6);
  EXPECT_EQ(CountLines("****开始解析本服GM*****\r\n"), 1);
  EXPECT_EQ(CountLines("****开始解析GM状态*****\r\n"), 2);
  EXPECT_EQ(CountLines("****开始解析开启对话返回结果*****\r\n"), 9);
  EXPECT_EQ(CountLines("****开始解析聊天内容*****\r\n"), 5);
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
  ASSERT_EQ(helper_->agents().size(), 2u);
  EXPECT_EQ(helper_->agents()[1], (GMEntry{2, "阿蓝", "", 3, 0}));
  EXPECT_TRUE(helper_->connected());
}

}  // namespace
}  // namespace qrv::chat::testing
