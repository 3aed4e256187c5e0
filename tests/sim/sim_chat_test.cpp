// The simulator's customer-service chat server, spoken to byte by byte as the protocol lays the
// frames out (no code shared with the launcher): what it answers to each request, what it logs,
// and taking it away and bringing it back while HTTP runs on.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/sim_test_support.h"

namespace qrv::sim::testing {
namespace {

struct WireFrame {
  int type = 0;
  std::string body;
};

std::string Le(std::uint64_t value, int width) {
  std::string out;
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
  return out;
}

std::uint64_t ReadLe(std::string_view bytes, std::size_t at, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

const std::string kPlayer = Le(121942135, 4) + Le(217, 4);
const std::string kGame = Le(30, 2);

// A blocking client with a receive time-out, so a missing answer fails the test instead of
// hanging it.
class ChatClient {
 public:
  explicit ChatClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    timeval wait{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  }
  ~ChatClient() { close(fd_); }
  ChatClient(const ChatClient&) = delete;
  ChatClient& operator=(const ChatClient&) = delete;

  bool connected() const { return connected_; }

  void Send(int type, const std::string& body) {
    const std::string frame = Le(body.size(), 2) + static_cast<char>(type) + body;
    ASSERT_EQ(send(fd_, frame.data(), frame.size(), MSG_NOSIGNAL), static_cast<ssize_t>(frame.size()));
  }

  // The next frame; type -1000 when none came (time-out or end of stream).
  WireFrame Next() {
    while (true) {
      if (buffer_.size() >= 3) {
        const std::size_t length = ReadLe(buffer_, 0, 2);
        if (buffer_.size() >= 3 + length) {
          WireFrame frame{static_cast<signed char>(buffer_[2]), buffer_.substr(3, length)};
          buffer_.erase(0, 3 + length);
          return frame;
        }
      }
      if (!Fill()) return WireFrame{-1000, ""};
    }
  }

  // Whether the server ends the stream (within the receive time-out).
  bool Ended() {
    while (Fill()) {
    }
    return ended_;
  }

 private:
  bool Fill() {
    char chunk[8192];
    const ssize_t got = recv(fd_, chunk, sizeof chunk, 0);
    if (got == 0) ended_ = true;
    if (got <= 0) return false;
    buffer_.append(chunk, static_cast<std::size_t>(got));
    return true;
  }

  int fd_;
  bool connected_ = false;
  bool ended_ = false;
  std::string buffer_;
};

// The text of a chat frame (types 9 and 17): addressee, agent, length counting the zero, text.
std::string ChatTextOf(const WireFrame& frame) {
  if (frame.body.size() < 18) return "<short>";
  const std::size_t length = ReadLe(frame.body, 16, 2);
  std::string text = frame.body.substr(18, length);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

TEST_F(SimTest, ChatServerAnswersEveryRequestAndLogsEveryFrame) {
  g_autoptr(GKeyFile) deploy = g_key_file_new();
  ASSERT_TRUE(g_key_file_load_from_file(deploy, sim_->deploy_path().c_str(), G_KEY_FILE_NONE, nullptr));
  EXPECT_EQ(g_key_file_get_integer(deploy, "chat", "port", nullptr), sim_->chat_port());
  EXPECT_NE(sim_->chat_port(), sim_->port());

  ChatClient client(sim_->chat_port());
  ASSERT_TRUE(client.connected());
  WireFrame login = client.Next();
  EXPECT_EQ(login.type, 1);
  EXPECT_EQ(login.body, "\x01");

  client.Send(3, kGame);
  const WireFrame info = client.Next();
  ASSERT_EQ(info.type, 3);
  EXPECT_EQ(info.body, Le(9, 2) + "玄岚城" + Le(11, 2) + "双线45区" + Le(29, 2) + "客服在线时间 9:00-23:00");

  client.Send(4, kGame);
  const WireFrame list = client.Next();
  ASSERT_EQ(list.type, 4);
  std::vector<std::pair<std::uint64_t, std::string>> agents;
  for (std::size_t at = 0; at + 12 <= list.body.size();) {
    const std::uint64_t id = ReadLe(list.body, at, 8);
    const std::size_t name_length = ReadLe(list.body, at + 8, 2);
    agents.emplace_back(id, list.body.substr(at + 10, name_length));
    at += 10 + name_length;
    at += 2 + ReadLe(list.body, at, 2);
  }
  ASSERT_EQ(agents.size(), 6u);
  EXPECT_EQ(agents[0], std::make_pair(std::uint64_t{10001}, std::string("小青")));
  EXPECT_EQ(agents[2].second, "小 紫");
  EXPECT_EQ(agents[5].first, 4294977297u);

  client.Send(5, kGame + Le(217, 4));
  EXPECT_EQ(client.Next().body, Le(10001, 8) + Le(10002, 8) + Le(10005, 8));
  client.Send(6, kGame);
  const std::string states_before = client.Next().body;
  EXPECT_EQ(states_before.substr(9, 9), Le(10002, 8) + '\0');
  EXPECT_EQ(states_before.substr(27, 9), Le(10004, 8) + '\3');

  // Open chat: accepted by 10001, refused by 10005, refused for an agent nobody knows.
  client.Send(7, kPlayer + Le(10001, 8));
  EXPECT_EQ(client.Next().body, Le(10001, 8) + Le(0, 4));
  client.Send(7, kPlayer + Le(10005, 8));
  EXPECT_EQ(client.Next().body, Le(10005, 8) + Le(1, 4));
  client.Send(7, kPlayer + Le(777, 8));
  EXPECT_EQ(client.Next().body, Le(777, 8) + Le(1, 4));

  // Chat start: the accepted agent greets. A chat text: the agent answers naming it, and after
  // the first text agent 10002 goes offline.
  client.Send(17, kPlayer);
  const WireFrame greeting = client.Next();
  EXPECT_EQ(greeting.type, 17);
  EXPECT_EQ(greeting.body.substr(0, 16), kPlayer + Le(10001, 8));
  EXPECT_EQ(ChatTextOf(greeting), "您好，我是小青，请问有什么可以帮您？");
  client.Send(9, Le(10001, 8) + kPlayer + Le(7, 2) + std::string("你好\0", 7));
  const WireFrame reply = client.Next();
  EXPECT_EQ(reply.type, 9);
  EXPECT_EQ(ChatTextOf(reply), "小青已收到您的消息：“你好”");
  const WireFrame offline = client.Next();
  EXPECT_EQ(offline.type, 15);
  EXPECT_EQ(offline.body, Le(10002, 8));

  // A text longer than the launcher takes in one frame is echoed cut short.
  client.Send(9, Le(10001, 8) + kPlayer + Le(6001, 2) + std::string(3000, 'a') + std::string(1000, 'b') +
                     std::string(2000, 'c') + '\0');
  const WireFrame long_reply = client.Next();
  EXPECT_EQ(long_reply.type, 9);
  EXPECT_LE(long_reply.body.size(), 4093u);
  EXPECT_NE(ChatTextOf(long_reply).find("aaa…”"), std::string::npos);

  // The heartbeat gets no answer: the next frame is the states, with 10002 now offline.
  client.Send(18, "");
  client.Send(6, kGame);
  const WireFrame states_after = client.Next();
  EXPECT_EQ(states_after.type, 6);
  EXPECT_EQ(states_after.body.substr(9, 9), Le(10002, 8) + '\3');

  const auto frames = EntriesWithEvent(*sim_, "chat_frame");
  std::vector<std::string> types;
  for (const LogEntry& entry : frames) types.push_back(entry.Field("type"));
  EXPECT_EQ(types, (std::vector<std::string>{"3", "4", "5", "6", "7", "7", "7", "17", "9", "9", "18", "6"}));
  ASSERT_EQ(frames.size(), 12u);
  EXPECT_EQ(frames[0].Field("body_hex"), "1e00");
  EXPECT_EQ(frames[8].Field("body_hex"), "112700000000000077b04407d90000000700e4bda0e5a5bd00");
  EXPECT_EQ(frames[8].Field("text"), "你好");
  EXPECT_EQ(frames[8].Field("length"), "25");
  EXPECT_EQ(frames[8].Field("protocol"), "chat");
  EXPECT_EQ(frames[10].Field("body_hex"), "");
  EXPECT_EQ(frames[0].Field("connection"), frames[11].Field("connection"));
  EXPECT_EQ(EntriesWithEvent(*sim_, "chat_open").size(), 1u);
}

TEST_F(SimTest, ChatFramesKeepToTheProtocolsSizesWhateverTheDataHolds) {
  // 2,500 agents (about 95,000 bytes of agent list) and a greeting of 40,000 bytes.
  std::string agents;
  for (int i = 0; i < 2500; ++i) {
    if (i > 0) agents += ",";
    agents += R"({"id": )" + std::to_string(50000 + i) + R"(, "name": "客服客服客服客服)" +
              std::to_string(i) + R"(", "extra": "问题问题问题问题"})";
  }
  const std::string data_file = dir_.path() + "/many.json";
  {
    std::ifstream in(DefaultSimDataPath());
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t brace = data.rfind('}');
    ASSERT_NE(brace, std::string::npos);
    data = data.substr(0, brace) + R"(, "chat": {"greeting": ")" + std::string(40000, 'g') +
           R"(", "agents": [)" + agents + "]}}";
    std::ofstream(data_file) << data;
  }
  SimOptions options;
  options.work_dir = dir_.path() + "/many";
  std::filesystem::create_directories(options.work_dir);
  options.data_file = data_file;
  std::string error;
  auto sim = SimProcess::Start(options, error);
  ASSERT_NE(sim, nullptr) << error;

  ChatClient client(sim->chat_port());
  ASSERT_TRUE(client.connected());
  EXPECT_EQ(client.Next().type, 1);
  // The list comes as several frames of whole records, none longer than a signed length holds.
  client.Send(4, kGame);
  client.Send(18, "");  // no answer: what comes next is not the list
  client.Send(6, kGame);
  std::vector<std::uint64_t> listed;
  WireFrame frame;
  int list_frames = 0;
  while ((frame = client.Next()).type == 4) {
    ++list_frames;
    EXPECT_LE(frame.body.size(), 32767u);
    for (std::size_t at = 0; at < frame.body.size();) {
      ASSERT_LE(at + 12, frame.body.size());
      listed.push_back(ReadLe(frame.body, at, 8));
      const std::size_t name = ReadLe(frame.body, at + 8, 2);
      const std::size_t extra = ReadLe(frame.body, at + 10 + name, 2);
      at += 12 + name + extra;
      ASSERT_LE(at, frame.body.size());
    }
  }
  EXPECT_GE(list_frames, 3);
  ASSERT_EQ(listed.size(), 2500u);
  EXPECT_EQ(listed.back(), 52499u);
  std::size_t states = 0;
  do {
    EXPECT_EQ(frame.type, 6);
    EXPECT_LE(frame.body.size(), 32767u);
    EXPECT_EQ(frame.body.size() % 9, 0u);
    states += frame.body.size() / 9;
  } while (states < 2500 && (frame = client.Next()).type == 6);
  EXPECT_EQ(states, 2500u);
  // The greeting is cut to fit one frame.
  client.Send(7, kPlayer + Le(50000, 8));
  EXPECT_EQ(client.Next().type, 7);
  client.Send(17, kPlayer);
  const WireFrame greeting = client.Next();
  EXPECT_EQ(greeting.type, 17);
  EXPECT_LE(greeting.body.size(), 32767u);
  EXPECT_GT(greeting.body.size(), 32000u);
  EXPECT_EQ(sim->Stop(), 0);
}

TEST_F(SimTest, ChatServerStopsAndComesBackWhileHttpRunsOn) {
  auto first = std::make_unique<ChatClient>(sim_->chat_port());
  ASSERT_TRUE(first->connected());
  EXPECT_EQ(first->Next().type, 1);

  ASSERT_TRUE(sim_->SuspendChat());
  EXPECT_TRUE(first->Ended());
  EXPECT_FALSE(ChatClient(sim_->chat_port()).connected());
  HttpClient http;
  EXPECT_EQ(http.Get(Url("/service/")).status, 200);

  ASSERT_TRUE(sim_->ResumeChat());
  ChatClient again(sim_->chat_port());
  ASSERT_TRUE(again.connected());
  EXPECT_EQ(again.Next().type, 1);
  const auto closed = EntriesWithEvent(*sim_, "chat_closed");
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].Field("reason"), "server stopped");
  EXPECT_EQ(EntriesWithEvent(*sim_, "chat_open").size(), 2u);
}

}  // namespace
}  // namespace qrv::sim::testing
