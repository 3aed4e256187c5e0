// The real program under Xvfb with a notification service of the test's own on a private session
// bus: from the main frame's "bnclock" the player opens the editor, drops the calendar down (a
// screenshot shows it), sets an alarm for the next minute with a text, sees it listed, and within
// 65 seconds the reminder pop-up shows the text and the desktop notification arrives.

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "support/fake_notifications.h"
#include "support/file_text.h"

namespace qrv::e2e {
namespace {

bool IsLight(const std::string& rgb) {
  if (rgb.size() != 6) return false;
  for (int i = 0; i < 3; ++i) {
    if (std::stoi(rgb.substr(static_cast<std::size_t>(i) * 2, 2), nullptr, 16) < 0xB0) return false;
  }
  return true;
}

struct LocalNow {
  int year, month, day, hour, minute, second;
};

LocalNow Now() {
  GDateTime* now = g_date_time_new_now_local();
  LocalNow t{g_date_time_get_year(now), g_date_time_get_month(now),  g_date_time_get_day_of_month(now),
             g_date_time_get_hour(now), g_date_time_get_minute(now), g_date_time_get_second(now)};
  g_date_time_unref(now);
  return t;
}

LocalNow NextMinute() {
  GDateTime* now = g_date_time_new_now_local();
  GDateTime* next = g_date_time_add_minutes(now, 1);
  LocalNow t{g_date_time_get_year(next), g_date_time_get_month(next),  g_date_time_get_day_of_month(next),
             g_date_time_get_hour(next), g_date_time_get_minute(next), 0};
  g_date_time_unref(next);
  g_date_time_unref(now);
  return t;
}

class AlarmE2eTest : public LauncherTest {};

TEST_F(AlarmE2eTest, AnAlarmSetForTheNextMinuteIsListedAndRingsWithAPopUpAndADesktopNotification) {
  ASSERT_NO_FATAL_FAILURE(UsePrivateBus());
  test::FakeNotificationService service(bus_->address());
  ASSERT_TRUE(service.ready()) << service.error();
  ASSERT_NO_FATAL_FAILURE(StartLoggedInFrame());
  auto& automation = launcher_->automation();

  // The frame's "bnclock" opens the (empty) alarm list; its "bnset" the editor, filled with now.
  ASSERT_TRUE(automation.Click("UIMainFrame", "bnclock").ok());
  ASSERT_NE(automation.WaitForWindow("UIClockList", 20000), 0);
  ASSERT_TRUE(automation.Click("UIClockList", "bnset").ok());
  ASSERT_NE(automation.WaitForWindow("UIClockManagerDlg", 20000), 0);
  ASSERT_TRUE(WaitFor(
      [&] { return !automation.Control("UIClockManagerDlg", "bndate").String("text").empty(); }, 10000));

  // The calendar drops down below the date button, right edges in line; Escape folds it up.
  const Rect editor = VisibleWindowRect(automation, "UIClockManagerDlg");
  const Rect button = RectOf(automation.Control("UIClockManagerDlg", "bndate").object());
  const int probe_x = editor[0] + button[2] - 20;
  const int probe_y = editor[1] + button[3] + 60;
  ASSERT_FALSE(IsLight(ScreenColor(probe_x, probe_y))) << "the editor is dark there";
  ASSERT_TRUE(automation.Click("UIClockManagerDlg", "bndate").ok());
  ASSERT_TRUE(WaitFor([&] { return IsLight(ScreenColor(probe_x, probe_y)); }, 10000))
      << "no calendar below the button";
  EXPECT_GT(SaveScreenshot(editor, ScreenshotFolder() + "/alarm-editor-calendar.png", 12), 200)
      << "a skin and a calendar, no box";
  const std::string date_before = automation.Control("UIClockManagerDlg", "bndate").String("text");
  ASSERT_TRUE(Xdotool("key Escape"));
  ASSERT_TRUE(WaitFor([&] { return !IsLight(ScreenColor(probe_x, probe_y)); }, 10000));
  EXPECT_EQ(automation.Control("UIClockManagerDlg", "bndate").String("text"), date_before);

  // An alarm for the next minute (never one that starts while the form is filled in).
  if (Now().second >= 50) {
    ASSERT_TRUE(WaitFor([] { return Now().second < 50; }, 15000));
  }
  const LocalNow at = NextMinute();
  const std::string date =
      std::to_string(at.year) + "-" + std::to_string(at.month) + "-" + std::to_string(at.day);
  const std::string time_value = date + "|" + std::to_string(at.hour) + "|" + std::to_string(at.minute) + "|";
  const std::string text = "端到端 e2e reminder";
  const auto select = [&](const char* combo, int index) {
    return automation
        .Send(qrv::testing::AutomationRequest("select")
                  .Set("class", "UIClockManagerDlg")
                  .Set("name", combo)
                  .Set("index", index))
        .ok();
  };
  ASSERT_TRUE(automation.SetText("UIClockManagerDlg", "bndate", date).ok());
  ASSERT_TRUE(select("comhour", at.hour));
  ASSERT_TRUE(select("comminute", at.minute));
  ASSERT_TRUE(select("comrepeat", 3));
  ASSERT_TRUE(automation.SetText("UIClockManagerDlg", "editinput", text).ok());
  ASSERT_TRUE(automation.Click("UIClockManagerDlg", "bnok").ok());
  const auto saved = std::chrono::steady_clock::now();

  // Listed after saving: a new list at the editor's place, its row named after the time value.
  EXPECT_TRUE(WaitFor([&] { return automation.Control("UIClockList", time_value).ok(); }, 10000))
      << automation.Control("UIClockManagerDlg", "txtishi").String("text");
  EXPECT_EQ(automation.Control("UIClockList", "description").String("text"), text);
  const std::string store = test::ReadFile(launcher_->program_folder() + "/data/clocklist.ini");
  EXPECT_NE(store.find("time=" + time_value + "\n"), std::string::npos) << store;
  EXPECT_NE(store.find("repeat=不重复\n"), std::string::npos) << store;

  // Within 65 seconds of saving: the reminder pop-up with the text, and the desktop notification.
  const auto left_ms = [&] {
    return static_cast<int>(65000 - std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - saved)
                                        .count());
  };
  ASSERT_NE(automation.WaitForWindow("UIAlarmTip", left_ms()), 0) << launcher_->output();
  EXPECT_EQ(automation.Control("UIAlarmTip", "txtext").String("text"), text);
  EXPECT_TRUE(service.WaitFor(
      [&](const test::FakeNotificationService::Notification& n) {
        return n.summary == "闹钟提醒" && n.body.find(text) != std::string::npos &&
               n.app_name == "玄岚城登陆器";
      },
      std::max(left_ms(), 0)))
      << service.received().size() << " notifications";
  EXPECT_EQ(service.received().size(), 1u);
  EXPECT_NE(test::ReadFile(launcher_->program_folder() + "/data/clocklist.ini").find("rang=" + time_value),
            std::string::npos);
  EXPECT_TRUE(automation.Click("UIAlarmTip", "bnok").ok());
  EXPECT_TRUE(WaitFor([&] { return automation.WaitForWindow("UIAlarmTip", 100) == 0; }, 10000));
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
