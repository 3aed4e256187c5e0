// Desktop notifications over D-Bus, delivered to a notification service of the test's own on a
// private session bus: the notification arrives whole, the player's text escaped for services that
// read markup, and the program never waited for it.

#include "platform/dbus_notifier.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "support/fake_notifications.h"

namespace qrv {
namespace {

// Runs the default main context (where the notifier's callbacks arrive) until `done` or a timeout.
template <class Done>
bool IterateUntil(Done done, int timeout_ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    g_main_context_iteration(nullptr, FALSE);
  }
  return true;
}

TEST(DbusNotifierTest, NotificationsReachTheSessionBusServiceWithoutWaiting) {
  test::PrivateSessionBus bus;
  ASSERT_FALSE(bus.address().empty()) << bus.error();
  test::FakeNotificationService service(bus.address());
  ASSERT_TRUE(service.ready()) << service.error();
  // The process's session bus is this one (the test never reaches the user's).
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);

  DbusNotifier& notifier = DbusNotifier::Install();
  EXPECT_EQ(&DesktopNotifier::Get(), &notifier);
  const DesktopNotification first{"玄岚城登陆器", "appointment-soon", "闹钟提醒",
                                  "2013-5-20 8:30\n打 boss & <领奖>"};
  const DesktopNotification second{"", "", "提醒", "您设置的提醒时间到了。"};
  notifier.Notify(first);
  notifier.Notify(second);  // queued behind the first while the bus connects
  EXPECT_TRUE(service.received().empty()) << "nothing is sent before the loop runs: the caller never waits";

  ASSERT_TRUE(IterateUntil([&] { return service.received().size() == 2; }, 20000));
  const auto received = service.received();
  EXPECT_EQ(received[0].app_name, "玄岚城登陆器");
  EXPECT_EQ(received[0].icon, "appointment-soon");
  EXPECT_EQ(received[0].summary, "闹钟提醒");
  EXPECT_EQ(received[0].body, "2013-5-20 8:30\n打 boss &amp; &lt;领奖&gt;");
  EXPECT_EQ(received[1].summary, "提醒");
  EXPECT_EQ(received[1].app_name, "");

  // Connected now: a later one goes straight out.
  notifier.Notify(DesktopNotification{"a", "", "third", "3"});
  EXPECT_TRUE(IterateUntil([&] { return service.received().size() == 3; }, 20000));
  DesktopNotifier::Install(nullptr);
  // Callbacks still pending after the notifier has gone find nothing freed.
  for (int i = 0; i < 50; ++i) g_main_context_iteration(nullptr, FALSE);
}

}  // namespace
}  // namespace qrv
