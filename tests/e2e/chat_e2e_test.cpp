// The real program under Xvfb against the simulator's chat server: "gm_button" shows the agent
// list with the simulator's agents in their groups; a real double click on an online agent opens
// the tab "客服<name>"; "你好" typed into the input, an emoticon from the picker and Ctrl+Enter
// make the simulator receive "你好\:F01"; the agent's reply shows in the history under the agent's
// name; the chat server stopped tells the chat that the last texts may not have arrived, a text
// sent then stays in the input, and the server started again brings the agent list back, each
// agent once.
// The agent list, the chat tab with its emoticons and the picker are photographed.

#include "e2e/chat_e2e_fixture.h"

namespace qrv::e2e {
namespace {

using sim::testing::EntriesWithEvent;

TEST_F(ChatE2eTest, AgentListChatTabEmoticonsCtrlEnterTheReplyAndAReconnection) {
  ASSERT_NO_FATAL_FAILURE(LogInAndOpenAgentList());

  // "gm_button": its tab, and the agent list with the simulator's agents in their groups.
  EXPECT_EQ(automation().Control("UIMainFrame", "page1").String("text"), "客服助手");
  ASSERT_TRUE(ListShowsEveryAgentOnce());
  const std::vector<Row> rows = AgentRows();
  const std::vector<int> indexes = RowIndexes(rows, kOrder);
  const Rect list = VisibleWindowRect(automation(), "UIGMLit");
  ExpectPhotographed(list, "e2e-agent-list.png");

  // A real double click on 小青 opens the tab "客服小青" with its chat window.
  const Rect row = rows[static_cast<std::size_t>(indexes[1])].rect;
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(list[0] + (row[0] + row[2]) / 2) + " " +
                      std::to_string(list[1] + (row[1] + row[3]) / 2) + " click --repeat 2 --delay 80 1"));
  ASSERT_TRUE(WaitFor([&] { return VisibleWindowRect(automation(), "CharDlg")[2] > 0; }))
      << launcher_->output();
  EXPECT_EQ(VisibleWindowRect(automation(), "UIGMLit")[2], 0);  // the list hid
  EXPECT_EQ(automation().Control("UIMainFrame", "page2").String("text"), "客服小青");
  EXPECT_TRUE(automation().Control("UIMainFrame", "page2").Bool("selected"));
  // The agent greets the player once the chat window has started the chat.
  ASSERT_TRUE(WaitFor([&] { return History().text.find("您好，我是小青") != std::string::npos; }))
      << History().text;
  EXPECT_EQ(History().text.rfind("小青  ", 0), 0u) << History().text;

  // The player clicks into the input and types; then an emoticon from the picker.
  const Window input = Input();
  ASSERT_NE(input.hwnd, 0);
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string((input.rect[0] + input.rect[2]) / 2) + " " +
                      std::to_string((input.rect[1] + input.rect[3]) / 2) + " click 1"));
  TypeIntoInput("你好");
  ASSERT_TRUE(WaitFor([&] { return Input().text == "你好"; }, 10000)) << Input().text;
  ASSERT_TRUE(automation().Click("UICharDlg", "bnface").ok());
  Window picker;
  ASSERT_TRUE(
      WaitFor([&] { return (picker = Find([](const Window& w) { return w.title == "表情"; })).hwnd != 0; }));
  EXPECT_EQ(picker.cls, "UIMainFrame");
  ExpectPhotographed(picker.rect, "e2e-emoticon-picker.png");
  ASSERT_TRUE(
      automation()
          .Send(qrv::testing::AutomationRequest("click").Set("hwnd", picker.hwnd).Set("name", "bnface1"))
          .ok());
  ASSERT_TRUE(WaitFor([&] { return Input().text == "你好\\:F01"; }, 10000)) << Input().text;
  EXPECT_EQ(Find([](const Window& w) { return w.title == "表情"; }).hwnd, 0);  // the picker hid

  // Ctrl+Enter on the keyboard sends it: the simulator receives one type-9 frame in UTF-8.
  ASSERT_TRUE(Xdotool("key ctrl+Return"));
  ASSERT_TRUE(WaitFor([&] { return !ChatFrames("9").empty(); })) << launcher_->output();
  const auto texts = EntriesWithEvent(*sim_, "chat_frame");
  std::vector<std::string> sent;
  for (const auto& entry : texts)
    if (entry.Field("type") == "9") sent.push_back(entry.Field("text"));
  EXPECT_EQ(sent, (std::vector<std::string>{"你好\\:F01"}));
  EXPECT_TRUE(WaitFor([&] { return Input().text.empty(); }));
  // The reply shows under the agent's name, its emoticon a picture again.
  const std::string reply = "小青已收到您的消息：“你好\\:F01”";
  ASSERT_TRUE(WaitFor([&] { return History().text.find(reply) != std::string::npos; })) << History().text;
  const std::string history = History().text;
  const std::size_t own = history.find("我  ");
  ASSERT_NE(own, std::string::npos) << history;
  EXPECT_NE(history.find("\n你好\\:F01\n\n", own), std::string::npos) << history;
  const std::size_t answer = history.rfind("小青  ");
  ASSERT_NE(answer, std::string::npos);
  EXPECT_GT(answer, own);
  EXPECT_EQ(history.find(reply), history.find('\n', answer) + 1) << history;
  // The emoticons in the history move: the history's pixels change while nothing else happens.
  const Rect shown = History().rect;
  const std::string crop = std::to_string(shown[2] - shown[0]) + "x" + std::to_string(shown[3] - shown[1]) +
                           "+" + std::to_string(shown[0]) + "+" + std::to_string(shown[1]);
  const std::string first = CommandOutput("import -window root -crop " + crop + " -depth 8 rgb:- | md5sum");
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(WaitFor(
      [&] {
        return CommandOutput("import -window root -crop " + crop + " -depth 8 rgb:- | md5sum") != first;
      },
      10000))
      << "the emoticons do not move";
  // The frame with the chat tab, its emoticons in the history.
  ExpectPhotographed(VisibleWindowRect(automation(), "UIMainFrame"), "e2e-chat-tab.png", 200);

  // The chat server goes away. A text sent now does not go out: a notice says so, and the text
  // stays in the input. The list shows its two groups only.
  ASSERT_TRUE(sim_->SuspendChat());
  ASSERT_TRUE(WaitFor([&] { return History().text.find("可能没有收到") != std::string::npos; }))
      << History().text;
  TypeIntoInput("还在吗");
  ASSERT_TRUE(WaitFor([&] { return Input().text == "还在吗"; })) << Input().text;
  ASSERT_TRUE(automation().Click("UICharDlg", "bnsend").ok());
  ASSERT_TRUE(WaitFor([&] { return History().text.find("这条消息未能发出") != std::string::npos; }))
      << History().text;
  EXPECT_EQ(Input().text, "还在吗");
  EXPECT_EQ(History().text.find("\n还在吗\n"), std::string::npos) << History().text;
  ShowAgentListAgain();
  ASSERT_TRUE(WaitFor([&] { return AgentRows().size() == 2; })) << AgentRows().size();
  // It comes back: the launcher reconnects by itself and asks again; every agent is listed once.
  const std::size_t states_before = ChatFrames("6").size();
  ASSERT_TRUE(sim_->ResumeChat());
  ASSERT_TRUE(WaitFor([&] { return ChatFrames("6").size() > states_before; }, 60000)) << launcher_->output();
  EXPECT_TRUE(ListShowsEveryAgentOnce());
  launcher_->Stop();
  ExpectCleanOutput();
}

}  // namespace
}  // namespace qrv::e2e
