// The protocol without a socket: the bytes of every frame the launcher sends, the frame reader
// over short and joined reads and impossible lengths, and the body readers at their edges.

#include <gtest/gtest.h>

#include "chat/chat_parsers.h"
#include "chat/chat_test_support.h"
#include "chat/chat_wire.h"
#include "chat/frame_reader.h"

namespace qrv::chat::testing {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(ChatWireTest, TheLauncherSendsTheProtocolsBytes) {
  EXPECT_EQ(Hex(HeartbeatFrame()), "00 00 12");
  EXPECT_EQ(Hex(GameInfoRequestFrame()), "02 00 03 1E 00");
  EXPECT_EQ(Hex(AgentListRequestFrame()), "02 00 04 1E 00");
  EXPECT_EQ(Hex(LocalAgentsRequestFrame()), "06 00 05 1E 00 D9 00 00 00");
  EXPECT_EQ(Hex(AgentStatesRequestFrame()), "02 00 06 1E 00");
  EXPECT_EQ(Hex(ChatStartFrame()), "08 00 11 77 B0 44 07 D9 00 00 00");
  EXPECT_EQ(Hex(OpenChatFrame(0x0000000200000001ULL)),
            "10 00 07 77 B0 44 07 D9 00 00 00 01 00 00 00 02 00 00 00");

  // A 5-byte text: 27 bytes, body length 24, text length 6 counting the terminator.
  const auto hello = ChatTextFrame(0x1122334455667788ULL, "hello");
  ASSERT_TRUE(hello);
  EXPECT_EQ(Hex(*hello), "18 00 09 88 77 66 55 44 33 22 11 77 B0 44 07 D9 00 00 00 06 00 68 65 6C 6C 6F 00");
  // An empty text goes out too, as its terminator alone.
  const auto empty = ChatTextFrame(5, "");
  ASSERT_TRUE(empty);
  EXPECT_EQ(Hex(*empty), "13 00 09 05 00 00 00 00 00 00 00 77 B0 44 07 D9 00 00 00 01 00 00");

  // The longest text both 16-bit lengths hold, and one byte more, which is refused whole.
  const auto longest = ChatTextFrame(7, std::string(kMaxChatTextBytes, 'a'));
  ASSERT_TRUE(longest);
  EXPECT_EQ(longest->size(), 65538u);
  EXPECT_EQ(Hex(longest->substr(0, 3)), "FF FF 09");
  EXPECT_EQ(Hex(longest->substr(19, 2)), "ED FF");
  EXPECT_FALSE(ChatTextFrame(7, std::string(kMaxChatTextBytes + 1, 'a')));
}

TEST(FrameReaderTest, FramesComeOutWholeHoweverTheBytesArrive) {
  const std::string stream = Frame(4, AgentRecord(1, "客服小青", "")) + Frame(18, "") + Frame(-1, "xyz") +
                             Frame(9, ChatTextBody(1, 3, "ok"));
  auto read_all = [](FrameReader& reader, std::vector<std::pair<int, std::string>>& frames) {
    FrameView frame;
    while (reader.Next(frame) == FrameReader::Result::kFrame)
      frames.emplace_back(frame.type, std::string(frame.body));
  };
  std::vector<std::pair<int, std::string>> joined, split;
  FrameReader at_once;
  at_once.Append(stream);
  read_all(at_once, joined);
  FrameReader byte_by_byte;
  for (const char c : stream) {
    byte_by_byte.Append(std::string_view(&c, 1));
    read_all(byte_by_byte, split);
  }
  ASSERT_EQ(joined.size(), 4u);
  EXPECT_EQ(joined, split);
  EXPECT_EQ(joined[1], std::make_pair(18, std::string()));
  EXPECT_EQ(joined[2].first, -1);  // the type byte is signed
  EXPECT_EQ(byte_by_byte.buffered(), 0u);
}

TEST(FrameReaderTest, EveryLengthAHeaderExpressesIsReadAndANegativeOneStopsTheReaderForGood) {
  // 4,094 bytes (once too many for a fixed receive buffer) and the largest signed length.
  for (const std::size_t size : {std::size_t{4094}, std::size_t{32767}}) {
    FrameReader reader;
    const std::string body(size, 'x');
    reader.Append(Frame(2, body) + Frame(15, U64(3)));
    FrameView frame;
    ASSERT_EQ(reader.Next(frame), FrameReader::Result::kFrame) << size;
    EXPECT_TRUE(frame.body == body);
    ASSERT_EQ(reader.Next(frame), FrameReader::Result::kFrame);
    EXPECT_EQ(frame.type, 15);
  }
  FrameView frame;

  for (const std::string& header : {Bytes({0xFF, 0xFF, 9}), Bytes({0x00, 0x80, 4})}) {
    FrameReader reader;
    reader.Append(Frame(15, U64(3)) + header + Frame(9, ChatTextBody(1, 3, "ok")));
    EXPECT_EQ(reader.Next(frame), FrameReader::Result::kFrame);
    EXPECT_EQ(reader.Next(frame), FrameReader::Result::kBadLength) << Hex(header);
    reader.Append(Frame(15, U64(3)));
    EXPECT_EQ(reader.Next(frame), FrameReader::Result::kBadLength);
    EXPECT_EQ(reader.buffered(), 0u);
  }
  FrameReader negative;
  negative.Append(Bytes({0xFF, 0xFF, 9}));
  EXPECT_EQ(negative.Next(frame), FrameReader::Result::kBadLength);
  EXPECT_EQ(negative.bad_length(), -1);
}

TEST(ChatParsersTest, AgentListsReadWholeRecordsOnly) {
  EXPECT_TRUE(ParseAgentList("").empty());
  EXPECT_TRUE(ParseAgentList("x").empty());
  EXPECT_TRUE(ParseAgentList(U64(1).substr(0, 5)).empty());

  // An extra length of 0 (or below) is only its two bytes; the next record follows at once.
  const std::string body = AgentRecord(0x100000001ULL, "客服 小紫", "") + U64(2) + I16(6) + "阿蓝" + I16(-4) +
                           AgentRecord(3, "老周", "账号安全");
  const auto agents = ParseAgentList(body);
  ASSERT_EQ(agents.size(), 3u);
  EXPECT_EQ(agents[0], (GMEntry{0x100000001ULL, "客服 小紫", "", 3, 0}));
  EXPECT_EQ(agents[1], (GMEntry{2, "阿蓝", "", 3, 0}));
  EXPECT_EQ(agents[2], (GMEntry{3, "老周", "账号安全", 3, 0}));

  // A record whose name or extra runs past the body ends the list; the records before it stay.
  EXPECT_EQ(ParseAgentList(AgentRecord(1, "a", "b") + U64(2) + I16(40) + "short").size(), 1u);
  EXPECT_EQ(ParseAgentList(AgentRecord(1, "a", "b") + U64(2) + I16(1) + "n" + I16(9) + "e").size(), 1u);
  EXPECT_EQ(ParseAgentList(AgentRecord(1, "a", "b") + U64(2) + I16(-1) + AgentRecord(3, "c", "")).size(), 1u);
  EXPECT_EQ(ParseAgentList(AgentRecord(1, "a", "b") + U64(2) + "\x01").size(), 1u);

  // Texts are checked UTF-8; a zero byte ends a text.
  const auto odd = ParseAgentList(AgentRecord(9, std::string("bad\xFF", 4), std::string("cut\0tail", 8)));
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].name, "bad\xEF\xBF\xBD");
  EXPECT_EQ(odd[0].extra, "cut");
}

TEST(ChatParsersTest, FixedSizeBodiesAndTexts) {
  EXPECT_EQ(ParseLocalAgents(U64(1) + U64(2) + "\x03\x00\x00\x00\x00"), (std::vector<std::uint64_t>{1, 2}));
  EXPECT_EQ(ParseAgentStates(U64(1) + "\x02" + U64(2) + std::string(1, '\0') + U64(3).substr(0, 4)),
            (std::vector<AgentState>{{1, 2}, {2, 0}}));

  EXPECT_FALSE(ParseOpenChatResult(U64(5) + U32(0).substr(0, 3)));
  const auto refused = ParseOpenChatResult(U64(5) + U32(0xFFFFFFFF));
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->agent_id, 5u);
  EXPECT_EQ(refused->result, -1);

  const auto text = ParseChatText(ChatTextBody(0x100000007ULL, 6, std::string("hello\0", 6)));
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, (ChatTextMessage{0x100000007ULL, "hello"}));
  const auto empty = ParseChatText(ChatTextBody(7, 0, ""));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->text, "");
  EXPECT_FALSE(ParseChatText(ChatTextBody(7, 4, "你")));  // runs past the body by one byte
  EXPECT_FALSE(ParseChatText(ChatTextBody(7, 4, "ab")));
  EXPECT_FALSE(ParseChatText(ChatTextBody(7, -2, "ab")));
  EXPECT_FALSE(ParseChatText(ChatTextBody(7, 0, "").substr(0, 17)));

  EXPECT_EQ(ParseGameInfo(I16(6) + "玄岚" + I16(3) + "qrv" + I16(50) + "cut"),
            (std::vector<std::string>{"玄岚", "qrv"}));
  EXPECT_EQ(ParseAgentOffline(U64(9)), 9u);
  EXPECT_FALSE(ParseAgentOffline(U64(9).substr(0, 7)));
  EXPECT_TRUE(ParseLoginResult("\x01"));
  EXPECT_FALSE(ParseLoginResult(std::string(1, '\0')));
  EXPECT_FALSE(ParseLoginResult(""));
}

}  // namespace
}  // namespace qrv::chat::testing
