// The chat window's logic on the headless back end with the real skin, against a chat server on
// loopback: the chat start, its geometry, header lines and their formats, sending by button and by
// Ctrl+Enter in the input, refusing a text one frame cannot carry, the picker's button.

#include "chat/char_dlg_ui.h"
#include "chat/chat_windows_fixture.h"
#include "chat/chat_wire.h"

namespace qrv::testing {
namespace {

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
  EXPECT_EQ(static_cast<CLabelUI*>(chat->skin()->paint_manager().FindControl("txagent"))->GetText(),
            "客服小青");

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
  const auto own_header =
      std::find_if(runs.begin(), runs.end(), [](const auto& run) { return run.text.starts_with("我  "); });
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

  // Without a connection nothing is sent or shown as sent: a notice says so, and the text with its
  // emoticon stays in the input to be sent again.
  helper_->Close();
  chat->input().InsertText("还在吗");
  ASSERT_TRUE(chat->input().InsertAnimatedPicture(kProgramDir + "emotions/3.gif"));
  const std::string history_before = chat->history().TextWithCodes();
  chat->Send();
  EXPECT_EQ(chat->history().TextWithCodes(), history_before + NotSentNotice() + "\n\n");
  EXPECT_EQ(chat->input().TextWithCodes(), "还在吗\\:F03");

  // The history keeps its last thousand entries; older ones leave from the top, whole.
  for (int i = 0; i < 1005; ++i) chat->ShowMessage("第" + std::to_string(i) + "条", ChatMessageKind::kAgent);
  EXPECT_EQ(chat->history_entries(), CCharDlg::kMaxHistoryEntries);
  const std::string kept = chat->history().TextWithCodes();
  EXPECT_EQ(kept.rfind("客服小青  2026-3-2 9:5:4\n第", 0), 0u) << kept.substr(0, 80);
  EXPECT_EQ(kept.find("\n第4条\n"), std::string::npos);
  EXPECT_NE(kept.find("\n第1004条\n"), std::string::npos);
  EXPECT_EQ(kept.find(NotSentNotice()), std::string::npos);

  // The emoticon button opens the picker above itself and closes it again.
  ClickNamed(chat->skin_window(), chat->skin()->paint_manager(), "bnface");
  ASSERT_NE(chat->face_picker(), nullptr);
  EXPECT_TRUE(IsWindowVisible(chat->face_picker()));
  const RECT button = chat->skin()->face_button()->GetPos();
  EXPECT_EQ(GetWindowRect(chat->face_picker()).bottom,
            windows_->WindowRect(chat->skin_window()).top + button.top);
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
