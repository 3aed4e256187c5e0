// ScreenCap in a Wayland session, run as the launcher runs it, against a desktop portal and a
// notification service of the test's own on a private session bus: a portal that is missing is
// reported, a capture the player cancels in the desktop's dialog ends quietly, and a picture the
// portal hands over is moved into the Pictures folder under our name, put on the clipboard (kept
// until another program takes it) and announced.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "support/fake_notifications.h"
#include "support/temp_dir.h"

namespace qrv::capture {
namespace {

// Runs the test's own bus services (the portal below) while it polls `done`, at most `timeout_ms`.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A desktop portal of the test's own on the private bus, answered while the test waits: it owns
// org.freedesktop.portal.Desktop and answers Screenshot as a real portal does, with the request
// object the documentation derives from the caller's name and handle token, then its Response
// signal carrying the answer the test chose.
struct FakePortal {
  guint32 response = 2;
  std::string uri;
  int requests = 0;
  bool interactive = false;
  GDBusConnection* connection = nullptr;
  guint registration = 0;

  explicit FakePortal(const std::string& address) {
    connection = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (connection == nullptr) return;
    g_autoptr(GDBusNodeInfo) node = g_dbus_node_info_new_for_xml(
        "<node><interface name='org.freedesktop.portal.Screenshot'><method name='Screenshot'>"
        "<arg type='s' direction='in'/><arg type='a{sv}' direction='in'/><arg type='o' direction='out'/>"
        "</method></interface></node>",
        nullptr);
    const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
    registration = g_dbus_connection_register_object(connection, "/org/freedesktop/portal/desktop",
                                                     node->interfaces[0], &vtable, this, nullptr, nullptr);
    g_autoptr(GVariant) owned = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr);
    if (owned == nullptr) registration = 0;
  }
  ~FakePortal() {
    if (registration != 0) g_dbus_connection_unregister_object(connection, registration);
    if (connection != nullptr) g_object_unref(connection);
  }

  static void OnCall(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar*,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    auto* portal = static_cast<FakePortal*>(data);
    g_autoptr(GVariant) options = g_variant_get_child_value(parameters, 1);
    gboolean interactive = FALSE;
    const gchar* token = "t";
    g_variant_lookup(options, "interactive", "b", &interactive);
    g_variant_lookup(options, "handle_token", "&s", &token);
    ++portal->requests;
    portal->interactive = interactive != FALSE;
    std::string caller = sender + 1;
    for (char& c : caller) c = c == '.' ? '_' : c;
    const std::string path = "/org/freedesktop/portal/desktop/request/" + caller + "/" + token;
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", path.c_str()));
    GVariantBuilder results;
    g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
    if (!portal->uri.empty())
      g_variant_builder_add(&results, "{sv}", "uri", g_variant_new_string(portal->uri.c_str()));
    g_dbus_connection_emit_signal(bus, sender, path.c_str(), "org.freedesktop.portal.Request", "Response",
                                  g_variant_new("(ua{sv})", portal->response, &results), nullptr);
  }
};

class Companion {
 public:
  Companion(const test::TempDir& dir, const std::string& bus) {
    gchar** env = g_get_environ();
    const std::string home = dir.File("home");
    env = g_environ_setenv(env, "HOME", home.c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_CONFIG_HOME", (home + "/.config").c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_RUNTIME_DIR", dir.File("run").c_str(), TRUE);
    env = g_environ_setenv(env, "DBUS_SESSION_BUS_ADDRESS", bus.c_str(), TRUE);
    // A Wayland session whose compositor this test does not have: the launcher runs on X11
    // (XWayland) there and passes that on, the capture goes through the portal.
    env = g_environ_setenv(env, "WAYLAND_DISPLAY", "wayland-qrv-test", TRUE);
    env = g_environ_setenv(env, "XDG_SESSION_TYPE", "wayland", TRUE);
    env = g_environ_setenv(env, "GDK_BACKEND", "x11", TRUE);
    env = g_environ_setenv(env, "GSETTINGS_BACKEND", "memory", TRUE);
    env = g_environ_setenv(env, "NO_AT_BRIDGE", "1", TRUE);
    env = g_environ_setenv(env, "ASAN_OPTIONS", "detect_leaks=0", TRUE);
    const gchar* argv[] = {QRV_SCREENCAP, nullptr};
    GPid pid = 0;
    if (g_spawn_async(dir.path().c_str(), const_cast<gchar**>(argv), env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                      nullptr, &pid, nullptr))
      pid_ = pid;
    g_strfreev(env);
  }
  ~Companion() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // Whether it ended by itself with exit code 0 within `timeout_ms`.
  bool EndsCleanly(int timeout_ms) {
    int status = -1;
    const bool ended =
        WaitUntil([&] { return pid_ <= 0 || waitpid(pid_, &status, WNOHANG) == pid_; }, timeout_ms);
    if (!ended) return false;
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  bool Running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  GPid pid_ = -1;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    names.push_back(entry.path().filename().string());
  return names;
}

// Every pixel's colour, row by row, whatever the row padding.
std::string Pixels(const std::string& png) {
  g_autoptr(GdkPixbuf) picture = gdk_pixbuf_new_from_file(png.c_str(), nullptr);
  if (picture == nullptr) return {};
  std::string pixels;
  const int channels = gdk_pixbuf_get_n_channels(picture);
  for (int y = 0; y < gdk_pixbuf_get_height(picture); ++y) {
    const guint8* row = gdk_pixbuf_get_pixels(picture) + y * gdk_pixbuf_get_rowstride(picture);
    for (int x = 0; x < gdk_pixbuf_get_width(picture); ++x)
      pixels.append(reinterpret_cast<const char*>(row + x * channels), 3);
  }
  return std::to_string(gdk_pixbuf_get_width(picture)) + "x" +
         std::to_string(gdk_pixbuf_get_height(picture)) + ":" + pixels;
}

TEST(PortalCaptureTest, AMissingPortalIsReportedACancelEndsQuietlyAndAPictureIsMovedCopiedAndAnnounced) {
  test::TempDir dir;
  ASSERT_EQ(mkdir(dir.File("run").c_str(), 0700), 0);
  std::filesystem::create_directories(dir.File("home/.config"));
  std::ofstream(dir.File("home/.config/user-dirs.dirs")) << "XDG_PICTURES_DIR=\"$HOME/图片\"\n";
  const std::string pictures = dir.File("home/图片");
  test::PrivateSessionBus bus;
  ASSERT_FALSE(bus.address().empty()) << bus.error();
  test::FakeNotificationService notifications(bus.address());
  ASSERT_TRUE(notifications.ready()) << notifications.error();

  // No portal on the bus: the player is told, and nothing is saved.
  {
    Companion companion(dir, bus.address());
    EXPECT_TRUE(companion.EndsCleanly(20000));
    const auto received = notifications.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].summary, "截图失败");
    EXPECT_EQ(received[0].body.rfind("桌面的截图服务不可用：", 0), 0u) << received[0].body;
    EXPECT_TRUE(FilesIn(pictures).empty());
  }

  FakePortal portal(bus.address());
  ASSERT_NE(portal.registration, 0u);

  // The player cancels in the desktop's dialog: no file, no notification.
  portal.response = 1;
  {
    Companion companion(dir, bus.address());
    EXPECT_TRUE(companion.EndsCleanly(20000));
    EXPECT_EQ(portal.requests, 1);
    EXPECT_TRUE(portal.interactive);
    EXPECT_EQ(notifications.received().size(), 1u);
    EXPECT_TRUE(FilesIn(pictures).empty());
  }

  // The portal's picture (where the desktop put it) becomes ours.
  std::filesystem::create_directories(dir.File("desktop"));
  const std::string shot = dir.File("desktop/Screenshot.png");
  g_autoptr(GdkPixbuf) picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 40, 30);
  guint8* pixels = gdk_pixbuf_get_pixels(picture);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      guint8* p = pixels + y * gdk_pixbuf_get_rowstride(picture) + x * 3;
      p[0] = static_cast<guint8>(x * 6);
      p[1] = static_cast<guint8>(y * 8);
      p[2] = static_cast<guint8>((x + y) * 3);
    }
  }
  ASSERT_TRUE(gdk_pixbuf_save(picture, shot.c_str(), "png", nullptr, nullptr));
  const std::string expected = Pixels(shot);
  g_autofree gchar* uri = g_filename_to_uri(shot.c_str(), nullptr, nullptr);
  portal.response = 0;
  portal.uri = uri;
  Companion companion(dir, bus.address());
  ASSERT_TRUE(WaitUntil([&] { return notifications.received().size() == 2; }, 20000));
  EXPECT_EQ(notifications.received().back().summary, "截图已保存");
  const std::vector<std::string> saved = FilesIn(pictures);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_TRUE(g_regex_match_simple("^截图_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.png$", saved[0].c_str(),
                                   G_REGEX_DEFAULT, G_REGEX_MATCH_DEFAULT))
      << saved[0];
  const std::string path = pictures + "/" + saved[0];
  EXPECT_EQ(notifications.received().back().body, "已保存到 " + path + "，并已复制到剪贴板，可以直接粘贴。");
  EXPECT_EQ(Pixels(path), expected);
  EXPECT_FALSE(std::filesystem::exists(shot)) << "moved, not copied";

  // The clipboard has the picture while the companion stays; another program's copy ends it.
  const std::string pasted = dir.File("pasted.png");
  ASSERT_EQ(std::system(("xclip -selection clipboard -t image/png -o > " + pasted).c_str()), 0);
  EXPECT_EQ(Pixels(pasted), expected);
  EXPECT_TRUE(companion.Running());
  ASSERT_EQ(std::system("printf copied | xclip -selection clipboard -i -loops 1"), 0);
  EXPECT_TRUE(companion.EndsCleanly(20000));
  EXPECT_EQ(std::system("xclip -selection clipboard -o > /dev/null"), 0);
}

}  // namespace
}  // namespace qrv::capture
