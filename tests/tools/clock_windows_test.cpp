// The alarm list and the alarm editor on the headless back end with the real skin, the store in a
// program folder of the test's own and a clock set to 2013-5-2 8:30:20: the list from the store and
// its place on screen, setting an alarm (the current minute refused, the next accepted, no leading
// zeros, the repeat as chosen), the calendar, saving twice, the row's remove button, a store that
// cannot be written, and the reminder pop-up.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/frame_messages.h"
#include "platform/date_picker_headless.h"
#include "platform/wall_clock.h"
#include "support/file_text.h"
#include "support/temp_dir.h"
#include "tools/alarm_tip_ui.h"
#include "tools/clock_list_ui.h"
#include "tools/clock_manager_ui.h"
#include "tools/tools_window_fixture.h"

namespace qrv {
namespace {

LocalDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return LocalDateTime{y, mo, d, h, mi, s};
}

// The main frame's side of the alarm windows: it keeps the rectangle of every 1035 it receives.
class AlarmListRequests final : public MessageTarget {
 public:
  AlarmListRequests() : hwnd_(RegisterWindow(this)) {
    WindowCreateParams params;
    params.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    params.rect = RECT{0, 0, 1600, 960};
    WindowSystem::Get().Create(hwnd_, params);
  }
  ~AlarmListRequests() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  AlarmListRequests(const AlarmListRequests&) = delete;
  AlarmListRequests& operator=(const AlarmListRequests&) = delete;
  LRESULT HandleMessage(UINT msg, WPARAM, LPARAM lparam) override {
    if (msg == WM_NCDESTROY) WindowSystem::Get().Destroy(hwnd_);
    if (msg == kMsgOpenAlarmList) {
      auto rect = TakePayload<RECT>(lparam);
      if (rect != nullptr) rects.push_back(*rect);
    }
    return 0;
  }
  HWND hwnd() const { return hwnd_; }
  std::vector<RECT> rects;

 private:
  HWND hwnd_;
};

class ClockWindowsTest : public testing::ToolsWindowFixture {
 protected:
  void SetUp() override {
    ToolsWindowFixture::SetUp();
    picker_ = &HeadlessDatePicker::Install();
    clock_ = &ManualWallClock::Install(At(2013, 5, 2, 8, 30, 20));
    owner_ = std::make_unique<AlarmListRequests>();
  }
  void TearDown() override {
    owner_.reset();
    ToolsWindowFixture::TearDown();
    WallClock::Install(nullptr);
  }

  std::string StorePath() const { return program_ + "data/clocklist.ini"; }

  CClockListUI* OpenList(POINT at) {
    auto* list = new CClockListUI(StorePath());
    return list->Open(owner_->hwnd(), at) != nullptr ? list : nullptr;
  }
  static CFriendsUI* Rows(CClockListUI* list) {
    return dynamic_cast<CFriendsUI*>(list->paint_manager().FindControl("friends"));
  }
  static CClockManagerUI* EditorOf(CClockListUI* list) {
    return dynamic_cast<CClockManagerUI*>(CWindowWnd::FromHandle(list->editor_window()));
  }
  template <class T = CControlUI>
  static T* Named(CSkinnedWindow* window, const std::string& name) {
    return dynamic_cast<T*>(window->paint_manager().FindControl(name));
  }
  static void Click(CSkinnedWindow* window, const std::string& name) {
    testing::ClickNamed(window->GetHWND(), window->paint_manager(), name);
  }
  static std::string Text(CSkinnedWindow* window, const std::string& name) {
    CControlUI* control = Named(window, name);
    return control != nullptr ? control->GetText() : "<missing>";
  }

  test::TempDir dir_;
  std::string program_ = dir_.path() + "/prog/";
  HeadlessDatePicker* picker_ = nullptr;
  ManualWallClock* clock_ = nullptr;
  std::unique_ptr<AlarmListRequests> owner_;
};

TEST_F(ClockWindowsTest, AnEmptyOrMissingStoreOpensAnEmptyListThatStaysInsideTheWorkArea) {
  CClockListUI* list = OpenList(POINT{100, 80});
  ASSERT_NE(list, nullptr);
  const HWND hwnd = list->GetHWND();
  EXPECT_EQ(list->GetWindowClassName(), "UIClockList");
  EXPECT_EQ(windows_->Parent(hwnd), owner_->hwnd());
  EXPECT_EQ(windows_->Style(hwnd) & WS_CAPTION, 0u);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(windows_->WindowRect(hwnd), (RECT{100, 80, 488, 341}));
  ASSERT_NE(Rows(list), nullptr);
  EXPECT_EQ(Rows(list)->GetCount(), 0);

  std::filesystem::create_directories(program_ + "data");
  std::ofstream(StorePath()) << "";
  CClockListUI* empty = OpenList(POINT{1212, 80});
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(Rows(empty)->GetCount(), 0);
  EXPECT_EQ(windows_->WindowRect(empty->GetHWND()).left, 1212) << "the right edge on the work area's stays";

  // Beyond the right edge: 50 pixels inside it, same top and size.
  CClockListUI* right = OpenList(POINT{1400, 80});
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(windows_->WindowRect(right->GetHWND()), (RECT{1162, 80, 1550, 341}));

  Click(right, "bnclose");
  EXPECT_FALSE(IsWindowVisible(right->GetHWND()));
  EXPECT_TRUE(IsWindow(right->GetHWND())) << "closing only hides it";
}

TEST_F(ClockWindowsTest, SettingAlarmsFromTheListWithTheCalendarSavingTwiceAndRemovingARow) {
  CClockListUI* list = OpenList(POINT{300, 60});
  ASSERT_NE(list, nullptr);
  Click(list, "bnset");
  CClockManagerUI* editor = EditorOf(list);
  ASSERT_NE(editor, nullptr);
  const HWND editor_hwnd = editor->GetHWND();
  EXPECT_EQ(editor->GetWindowClassName(), "UIClockManagerDlg");
  EXPECT_FALSE(IsWindowVisible(list->GetHWND()));
  EXPECT_TRUE(IsWindowVisible(editor_hwnd));
  EXPECT_EQ(windows_->Parent(editor_hwnd), owner_->hwnd()) << "owned by the main frame";
  EXPECT_EQ(windows_->WindowRect(editor_hwnd), (RECT{300, 60, 688, 360}));

  // The date, hour and minute of now arrive as message 1031; the date has no leading zeros.
  loop_->Pump();
  EXPECT_EQ(Text(editor, "bndate"), "2013-5-2");
  auto* hour = Named<CComboUI>(editor, "comhour");
  auto* minute = Named<CComboUI>(editor, "comminute");
  auto* repeat = Named<CComboUI>(editor, "comrepeat");
  ASSERT_TRUE(hour && minute && repeat);
  EXPECT_EQ(hour->GetCount(), 24);
  EXPECT_EQ(hour->GetItemAt(0)->GetText(), "0时");
  EXPECT_EQ(hour->GetText(), "8时");
  EXPECT_EQ(minute->GetCount(), 60);
  EXPECT_EQ(minute->GetText(), "30分");
  ASSERT_EQ(repeat->GetCount(), 4);
  EXPECT_EQ(repeat->GetText(), "每天");
  EXPECT_EQ(repeat->GetItemAt(3)->GetText(), "不重复");

  // The current minute is refused, and nothing is written.
  Named(editor, "editinput")->SetText("boss");
  repeat->SelectItem(2);
  Click(editor, "bnok");
  EXPECT_EQ(Text(editor, "txtishi"), "闹钟时间必须大于当前时间，请重新设置。");
  EXPECT_FALSE(std::filesystem::exists(StorePath()));
  EXPECT_TRUE(IsWindowVisible(editor_hwnd));

  // The next minute is accepted: saved with the repeat chosen, then the frame is asked for the list
  // at the editor's place and the editor hides.
  minute->SelectItem(31);
  Click(editor, "bnok");
  EXPECT_EQ(
      test::ReadFile(StorePath()),
      "[clocksize]\nsize=1\n\n[clockinf1]\nindex=1\ntime=2013-5-2|8|31|\ndata=boss\nrepeat=工作日\nrang=\n");
  EXPECT_EQ(Text(editor, "txtishi"), "");
  EXPECT_FALSE(IsWindowVisible(editor_hwnd));
  loop_->Pump();
  ASSERT_EQ(owner_->rects.size(), 1u);
  EXPECT_EQ(owner_->rects[0], windows_->WindowRect(editor_hwnd));

  // The frame's new list shows the alarm as one row.
  CClockListUI* second = OpenList(POINT{300, 60});
  ASSERT_NE(second, nullptr);
  CFriendsUI* rows = Rows(second);
  ASSERT_EQ(rows->GetCount(), 1);
  ListNode* node = rows->NodeOf(rows->GetItemAt(0));
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->text, "2013-5-2|8|31|");
  EXPECT_EQ(node->value, "0");
  CControlUI* row = rows->GetItemAt(0);
  EXPECT_EQ(Text(second, "logo"), "1");
  EXPECT_EQ(Text(second, "nickname"), "2013-5-2|8|31|");
  EXPECT_EQ(Text(second, "description"), "boss");
  EXPECT_EQ(Text(second, "LabelUI1"), "<x 20><c #808080>工作日</c>");
  SaveRendering(second->paint_manager(), "alarm-list.png");

  // The row's remove button takes the row off the list, not out of the store.
  Click(second, "2013-5-2|8|31|");
  EXPECT_EQ(rows->GetCount(), 0);
  loop_->Pump();
  EXPECT_NE(test::ReadFile(StorePath()).find("time=2013-5-2|8|31|"), std::string::npos);
  second->LoadList();
  EXPECT_EQ(Rows(second)->GetCount(), 1) << "listed again from the store";
  (void)row;

  // A second alarm from the second list's own editor, with a day picked in the calendar.
  Click(second, "bnset");
  CClockManagerUI* editor2 = EditorOf(second);
  ASSERT_NE(editor2, nullptr);
  ASSERT_NE(editor2, editor);
  loop_->Pump();
  Click(editor2, "bndate");
  ASSERT_TRUE(picker_->IsOpen(editor2->GetHWND()));
  const auto& request = picker_->last_request();
  EXPECT_EQ(request.message, kMsgDateChosen);
  const RECT window = windows_->WindowRect(editor2->GetHWND());
  const RECT button = Named(editor2, "bndate")->GetPos();
  EXPECT_EQ(request.anchor, (RECT{window.left + button.left, window.top + button.top,
                                  window.left + button.right, window.top + button.bottom}));
  EXPECT_EQ(request.shown, At(2013, 5, 2, 8, 30, 0)) << "the date shown, with the time the editor was set to";
  Click(editor2, "bndate");
  EXPECT_FALSE(picker_->IsOpen(editor2->GetHWND())) << "a second press folds it up";
  Click(editor2, "bndate");
  ASSERT_TRUE(picker_->Pick(2013, 6, 1));
  loop_->Pump();
  EXPECT_EQ(Text(editor2, "bndate"), "2013-6-1");
  EXPECT_EQ(Text(editor2, "comhour"), "8时") << "a picked day leaves the time";
  EXPECT_EQ(Text(editor2, "comminute"), "30分");
  EXPECT_EQ(Text(editor2, "comrepeat"), "每天");
  Named(editor2, "editinput")->SetText("第二个");
  Click(editor2, "bnok");
  EXPECT_EQ(
      test::ReadFile(StorePath()),
      "[clocksize]\nsize=1\n\n[clockinf1]\nindex=1\ntime=2013-6-1|8|30|\ndata=第二个\nrepeat=每天\nrang=\n");
  CClockListUI* third = OpenList(POINT{300, 60});
  ASSERT_EQ(Rows(third)->GetCount(), 1) << "saving twice keeps the second alarm only";
  EXPECT_EQ(Text(third, "nickname"), "2013-6-1|8|30|");

  // The editor shown again starts from now; the repeat keeps its choice.
  Named<CComboUI>(editor2, "comrepeat")->SelectItem(1);
  clock_->Set(At(2013, 5, 2, 9, 5, 0));
  Click(second, "bnset");
  EXPECT_EQ(EditorOf(second), editor2);
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(editor2->GetHWND()));
  EXPECT_EQ(Text(editor2, "editinput"), "");
  EXPECT_EQ(Text(editor2, "bndate"), "2013-5-2");
  EXPECT_EQ(Text(editor2, "comhour"), "9时");
  EXPECT_EQ(Text(editor2, "comminute"), "5分");
  EXPECT_EQ(Named<CComboUI>(editor2, "comminute")->GetCount(), 60);
  EXPECT_EQ(Text(editor2, "comrepeat"), "每周");
  SaveRendering(editor2->paint_manager(), "alarm-editor.png");
}

TEST_F(ClockWindowsTest, AStoreThatCannotBeWrittenIsReportedAndTheEditorGoesWithItsList) {
  std::filesystem::create_directories(program_);
  std::ofstream(program_ + "data") << "a file where the data folder should be";
  CClockListUI* list = OpenList(POINT{300, 60});
  ASSERT_NE(list, nullptr);
  Click(list, "bnset");
  CClockManagerUI* editor = EditorOf(list);
  ASSERT_NE(editor, nullptr);
  const HWND editor_hwnd = editor->GetHWND();
  loop_->Pump();
  Named<CComboUI>(editor, "comhour")->SelectItem(9);
  Click(editor, "bnok");
  EXPECT_EQ(Text(editor, "txtishi"), CClockManagerUI::kNotSaved);
  EXPECT_TRUE(IsWindowVisible(editor_hwnd)) << "the player can try again";
  loop_->Pump();
  EXPECT_TRUE(owner_->rects.empty());

  // The list is replaced (as the frame does on every request): its editor and calendar go too.
  Click(editor, "bndate");
  ASSERT_TRUE(picker_->IsOpen(editor_hwnd));
  DestroyWindow(list->GetHWND());
  EXPECT_FALSE(IsWindow(editor_hwnd));
  EXPECT_FALSE(picker_->IsOpen(editor_hwnd));
  EXPECT_FALSE(picker_->Pick(2013, 6, 1));
  loop_->Pump();
  EXPECT_EQ(testing::CountWindowsOfClass("UIClockManagerDlg"), 0);
}

TEST_F(ClockWindowsTest, TheReminderShowsTheAlarmOverTheFrameWithoutTakingTheKeyboard) {
  auto* tip = new CAlarmTipUI();
  const HWND hwnd = tip->Open(owner_->hwnd());
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  windows_->SetFocus(owner_->hwnd());
  tip->ShowReminder("2013-5-20 8:30", "打 boss", false, RECT{100, 50, 1300, 850});
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(windows_->Focus(), owner_->hwnd());
  EXPECT_EQ(windows_->WindowRect(hwnd), (RECT{550, 362, 850, 538}));
  EXPECT_EQ(tip->GetWindowClassName(), "UIAlarmTip");
  EXPECT_EQ(Text(tip, "txtime"), "2013-5-20 8:30");
  EXPECT_EQ(Text(tip, "txtext"), "打 boss");
  EXPECT_FALSE(Named(tip, "txmissed")->IsVisible());
  tip->ShowReminder("2013-5-20 8:30", "打 boss", true, RECT{100, 50, 1300, 850});
  EXPECT_TRUE(Named(tip, "txmissed")->IsVisible());
  SaveRendering(tip->paint_manager(), "alarm-reminder.png");
  Click(tip, "bnok");
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace qrv
