// The chat where a player meets what a chat server may send or do, the real program under Xvfb
// against the simulator's chat server:
// - an agent list of 177 agents in one frame of about 6,000 bytes is listed in full; a name full
//   of markup is listed as written and a double click on it opens its chat; a 700-byte name gives
//   a tab of the strip's width with its close button;
// - an acceptance the player never asked for opens nothing;
// - a chat server that stops reading (its process stopped once its small receive buffer is full)
//   is noticed within the launcher's silence time: the chat tells the player that the last texts
//   may not have reached the agent, and the launcher connects again by itself.

#include <csignal>

#include "e2e/chat_e2e_fixture.h"

namespace qrv::e2e {
namespace {

using sim::testing::EntriesWithEvent;

const std::string kMarkupName = "<b>{x 4}小白";

std::string LongName() {
  std::string name;
  while (name.size() < 699) name += "长";
  return name + "x";  // 700 bytes
}

// The agents: the two with the odd names serve the player's server, 175 others do not.
std::string ManyAgentsChat(std::size_t& list_bytes) {
  std::string agents = R"({"id": 20001, "name": ")" + kMarkupName +
                       R"(", "extra": "", "state": 0, "local": true},)" + R"({"id": 20002, "name": ")" +
                       LongName() + R"(", "extra": "", "state": 0, "local": true})";
  list_bytes = (8 + 2 + kMarkupName.size() + 2) + (8 + 2 + LongName().size() + 2);
  for (int i = 0; i < 175; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "客服%03d号", i);
    agents += R"(,{"id": )" + std::to_string(21000 + i) + R"(, "name": ")" + name +
              R"(", "extra": "问题", "state": )" + std::to_string(i % 4) + "}";
    list_bytes += 8 + 2 + std::string(name).size() + 2 + std::string("问题").size();
  }
  return R"({"login_result": 1, "game_info": ["玄岚城"], "agents": [)" + agents + "]}";
}

TEST_F(ChatE2eTest, AListOf177AgentsNamesAsWrittenALongNameInATabAndNoChatNobodyAskedFor) {
  std::size_t list_bytes = 0;
  ASSERT_NO_FATAL_FAILURE(UseChatServer(ManyAgentsChat(list_bytes)));
  EXPECT_GT(list_bytes, 4093u);  // once more than the launcher would read
  ASSERT_NO_FATAL_FAILURE(LogInAndOpenAgentList());

  // Every agent is listed, the two groups around them; the names read as written.
  std::vector<Row> rows;
  ASSERT_TRUE(WaitFor([&] { return (rows = AgentRows()).size() == 179; }, 10000)) << rows.size();
  EXPECT_EQ(rows[0].plain, "本区客服");
  EXPECT_EQ(rows[1].plain, kMarkupName + " 在线");
  EXPECT_EQ(rows[2].plain, LongName() + " 在线");
  EXPECT_EQ(rows[3].plain, "其他客服");
  int others = 0;
  for (const Row& row : rows)
    others += row.plain.rfind("客服", 0) == 0 && row.plain.find("号 ") != std::string::npos;
  EXPECT_EQ(others, 175);
  ExpectPhotographed(VisibleWindowRect(automation(), "UIGMLit"), "e2e-agent-list-177.png");

  // A double click on the marked-up name asks for that agent and opens its chat.
  DoubleClick(rows[1]);
  ASSERT_TRUE(WaitFor([&] { return automation().Control("UIMainFrame", "page2").ok(); }))
      << launcher_->output();
  EXPECT_EQ(automation().Control("UIMainFrame", "page2").String("text"), "客服" + kMarkupName);
  ASSERT_TRUE(WaitFor([&] { return History().text.find("您好，我是" + kMarkupName) != std::string::npos; }))
      << History().text;
  std::vector<std::string> asked;
  for (const auto& entry : EntriesWithEvent(*sim_, "chat_frame"))
    if (entry.Field("type") == "7") asked.push_back(entry.Field("body_hex").substr(16));
  EXPECT_EQ(asked, std::vector<std::string>{"214e000000000000"});  // 20001, little-endian

  // The 700-byte name: its tab keeps the strip's width and its close button.
  ShowAgentListAgain();
  ASSERT_TRUE(WaitFor([&] { return (rows = AgentRows()).size() == 179; }, 10000));
  DoubleClick(rows[2]);
  ASSERT_TRUE(WaitFor([&] { return automation().Control("UIMainFrame", "page3").ok(); }))
      << launcher_->output();
  const auto tab = automation().Control("UIMainFrame", "page3");
  EXPECT_EQ(tab.String("text"), "客服" + LongName());
  EXPECT_TRUE(tab.Bool("selected"));
  const Rect tab_rect = RectOf(tab.object());
  EXPECT_GT(tab_rect[2] - tab_rect[0], 100);
  EXPECT_LE(tab_rect[2] - tab_rect[0], 174);
  EXPECT_TRUE(automation().Control("UIMainFrame", "CloseTabBtn3").Bool("visible"));
  const Rect frame = VisibleWindowRect(automation(), "UIMainFrame");
  ExpectPhotographed(Rect{frame[0], frame[1], frame[2], frame[1] + 120}, "e2e-long-name-tab.png");
  ASSERT_TRUE(WaitFor([&] { return History().text.find("您好，我是长长") != std::string::npos; }));

  // The server accepts a chat with agent 21000 that nobody asked for, then the agent of the open
  // tab writes: once that text is shown, the acceptance before it has been read, and opened
  // nothing.
  sim::testing::HttpClient http;
  const auto pushed =
      http.Get(sim_->base_url() + "/__sim/chat-push?accept=21000&agent=20002&text=%E8%BF%98%E5%9C%A8");
  EXPECT_EQ(pushed.body, "OK 1");
  ASSERT_TRUE(WaitFor([&] { return History().text.find("\n还在\n") != std::string::npos; }))
      << History().text;
  EXPECT_FALSE(automation().Control("UIMainFrame", "page4").ok());
  EXPECT_EQ(WindowCount(automation(), "CharDlg"), 2);
  launcher_->Stop();
  ExpectCleanOutput();
}

// Lets the simulator run again whatever happens to the test.
struct ContinueOnExit {
  pid_t pid;
  ~ContinueOnExit() { kill(pid, SIGCONT); }
};

TEST_F(ChatE2eTest, AChatServerThatStopsReadingIsNoticedTheChatSaysSoAndTheLauncherConnectsAgain) {
  // A chat server whose receive buffer a few kilobytes fill, and a launcher that gives a silent
  // connection three seconds.
  ASSERT_NO_FATAL_FAILURE(
      UseChatServer(R"({"agents": [{"id": 10001, "name": "小青", "state": 0, "local": true}]})",
                    {"--chat-receive-buffer", "2048"}));
  launcher_->SetEnv("QRV_CHAT_SILENCE_SECONDS", "3");
  launcher_->SetEnv("G_MESSAGES_DEBUG", "zelto_qrv");  // the progress lines, with the loss's reason
  ASSERT_NO_FATAL_FAILURE(LogInAndOpenAgentList());
  std::vector<Row> rows;
  ASSERT_TRUE(WaitFor([&] { return (rows = AgentRows()).size() == 3; }, 10000)) << rows.size();
  DoubleClick(rows[1]);
  ASSERT_TRUE(WaitFor([&] { return History().text.find("您好，我是小青") != std::string::npos; }))
      << launcher_->output();
  const std::size_t opened = EntriesWithEvent(*sim_, "chat_open").size();

  // The server's process stops; the player sends a long text, more than its buffer takes. The
  // text went to the connection, so it shows as sent; nothing acknowledges it any more.
  ASSERT_EQ(kill(sim_->pid(), SIGSTOP), 0);
  ContinueOnExit resume{sim_->pid()};
  std::string text;
  while (text.size() < 12000) text += "请问我的充值为什么还没有到账";
  TypeIntoInput(text);
  ASSERT_TRUE(WaitFor([&] { return Input().text.size() == text.size(); }, 60000));
  ASSERT_TRUE(automation().Click("UICharDlg", "bnsend").ok());
  ASSERT_TRUE(WaitFor([&] { return Input().text.empty(); }));
  EXPECT_NE(History().text.find("\n" + text + "\n"), std::string::npos);

  // The launcher notices that nothing is acknowledged and says so in the chat.
  ASSERT_TRUE(WaitFor(
      [&] {
        return History().text.find(
                   "与客服服务器的连接中断了，正在重新连接。您最近发出的消息客服可能没有收到，"
                   "如有需要请重新发送。") != std::string::npos;
      },
      60000))
      << launcher_->output();
  EXPECT_NE(launcher_->output().find("Connection timed out)，1秒后重连"), std::string::npos)
      << launcher_->output();

  // The server runs again: the launcher connects anew by itself and asks for the list again; once
  // the new connection's states are read, the list shows the agent again.
  ASSERT_EQ(kill(sim_->pid(), SIGCONT), 0);
  ASSERT_TRUE(WaitFor([&] { return EntriesWithEvent(*sim_, "chat_open").size() > opened; }, 60000));
  const auto states_read = [&] {
    const std::string output = launcher_->output();
    const std::string line = "****开始解析GM状态*****";
    const std::size_t first = output.find(line);
    return first != std::string::npos && output.find(line, first + line.size()) != std::string::npos;
  };
  ASSERT_TRUE(WaitFor(states_read, 30000)) << launcher_->output();
  ShowAgentListAgain();
  EXPECT_TRUE(WaitFor([&] { return AgentRows().size() == 3; })) << AgentRows().size();
  launcher_->Stop();
  ExpectCleanOutput();
}

}  // namespace
}  // namespace qrv::e2e
