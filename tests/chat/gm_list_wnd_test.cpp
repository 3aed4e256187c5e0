// The agent list and the emoticon picker on the headless back end with the real skin: groups,
// icons, state words, the double click that asks for a chat, refilling and closing; the picker's
// rows and what a face inserts.

#include "chat/gm_list_wnd.h"

#include "chat/chat_windows_fixture.h"
#include "chat/face_dlg_ui.h"

namespace qrv::testing {
namespace {

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
  // A name with a space is asked for like any other, and the list hides.
  DoubleClick(hwnd, list_window.paint_manager(), *list->GetItemAt(5));
  loop_->Pump();
  EXPECT_EQ(asked_, (std::vector<std::uint64_t>{10003}));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  asked_.clear();

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

}  // namespace
}  // namespace qrv::testing
