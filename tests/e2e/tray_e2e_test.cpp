// The real program's tray icon under a StatusNotifierWatcher of the test's own on a private
// session bus: the frame's icon registers as a StatusNotifierItem with the program's picture and
// name, the host's Activate brings back a minimised frame and its ContextMenu opens the skinned
// tray menu at the point asked for (and on the screen at a corner); when the watcher goes the icon
// becomes a system-tray icon, when a watcher comes back it registers again, and the boss key takes
// it away and brings it back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "support/fake_status_notifier_watcher.h"

namespace qrv::e2e {
namespace {

constexpr int kScMinimize = 0xF020;

std::string StringProperty(const test::FakeStatusNotifierWatcher& watcher, const std::string& item,
                           const char* name) {
  GVariant* value = watcher.ItemProperty(item, name);
  if (value == nullptr) return "(unreadable)";
  std::string text =
      g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ? g_variant_get_string(value, nullptr) : "";
  g_variant_unref(value);
  return text;
}

class TrayE2eTest : public LauncherTest {
 protected:
  std::string TrayKind() { return WindowString(launcher_->automation(), "UIMainFrame", "tray"); }
};

TEST_F(TrayE2eTest, TheIconIsAStatusNotifierItemWhileAWatcherIsThereAndASystemTrayIconOtherwise) {
  ASSERT_NO_FATAL_FAILURE(UsePrivateBus());
  auto watcher = std::make_unique<test::FakeStatusNotifierWatcher>(bus_->address());
  ASSERT_TRUE(watcher->ready()) << watcher->error();
  ASSERT_NO_FATAL_FAILURE(StartLoggedInFrame("autorun=0\nshowtop=0\n"));
  auto& automation = launcher_->automation();

  // The frame's icon registers, with the program's picture and name, and no menu of its own.
  const auto item = watcher->WaitForItem(20000);
  ASSERT_TRUE(item.has_value() && !item->empty()) << launcher_->output();
  EXPECT_TRUE(WaitFor([&] { return TrayKind() == "status-notifier-item"; }, 10000)) << TrayKind();
  EXPECT_EQ(StringProperty(*watcher, *item, "Category"), "ApplicationStatus");
  EXPECT_EQ(StringProperty(*watcher, *item, "Id"), "zelto-qrv");
  EXPECT_EQ(StringProperty(*watcher, *item, "Title"), "玄岚城");
  EXPECT_EQ(StringProperty(*watcher, *item, "Status"), "Active");
  GVariant* is_menu = watcher->ItemProperty(*item, "ItemIsMenu");
  ASSERT_NE(is_menu, nullptr);
  EXPECT_FALSE(g_variant_get_boolean(is_menu));
  g_variant_unref(is_menu);
  EXPECT_EQ(watcher->ItemProperty(*item, "Menu"), nullptr);
  GVariant* tooltip = watcher->ItemProperty(*item, "ToolTip");
  ASSERT_NE(tooltip, nullptr);
  const gchar* tooltip_title = nullptr;
  g_variant_get(tooltip, "(&s@a(iiay)&s&s)", nullptr, nullptr, &tooltip_title, nullptr);
  EXPECT_STREQ(tooltip_title, "玄岚城");
  g_variant_unref(tooltip);
  GVariant* pixmaps = watcher->ItemProperty(*item, "IconPixmap");
  ASSERT_NE(pixmaps, nullptr);
  ASSERT_EQ(g_variant_n_children(pixmaps), 1u);
  gint32 width = 0;
  gint32 height = 0;
  GVariant* argb = nullptr;
  g_variant_get_child(pixmaps, 0, "(ii@ay)", &width, &height, &argb);
  EXPECT_EQ(width, 48);
  EXPECT_EQ(height, 48);
  gsize bytes = 0;
  const auto* pixels = static_cast<const guint8*>(g_variant_get_fixed_array(argb, &bytes, 1));
  ASSERT_EQ(bytes, 48u * 48u * 4u);
  // Network byte order: alpha first; the picture's centre is opaque.
  EXPECT_EQ(pixels[(24 * 48 + 24) * 4], 0xff);
  g_variant_unref(argb);
  g_variant_unref(pixmaps);

  // The host's Activate does what a left click on the icon does: the minimised frame comes back.
  ASSERT_TRUE(automation
                  .Send(qrv::testing::AutomationRequest("syscommand")
                            .Set("class", "UIMainFrame")
                            .Set("command", kScMinimize))
                  .ok());
  ASSERT_TRUE(WaitFor([&] { return WindowFlag(automation, "UIMainFrame", "minimized"); }, 10000));
  ASSERT_TRUE(watcher->CallItem(*item, "Activate", 20, 20));
  EXPECT_TRUE(WaitFor([&] { return !WindowFlag(automation, "UIMainFrame", "minimized"); }, 10000));

  // ContextMenu opens the skinned tray menu at the point, as a context menu opens. It opens before
  // the restored frame's activation has come back from the X server, and keeps the focus when it
  // does.
  ASSERT_TRUE(watcher->CallItem(*item, "ContextMenu", 400, 300));
  ASSERT_NE(automation.WaitForWindow("MenuTrayWnd", 10000), 0);
  EXPECT_EQ(VisibleWindowRect(automation, "MenuTrayWnd"), (Rect{400, 300, 526, 405}));
  ExpectSkinShown(automation, "MenuTrayWnd", "e2e-tray-menu-status-notifier.png");
  automation.Send(qrv::testing::AutomationRequest("close").Set("class", "MenuTrayWnd"));
  ASSERT_TRUE(WaitFor([&] { return WindowCount(automation, "MenuTrayWnd") == 0; }, 10000));
  // At the screen's bottom-right corner it turns up and left, and stays on the screen.
  ASSERT_TRUE(watcher->CallItem(*item, "SecondaryActivate", 1590, 990));
  ASSERT_NE(automation.WaitForWindow("MenuTrayWnd", 10000), 0);
  EXPECT_EQ(VisibleWindowRect(automation, "MenuTrayWnd"), (Rect{1464, 885, 1590, 990}));
  automation.Send(qrv::testing::AutomationRequest("close").Set("class", "MenuTrayWnd"));
  ASSERT_TRUE(WaitFor([&] { return WindowCount(automation, "MenuTrayWnd") == 0; }, 10000));

  // The watcher goes: the icon becomes a system-tray icon. A new watcher takes it again.
  watcher.reset();
  EXPECT_TRUE(WaitFor([&] { return TrayKind() == "system-tray"; }, 10000)) << TrayKind();
  watcher = std::make_unique<test::FakeStatusNotifierWatcher>(bus_->address());
  ASSERT_TRUE(watcher->ready()) << watcher->error();
  const auto again = watcher->WaitForItem(20000);
  ASSERT_TRUE(again.has_value() && !again->empty());
  EXPECT_NE(*again, *item);
  EXPECT_TRUE(WaitFor([&] { return TrayKind() == "status-notifier-item"; }, 10000)) << TrayKind();

  // The boss key hides the launcher and takes the item away; pressed again, both come back.
  ASSERT_EQ(std::system("xdotool key alt+q"), 0);
  EXPECT_TRUE(watcher->WaitForItem(10000, false).has_value()) << "the item stayed registered";
  EXPECT_FALSE(WindowFlag(automation, "UIMainFrame", "visible"));
  ASSERT_EQ(std::system("xdotool key alt+q"), 0);
  EXPECT_TRUE(watcher->WaitForItem(10000).has_value()) << "the item did not come back";
  EXPECT_TRUE(WindowFlag(automation, "UIMainFrame", "visible"));
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
