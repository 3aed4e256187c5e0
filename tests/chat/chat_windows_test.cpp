// The chat's windows on the headless back end with the real skin: the agent list (groups, icons,
// state words, the double click that asks for a chat, refilling), the emoticon picker (its rows
// and what a face inserts), and the chat window's logic against a chat server on loopback (the
// chat start, header lines and their formats, sending by button and by Ctrl+Enter in the input,
// refusing a text one frame cannot carry).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "chat/char_dlg.h"
#include "chat/char_dlg_ui.h"
#include "chat/chat_messages.h"
#include "chat/chat_test_support.h"
#include "chat/chat_wire.h"
#include "chat/face_dlg_ui.h"
#include "chat/gm_helper.h"
#include "chat/gm_list_wnd.h"
#include "platform/headless_windows.h"
#include "platform/wall_clock.h"
#include "support/skin_lookups.h"
#include "tools/window_test_support.h"

namespace qrv::testing {
namespace {

using chat::testing::PumpUntil;
using chat::testing::TestChatServer;

const std::string kProgramDir = std::string(QRV_PROGRAM_DIR) + "/";

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
    auto* chat = new CCharDlg(helper_.get(), GMEntry{10001, "客服小青", "充值问题", 0, 1}, kProgramDir);
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

TEST_F(ChatWindowsTest, AgentListGroupsAgentsAsksForChatsByNameAndRefillsWithoutDuplicates) {
  const std::vector<GMEntry> agents = {
      {10001, "客服小青", "", 0, 1},  {10004, "客服老周", "", 3, 1}, {10002, "客服阿蓝", "", 1, 1},
      {10003, "客服 小紫", "", 2, 0}, {10006, "客服小青", "", 0, 0}, {10007, "无名", "", 7, 0},
      {10008, "不列", "", 0, 5},
  };
  CGMListWnd list_window;
  const HWND hwnd = list_window.Open(frame_->hwnd(), POINT{900, 60}, agents);
  ASSERT_NE(hwnd, nullptr);
  loop_->Pump();  // "windowinit" fills the list
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(windows_->IsTopmost(hwnd));
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  EXPECT_EQ(windows_->Style(hwnd) & WS_CAPTION, 0u);
  const RECT rect = GetWindowRect(hwnd);
  EXPECT_EQ(rect.left, 900);
  EXPECT_EQ(rect.Width(), 260);
  CGameListUI* list = list_window.list();
  ASSERT_NE(list, nullptr);
  // Local agents first, the offline one after those that are not; the state words of 0 to 3 and
  // none for another state; an agent whose local flag is neither 0 nor 1 is not listed.
  const std::vector<std::string> expected = {
      "{x 4}{x 4}本区客服",
      "{x 4}{i gameicons.png 18 12}{x 4}客服小青 在线",
      "{x 4}{i gameicons.png 18 12}{x 4}客服阿蓝 离开",
      "{x 4}{i gameicons.png 18 13}{x 4}客服老周 离线",
      "{x 4}{x 4}其他客服",
      "{x 4}{i gameicons.png 18 12}{x 4}客服 小紫 繁忙",
      "{x 4}{i gameicons.png 18 12}{x 4}客服小青 在线",
      "{x 4}{i gameicons.png 18 12}{x 4}无名 ",
  };
  EXPECT_EQ(Rows(*list), expected);
  SaveRendering(list_window.paint_manager(), "agent-list.png");

  // A group row asks for nothing; a click folds it (the first click on any row collapses).
  DoubleClick(hwnd, list_window.paint_manager(), *list->GetItemAt(0));
  loop_->Pump();
  EXPECT_TRUE(asked_.empty());
  EXPECT_TRUE(IsWindowVisible(hwnd));
  // The name with a space cannot be matched: only "客服" is read back, which nobody is called.
  DoubleClick(hwnd, list_window.paint_manager(), *list->GetItemAt(5));
  loop_->Pump();
  EXPECT_TRUE(asked_.empty());
  EXPECT_TRUE(IsWindowVisible(hwnd));

  // Two agents of one name: one double click asks for both, and the list hides.
  list_window.Open(frame_->hwnd(), POINT{900, 60}, agents);
  DoubleClick(hwnd, list_window.paint_manager(), *list->GetItemAt(1));
  loop_->Pump();
  EXPECT_EQ(asked_, (std::vector<std::uint64_t>{10001, 10006}));
  EXPECT_FALSE(IsWindowVisible(hwnd));

  // Shown again with the agents of a new connection: the same rows once each, every group open.
  list_window.Open(frame_->hwnd(), POINT{900, 60}, agents);
  EXPECT_EQ(Rows(*list), expected);
  EXPECT_EQ(list_window.rows().size(), 6u);
  // While the service cannot be reached: the two groups only.
  list_window.Open(frame_->hwnd(), POINT{900, 60}, {});
  EXPECT_EQ(Rows(*list), (std::vector<std::string>{"{x 4}{x 4}本区客服", "{x 4}{x 4}其他客服"}));

  // The window manager's close button hides the list and never ends the program.
  SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  loop_->Pump();
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(MessageCore::QuitRequested());
  list_window.Open(frame_->hwnd(), POINT{900, 60}, agents);
  ClickNamed(hwnd, list_window.paint_manager(), "bnclose");
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(MessageCore::QuitRequested());
}

class RecordingInserter final : public EmoticonInserter {
 public:
  void InsertEmoticon(const std::string& name) override { names.push_back(name); }
  std::vector<std::string> names;
};

TEST_F(ChatWindowsTest, PickerShowsTwentyFourFacesInRowsOfElevenElevenAndTwo) {
  RecordingInserter inserter;
  auto* picker = new CFaceDlgUI(inserter);
  const HWND hwnd = picker->Open(frame_->hwnd(), POINT{300, 700});
  ASSERT_NE(hwnd, nullptr);
  loop_->Pump();
  CPaintManagerUI& pm = picker->paint_manager();
  EXPECT_EQ(picker->GetWindowClassName(), "UIMainFrame");
  EXPECT_EQ(picker->built(), 24);
  std::vector<int> per_row;
  for (const char* row : CFaceDlgUI::kRowNames)
    per_row.push_back(static_cast<CContainerUI*>(pm.FindControl(row))->GetCount());
  EXPECT_EQ(per_row, (std::vector<int>{11, 11, 2}));
  // Each face sits alone in its numbered cell; 10, 12 and 19 cannot be chosen here.
  auto* row3 = static_cast<CContainerUI*>(pm.FindControl("HorizontalLayoutUI6"));
  EXPECT_EQ(row3->GetItemAt(0)->GetName(), "容器23");
  EXPECT_EQ(static_cast<CContainerUI*>(row3->GetItemAt(1))->GetItemAt(0)->GetName(), "bnface27");
  EXPECT_NE(pm.FindControl("bnface130"), nullptr);
  EXPECT_EQ(pm.FindControl("bnface130")->GetFixedWidth(), 26);
  for (const char* absent : {"bnface10", "bnface12", "bnface19"}) EXPECT_EQ(pm.FindControl(absent), nullptr);
  // Its bottom-left corner where it was asked for, sized by its layout.
  const RECT rect = GetWindowRect(hwnd);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.bottom, 700);
  EXPECT_EQ(rect.Width(), 320);
  SaveRendering(pm, "emoticon-picker.png");

  ClickNamed(hwnd, pm, "bnface130");
  ClickNamed(hwnd, pm, "bnface1");
  EXPECT_EQ(inserter.names, (std::vector<std::string>{"130", "1"}));
  // Losing the keyboard hides it.
  windows_->SetFocus(hwnd);
  windows_->SetFocus(frame_->hwnd());
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(ChatWindowsTest, ChatWindowShowsHeadersSendsByButtonAndCtrlEnterAndRefusesOversizeTexts) {
  CCharDlg* chat = OpenChat();
  ASSERT_NE(chat, nullptr);
  const HWND hwnd = chat->GetHWND();
  // The chat start went out as the window opened.
  EXPECT_TRUE(ServerGot(chat::ChatStartFrame()));
  EXPECT_EQ(windows_->Title(hwnd), "正与某GM对话中");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  // The design origin centres the 1000 x 730 design: ((1600 - 1000) / 2, (1000 - 730) / 2).
  EXPECT_EQ(chat->design_origin().x, 300);
  EXPECT_EQ(chat->design_origin().y, 135);
  const RECT skin = windows_->WindowRect(chat->skin_window());
  const RECT history = windows_->WindowRect(chat->history().GetHWND());
  const RECT input = windows_->WindowRect(chat->input().GetHWND());
  EXPECT_EQ(history.left - skin.left, 0);
  EXPECT_EQ(history.top - skin.top, 66);
  EXPECT_EQ(history.Width(), 800);
  EXPECT_EQ(history.Height(), 350);
  EXPECT_EQ(input.top - skin.top, 444);
  EXPECT_EQ(input.Height(), 174);
  EXPECT_TRUE(chat->history().surface().ReadOnly());
  ASSERT_NE(chat->skin(), nullptr);
  EXPECT_EQ(static_cast<CLabelUI*>(chat->skin()->paint_manager().FindControl("txagent"))->GetText(), "客服小青");

  // An agent's text: the blue header, then the text with its emoticon as a picture and an
  // unknown code as text.
  chat->ShowMessage("a\\:F01b\\:F28", ChatMessageKind::kAgent);
  auto& history_text = dynamic_cast<MemoryRichText&>(chat->history().surface());
  auto runs = history_text.Runs();
  ASSERT_GE(runs.size(), 4u);
  EXPECT_EQ(runs[0].text, "客服小青  2026-3-2 9:5:3");
  EXPECT_EQ(runs[0].format, ChatHeaderFormat(ChatMessageKind::kAgent));
  EXPECT_EQ(runs[1].text, "\na");
  EXPECT_EQ(runs[1].format, ChatTextFormat());
  EXPECT_EQ(runs[2].code, "\\:F01");
  EXPECT_EQ(runs[2].picture, kProgramDir + "emotions/1.gif");
  EXPECT_EQ(runs[3].text, "b\\:F28\n\n");
  EXPECT_EQ(chat->history().TextWithCodes(), "客服小青  2026-3-2 9:5:3\na\\:F01b\\:F28\n\n");

  // The player types and picks an emoticon; Ctrl+Enter in the input sends it.
  for (const char32_t c : std::u32string(U"你好")) SendMessage(chat->input().GetHWND(), WM_CHAR, c, 0);
  chat->InsertEmoticon("130");
  EXPECT_EQ(windows_->Focus(), chat->input().GetHWND());
  EXPECT_EQ(chat->input().TextWithCodes(), "你好\\:F13");
  loop_->Advance(1000);
  SendMessage(chat->input().GetHWND(), WM_KEYDOWN, VK_CONTROL, 0);
  SendMessage(chat->input().GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  SendMessage(chat->input().GetHWND(), WM_KEYUP, VK_RETURN, 0);
  SendMessage(chat->input().GetHWND(), WM_KEYUP, VK_CONTROL, 0);
  EXPECT_TRUE(ServerGot(*chat::ChatTextFrame(10001, "你好\\:F13")));
  EXPECT_EQ(chat->input().surface().CharCount(), 0);
  runs = history_text.Runs();
  const auto own_header = std::find_if(runs.begin(), runs.end(), [](const auto& run) { return run.text.starts_with("我  "); });
  ASSERT_NE(own_header, runs.end());
  EXPECT_EQ(own_header->text, "我  2026-3-2 9:5:4");
  EXPECT_EQ(own_header->format, ChatHeaderFormat(ChatMessageKind::kOwn));
  EXPECT_NE(chat->history().TextWithCodes().find("我  2026-3-2 9:5:4\n你好\\:F13\n\n"), std::string::npos);

  // Ctrl+Enter in the history sends nothing; an empty input sends an empty text by the button.
  const std::size_t received = server_->received().size();
  SendMessage(chat->history().GetHWND(), WM_KEYDOWN, VK_CONTROL, 0);
  SendMessage(chat->history().GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
  chat::testing::PumpIdle(*loop_);
  EXPECT_EQ(server_->received().size(), received);
  ClickNamed(chat->skin_window(), chat->skin()->paint_manager(), "bnsend");
  EXPECT_TRUE(ServerGot(*chat::ChatTextFrame(10001, "")));

  // One frame carries at most 65,516 bytes of UTF-8: one more is refused whole and stays put.
  const std::string longest(chat::kMaxChatTextBytes, 'x');
  chat->input().InsertText(longest + "y");
  chat->Send();
  EXPECT_NE(chat->history().TextWithCodes().find(TooLongNotice(longest.size() + 1)), std::string::npos);
  EXPECT_EQ(chat->input().TextWithCodes(), longest + "y");
  chat->input().surface().Select(0, -1);
  chat->input().InsertText(longest);
  chat->Send();
  EXPECT_TRUE(ServerGot(*chat::ChatTextFrame(10001, longest)));
  EXPECT_EQ(chat->input().surface().CharCount(), 0);

  // Without a connection the own text is shown with a notice that it did not go out.
  helper_->Close();
  chat->input().InsertText("还在吗");
  chat->Send();
  EXPECT_NE(chat->history().TextWithCodes().find("还在吗\n\n" + NotSentNotice()), std::string::npos);

  // The emoticon button opens the picker above itself and closes it again.
  ClickNamed(chat->skin_window(), chat->skin()->paint_manager(), "bnface");
  ASSERT_NE(chat->face_picker(), nullptr);
  EXPECT_TRUE(IsWindowVisible(chat->face_picker()));
  const RECT button = chat->skin()->face_button()->GetPos();
  EXPECT_EQ(GetWindowRect(chat->face_picker()).bottom, windows_->WindowRect(chat->skin_window()).top + button.top);
  ClickNamed(chat->skin_window(), chat->skin()->paint_manager(), "bnface");
  EXPECT_FALSE(IsWindowVisible(chat->face_picker()));
  loop_->Advance(1000);
  ClickNamed(chat->skin_window(), chat->skin()->paint_manager(), "bnface");
  EXPECT_TRUE(IsWindowVisible(chat->face_picker()));

  // Destroying the chat window takes its skin window and its picker with it.
  const HWND skin_hwnd = chat->skin_window();
  const HWND picker = chat->face_picker();
  DestroyWindow(hwnd);
  EXPECT_FALSE(IsWindow(skin_hwnd));
  EXPECT_FALSE(IsWindow(picker));
}

}  // namespace
}  // namespace qrv::testing
