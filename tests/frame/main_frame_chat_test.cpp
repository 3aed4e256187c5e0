// The main frame's customer-service chat against the simulator's chat server: the connection made
// at start-up and its request sequence on timers 1000 to 1002, the heartbeat, the agent list from
// "gm_button", a double click that opens the chat tab "客服<name>", texts both ways routed to that
// tab, messages that open or route nothing, and the chat server taken away and brought back.

#include <glib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "chat/char_dlg.h"
#include "chat/chat_messages.h"
#include "frame_fixture.h"
#include "tools/window_test_support.h"

namespace qrv::testing {
namespace {

using sim::testing::EntriesWithEvent;

class MainFrameChatTest : public FrameFixture {
 protected:
  void SetUp() override {
    FrameFixture::SetUp();
    // The chat shows emoticons from the program folder.
    std::filesystem::copy(QRV_EMOTIONS_DIR, program_ + "/emotions", std::filesystem::copy_options::recursive);
  }

  // Runs GLib's main context (the chat socket) and the message loop until `done` holds.
  bool Pump(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
      }
      loop_->Pump();
      if (done()) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  CGMHelper& chat() { return frame_->chat_connection(); }

  // The types of the chat frames the simulator received, in order.
  std::vector<int> FrameTypes() const {
    std::vector<int> types;
    for (const auto& entry : EntriesWithEvent(*sim_, "chat_frame"))
      types.push_back(std::stoi(entry.Field("type")));
    return types;
  }
  std::vector<std::string> TextsReceived() const {
    std::vector<std::string> texts;
    for (const auto& entry : EntriesWithEvent(*sim_, "chat_frame"))
      if (entry.Field("type") == "9") texts.push_back(entry.Field("text"));
    return texts;
  }

  // The request sequence after a connection: heartbeat and game information, the agent list half
  // a second later, then local agents and states.
  void RunRequestSequence() {
    loop_->Advance(CMainFrameWnd::kChatFirstRequestMs);
    ASSERT_TRUE(Pump([&] { return FrameTypes().size() >= frames_before_ + 2; }));
    loop_->Advance(CMainFrameWnd::kChatStepMs);
    ASSERT_TRUE(Pump([&] { return chat().agents().size() == 6; }));
    loop_->Advance(CMainFrameWnd::kChatStepMs);
    // The last state the simulator sends: 大白 online, after 老周 offline.
    ASSERT_TRUE(Pump([&] { return chat().agents()[2].state == 2 && chat().agents()[0].local == 1; }));
  }

  // The node texts of the agent list's rows.
  std::vector<std::string> ListRows() {
    std::vector<std::string> rows;
    CGameListUI* list = frame_->agent_list().list();
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
      const ListNode* node = list->NodeOf(list->GetItemAt(i));
      rows.push_back(node != nullptr ? node->text : "-");
    }
    return rows;
  }
  void DoubleClickAgent(const std::string& row_text) {
    CGMListWnd& window = frame_->agent_list();
    CGameListUI* list = window.list();
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->GetCount(); ++i) {
      const ListNode* node = list->NodeOf(list->GetItemAt(i));
      if (node == nullptr || node->text != row_text) continue;
      window.paint_manager().UpdateLayout();
      const LPARAM at = PointParam(CentreOf(*list->GetItemAt(i)));
      SendMessage(window.GetHWND(), WM_LBUTTONDOWN, 1, at);
      SendMessage(window.GetHWND(), WM_LBUTTONUP, 0, at);
      SendMessage(window.GetHWND(), WM_LBUTTONDBLCLK, 1, at);
      SendMessage(window.GetHWND(), WM_LBUTTONUP, 0, at);
      return;
    }
    FAIL() << "no row " << row_text;
  }
  std::string TabCaption(std::size_t tab) {
    COptionUI* option = frame_->tabs().OptionOfWindow(frame_->tabs().at(tab).hwnd);
    return option != nullptr ? option->GetText() : "";
  }

  std::size_t frames_before_ = 0;
};

const std::vector<std::string> kAllAgents = {
    "{x 4}{x 4}本区客服",
    "{x 4}{i gameicons.png 18 12}{x 4}小青 在线",
    "{x 4}{i gameicons.png 18 12}{x 4}阿蓝 在线",
    "{x 4}{i gameicons.png 18 12}{x 4}红豆 离开",
    "{x 4}{x 4}其他客服",
    "{x 4}{i gameicons.png 18 12}{x 4}小 紫 繁忙",
    "{x 4}{i gameicons.png 18 12}{x 4}大白 在线",
    "{x 4}{i gameicons.png 18 13}{x 4}老周 离线",
};

TEST_F(MainFrameChatTest, AgentsListedChatTabsOpenedTextsRoutedAndTheListRebuiltAfterAReconnection) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  // Connected at start-up to the chat server of the deployment file; the requests run in order.
  ASSERT_TRUE(Pump([&] { return chat().connected(); }));
  RunRequestSequence();
  EXPECT_EQ(FrameTypes(), (std::vector<int>{18, 3, 4, 5, 6}));
  loop_->Advance(CMainFrameWnd::kChatHeartbeatMs);
  ASSERT_TRUE(Pump([&] { return FrameTypes().size() == 6; }));
  EXPECT_EQ(FrameTypes().back(), 18);

  // "gm_button" opens its browser tab and the agent list below the button.
  Click("gm_button");
  EXPECT_EQ(frame_->tabs().count(), 2u);
  EXPECT_EQ(TabCaption(1), "客服助手");
  const HWND list = frame_->agent_list().GetHWND();
  ASSERT_NE(list, nullptr);
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(windows_->Parent(list), hwnd());
  const RECT button = Find("gm_button")->GetPos();
  EXPECT_EQ(GetWindowRect(list).top, GetWindowRect(hwnd()).top + button.bottom);
  EXPECT_EQ(ListRows(), kAllAgents);

  // A refused agent opens nothing; an online agent opens "客服<name>", whose window starts the
  // chat and shows the agent's greeting.
  DoubleClickAgent(kAllAgents[3]);
  loop_->Pump();
  EXPECT_FALSE(IsWindowVisible(list));
  Click("gm_button");  // "已进入此服务器": no, only the list again
  DoubleClickAgent(kAllAgents[1]);
  ASSERT_TRUE(Pump([&] { return frame_->ChatWindowOf(10001) != nullptr; }));
  EXPECT_EQ(frame_->tabs().count(), 3u);
  EXPECT_EQ(TabCaption(2), "客服小青");
  CCharDlg* chat_window = frame_->ChatWindowOf(10001);
  EXPECT_EQ(frame_->ChatWindowOf(10005), nullptr);
  EXPECT_TRUE(IsWindowVisible(chat_window->GetHWND()));
  EXPECT_EQ(windows_->Parent(chat_window->GetHWND()), hwnd());
  ASSERT_TRUE(Pump([&] {
    return chat_window->history().TextWithCodes().find("您好，我是小青") != std::string::npos;
  }));
  EXPECT_EQ(chat_window->history().TextWithCodes().rfind("小青  ", 0), 0u);
  const std::vector<int> types = FrameTypes();
  EXPECT_EQ(std::vector<int>(types.end() - 3, types.end()), (std::vector<int>{7, 7, 17}));

  // Ctrl+Enter belongs to the chat's input alone: no window holds it as a system-wide hotkey.
  EXPECT_FALSE(hotkeys_->Press(MOD_CONTROL, VK_RETURN));

  // The player's text with an emoticon goes out; the agent's reply comes back to this tab.
  chat_window->input().InsertText("你好");
  chat_window->InsertEmoticon("1");
  SendMessage(chat_window->input().GetHWND(), WM_KEYDOWN, VK_CONTROL, 0);
  SendMessage(chat_window->input().GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  SendMessage(chat_window->input().GetHWND(), WM_KEYUP, VK_CONTROL, 0);
  ASSERT_TRUE(Pump([&] { return !TextsReceived().empty(); }));
  EXPECT_EQ(TextsReceived(), (std::vector<std::string>{"你好\\:F01"}));
  ASSERT_TRUE(Pump([&] {
    return chat_window->history().TextWithCodes().find("\n小青已收到您的消息：“你好\\:F01”\n\n") !=
           std::string::npos;
  }));
  EXPECT_EQ(chat_window->history().picture_records().size(), 2u);  // own text and the reply

  // A second acceptance opens no second tab; acceptances and texts of agents without a tab (or
  // unknown) change nothing; messages without their block are refused.
  PostMessage(hwnd(), kMsgChatAccepted, 0, std::make_unique<std::uint64_t>(10001));
  PostMessage(hwnd(), kMsgChatAccepted, 0, std::make_unique<std::uint64_t>(424242));
  PostMessage(hwnd(), kMsgChatText, 0, std::make_unique<ChatTextMessage>(ChatTextMessage{10003, "不该出现"}));
  loop_->Pump();
  EXPECT_EQ(frame_->tabs().count(), 3u);
  EXPECT_EQ(chat_window->history().TextWithCodes().find("不该出现"), std::string::npos);
  EXPECT_EQ(SendMessage(hwnd(), kMsgChatText, 0, 0), -1);

  // The chat server goes away: the list shows its two groups only. It comes back: the frame
  // reconnects, asks again, and the list holds every agent once.
  ASSERT_TRUE(sim_->SuspendChat());
  ASSERT_TRUE(Pump([&] { return !chat().connected(); }));
  Click("gm_button");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{kAllAgents[0], kAllAgents[4]}));
  ASSERT_TRUE(sim_->ResumeChat());
  frames_before_ = FrameTypes().size();
  for (int second = 0; second < 180 && !chat().connected(); ++second) {
    loop_->Advance(1000);
    Pump([&] { return chat().connected(); }, std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(chat().connected());
  RunRequestSequence();
  Click("gm_button");
  EXPECT_EQ(ListRows(), kAllAgents);
  EXPECT_EQ(chat().agents().size(), 6u);

  // Closing the chat's tab destroys its window; a new acceptance opens a new one.
  const HWND old_chat = chat_window->GetHWND();
  Click("CloseTabBtn2");
  EXPECT_FALSE(IsWindow(old_chat));
  EXPECT_EQ(frame_->ChatWindowOf(10001), nullptr);
  PostMessage(hwnd(), kMsgChatAccepted, 0, std::make_unique<std::uint64_t>(10001));
  loop_->Pump();
  EXPECT_NE(frame_->ChatWindowOf(10001), nullptr);
}

}  // namespace
}  // namespace qrv::testing
