// The main frame's alarms on the virtual clock: "bnclock" and message 1035 open one alarm list at
// a time, a saved alarm comes back in the new list, the stored alarm rings in its minute (a pop-up
// over the frame and a desktop notification) and again at its next occurrence, also after the
// clock was set back past a ring, an alarm missed while the launcher was closed is shown once at
// start (and nothing else is taken for missed), and the boss key leaves only a neutral
// notification. A clock set forward or back is noticed within kAlarmRecheckMs.

#include "app/frame_messages.h"
#include "frame_fixture.h"
#include "platform/date_picker_headless.h"
#include "platform/desktop_notifier_headless.h"
#include "platform/wall_clock.h"
#include "tools/alarm_store.h"
#include "tools/alarm_tip_ui.h"
#include "tools/clock_list_ui.h"
#include "tools/clock_manager_ui.h"
#include "tools/window_test_support.h"

namespace qrv::testing {
namespace {

LocalDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return LocalDateTime{y, mo, d, h, mi, s};
}

class MainFrameAlarmsTest : public FrameFixture {
 protected:
  void SetUp() override {
    FrameFixture::SetUp();
    notifier_ = &RecordingNotifier::Install();
    HeadlessDatePicker::Install();
    // Friday 2013-5-24, ten seconds before 8:30.
    clock_ = &ManualWallClock::Install(At(2013, 5, 24, 8, 29, 50));
  }
  void TearDown() override {
    FrameFixture::TearDown();
    WallClock::Install(nullptr);
    DesktopNotifier::Install(nullptr);
  }

  AlarmStore Store() const { return AlarmStore(services_->paths.alarms); }

  template <class T>
  static T* WindowOf(HWND hwnd) {
    return hwnd != nullptr && IsWindow(hwnd) ? dynamic_cast<T*>(CWindowWnd::FromHandle(hwnd)) : nullptr;
  }
  static std::string Text(CSkinnedWindow* window, const std::string& name) {
    CControlUI* control = window->paint_manager().FindControl(name);
    return control != nullptr ? control->GetText() : "<missing>";
  }
  bool TipShown() const {
    return frame_->alarm_tip() != nullptr && IsWindow(frame_->alarm_tip()) &&
           IsWindowVisible(frame_->alarm_tip());
  }

  RecordingNotifier* notifier_ = nullptr;
  ManualWallClock* clock_ = nullptr;
};

TEST_F(MainFrameAlarmsTest, BnclockAndMessage1035OpenOneListAtATimeAndASavedAlarmComesBackInTheNewList) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  Click("bnclock");
  const HWND first = frame_->alarm_list();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_EQ(windows_->Parent(first), hwnd());
  // Below the button, 164 pixels to its left, and inside the work area.
  const RECT button = Find("bnclock")->GetPos();
  const RECT frame = GetWindowRect(hwnd());
  int left = frame.left + button.left - 164;
  if (left + 388 > windows_->WorkArea().right) left = windows_->WorkArea().right - 388 - 50;
  EXPECT_EQ(GetWindowRect(first),
            (RECT{left, frame.top + button.bottom, left + 388, frame.top + button.bottom + 261}));

  Click("bnclock");
  EXPECT_FALSE(IsWindow(first)) << "the list before is closed";
  EXPECT_EQ(CountWindowsOfClass("UIClockList"), 1);

  PostMessage(hwnd(), kMsgOpenAlarmList, 0, std::make_unique<RECT>(RECT{200, 120, 500, 400}));
  loop_->Pump();
  EXPECT_EQ(CountWindowsOfClass("UIClockList"), 1);
  EXPECT_EQ(GetWindowRect(frame_->alarm_list()), (RECT{200, 120, 588, 381}));
  const HWND list_hwnd = frame_->alarm_list();
  EXPECT_EQ(SendMessage(hwnd(), kMsgOpenAlarmList, 0, 0), 0) << "no rectangle: nothing opens";
  EXPECT_EQ(frame_->alarm_list(), list_hwnd);

  // Set an alarm through the list's editor: the editor's 1035 brings a new list with the alarm.
  auto* list = WindowOf<CClockListUI>(list_hwnd);
  ClickNamed(list_hwnd, list->paint_manager(), "bnset");
  const HWND editor_hwnd = list->editor_window();
  auto* editor = WindowOf<CClockManagerUI>(editor_hwnd);
  ASSERT_NE(editor, nullptr);
  loop_->Pump();
  dynamic_cast<CComboUI*>(editor->paint_manager().FindControl("comminute"))->SelectItem(31);
  editor->paint_manager().FindControl("editinput")->SetText("打 boss");
  ClickNamed(editor_hwnd, editor->paint_manager(), "bnok");
  loop_->Pump();
  EXPECT_FALSE(IsWindow(list_hwnd));
  EXPECT_FALSE(IsWindow(editor_hwnd)) << "the editor went with its list";
  auto* shown = WindowOf<CClockListUI>(frame_->alarm_list());
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(GetWindowRect(shown->GetHWND()).left, 200) << "at the editor's place";
  EXPECT_EQ(Text(shown, "nickname"), "2013-5-24|8|31|");
  EXPECT_EQ(Text(shown, "description"), "打 boss");
  EXPECT_EQ(CountWindowsOfClass("UIClockList"), 1);
}

TEST_F(MainFrameAlarmsTest, TheStoredAlarmRingsInItsMinuteAndAgainAtItsNextWorkingDay) {
  ASSERT_TRUE(Store().Save("2013-5-24|8|30|", "打 boss", "工作日"));
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  loop_->Advance(9000);  // 8:29:59
  EXPECT_TRUE(notifier_->sent().empty());
  EXPECT_EQ(frame_->alarm_tip(), nullptr);

  loop_->Advance(1000);  // 8:30:00
  ASSERT_EQ(notifier_->sent().size(), 1u);
  EXPECT_EQ(notifier_->sent()[0].summary, "闹钟提醒");
  EXPECT_EQ(notifier_->sent()[0].body, "2013-5-24 8:30\n打 boss");
  ASSERT_TRUE(TipShown());
  auto* tip = WindowOf<CAlarmTipUI>(frame_->alarm_tip());
  EXPECT_EQ(windows_->Parent(tip->GetHWND()), hwnd());
  EXPECT_EQ(Text(tip, "txtext"), "打 boss");
  EXPECT_EQ(Text(tip, "txtime"), "2013-5-24 8:30");
  EXPECT_FALSE(tip->paint_manager().FindControl("txmissed")->IsVisible());
  EXPECT_EQ(Store().Load()[0].rang, "2013-5-24|8|30|");

  loop_->Advance(120000);
  EXPECT_EQ(notifier_->sent().size(), 1u) << "once per occurrence";
  ClickNamed(tip->GetHWND(), tip->paint_manager(), "bnok");
  loop_->Pump();
  EXPECT_FALSE(TipShown());

  clock_->Set(At(2013, 5, 25, 8, 29, 59));  // Saturday
  loop_->Advance(kAlarmRecheckMs);
  clock_->Set(At(2013, 5, 26, 8, 29, 59));
  loop_->Advance(kAlarmRecheckMs);
  EXPECT_EQ(notifier_->sent().size(), 1u) << "not at the weekend";
  clock_->Set(At(2013, 5, 27, 8, 29, 59));  // Monday
  loop_->Advance(kAlarmRecheckMs);
  ASSERT_EQ(notifier_->sent().size(), 2u);
  EXPECT_EQ(notifier_->sent()[1].body, "2013-5-27 8:30\n打 boss");
  EXPECT_TRUE(TipShown());
  EXPECT_EQ(Text(WindowOf<CAlarmTipUI>(frame_->alarm_tip()), "txtime"), "2013-5-27 8:30");
}

TEST_F(MainFrameAlarmsTest, AnAlarmMissedWhileTheLauncherWasClosedIsShownOnceAtStart) {
  ASSERT_TRUE(Store().Save("2013-5-23|20|0|", "昨晚的提醒", "不重复"));
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  loop_->Advance(1000);
  ASSERT_EQ(notifier_->sent().size(), 1u);
  EXPECT_EQ(notifier_->sent()[0].body, "2013-5-23 20:00（启动前已到时间）\n昨晚的提醒");
  ASSERT_TRUE(TipShown());
  auto* tip = WindowOf<CAlarmTipUI>(frame_->alarm_tip());
  EXPECT_TRUE(tip->paint_manager().FindControl("txmissed")->IsVisible());
  EXPECT_EQ(Text(tip, "txtext"), "昨晚的提醒");
  loop_->Advance(10000);
  EXPECT_EQ(notifier_->sent().size(), 1u);
}

TEST_F(MainFrameAlarmsTest, AnAlarmRingsAgainAfterTheClockIsSetBackPastAPreviousRing) {
  ASSERT_TRUE(Store().Save("2013-5-24|8|30|", "打 boss", "每天"));
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  loop_->Advance(10000);
  ASSERT_EQ(notifier_->sent().size(), 1u);

  // The clock runs a day ahead, and the alarm rings by it, "on Saturday".
  clock_->Set(At(2013, 5, 25, 8, 29, 59));
  loop_->Advance(kAlarmRecheckMs);
  ASSERT_EQ(notifier_->sent().size(), 2u);
  ASSERT_EQ(Store().Load()[0].rang, "2013-5-25|8|30|");

  // Put right, on Friday at 9:00: what fell due up to now was dealt with, nothing rings again.
  clock_->Set(At(2013, 5, 24, 9, 0));
  loop_->Advance(kAlarmRecheckMs);
  EXPECT_EQ(notifier_->sent().size(), 2u);

  // Saturday's 8:30 comes by the right clock, and the alarm rings, although it rang for that
  // date before.
  clock_->Set(At(2013, 5, 25, 8, 29, 0));
  loop_->Advance(59000);
  EXPECT_EQ(notifier_->sent().size(), 2u);
  loop_->Advance(2000);  // within the due minute's first second
  ASSERT_EQ(notifier_->sent().size(), 3u);
  EXPECT_EQ(notifier_->sent()[2].body, "2013-5-25 8:30\n打 boss");
  EXPECT_TRUE(TipShown());
  loop_->Advance(kAlarmRecheckMs);
  EXPECT_EQ(notifier_->sent().size(), 3u) << "once per occurrence";
}

TEST_F(MainFrameAlarmsTest, AClockSetBackBeforeTheFirstCheckTakesNothingForMissed) {
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  loop_->Advance(1000);  // the first check, at 8:29:51, finds no alarm

  // The clock is put back to 7:00, and an alarm set for 7:30 (by another launcher of the player's).
  clock_->Set(At(2013, 5, 24, 7, 0));
  ASSERT_TRUE(Store().Save("2013-5-24|7|30|", "早会", "不重复"));
  clock_->Set(At(2013, 5, 24, 7, 29, 30));
  loop_->Advance(kAlarmRecheckMs);
  ASSERT_EQ(notifier_->sent().size(), 1u);
  EXPECT_EQ(notifier_->sent()[0].body, "2013-5-24 7:30\n早会") << "rung while the launcher ran";
  ASSERT_TRUE(TipShown());
  EXPECT_FALSE(
      WindowOf<CAlarmTipUI>(frame_->alarm_tip())->paint_manager().FindControl("txmissed")->IsVisible());
}

TEST_F(MainFrameAlarmsTest, WhileTheBossKeyHidesTheLauncherOnlyANeutralNotificationAppears) {
  ASSERT_TRUE(Store().Save("2013-5-24|8|30|", "打 boss", "每天"));
  LogIn();
  ASSERT_NE(OpenFrame(), nullptr);
  loop_->Advance(10000);
  ASSERT_TRUE(TipShown());
  Click("bnclock");
  const HWND list = frame_->alarm_list();
  ASSERT_TRUE(IsWindowVisible(list));

  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  ASSERT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_FALSE(TipShown()) << "the reminder goes with the frame";
  EXPECT_FALSE(IsWindowVisible(list));

  clock_->Set(At(2013, 5, 25, 8, 29, 59));
  loop_->Advance(kAlarmRecheckMs);
  ASSERT_EQ(notifier_->sent().size(), 2u);
  EXPECT_EQ(notifier_->sent()[1], (DesktopNotification{"", "", "提醒", "您设置的提醒时间到了。"}));
  EXPECT_FALSE(TipShown());
  for (HWND window : AllWindows()) {
    if (window != hwnd()) {
      EXPECT_FALSE(IsWindowVisible(window)) << "nothing of the game shows";
    }
  }
  ASSERT_TRUE(hotkeys_->Press(MOD_ALT, 'Q'));
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  loop_->Advance(5000);
  EXPECT_EQ(notifier_->sent().size(), 2u) << "the hidden occurrence does not ring again";
}

}  // namespace
}  // namespace qrv::testing
