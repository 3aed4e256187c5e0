// Docking windows of other programs: a real second X client (qrv_dock_client) asks our toplevel to
// dock its window, retitles it and exits; the toplevel sees messages 1124 and 1130 with a handle
// that acts on the other program's window.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

// Xlib after GoogleTest: Xlib's macros (None) would rename GoogleTest's own names.
#include "gtk_test_support.h"
#include "platform/gtk/gtk_docking.h"
// clang-format off
#include <gdk/gdkx.h>
// clang-format on

namespace qrv::testing {
namespace {

// Application messages as these tests use them (the platform knows no application message).
constexpr UINT kMsgDockWindow = WM_USER + 100;
constexpr UINT kMsgDockedCaption = WM_USER + 106;

XWindowId XidOf(GdkWindow* window) { return GDK_WINDOW_XID(window); }

XWindowId ToplevelXid(HWND hwnd) {
  return XidOf(gtk_widget_get_window(GtkWindows::Current()->ToplevelWidget(hwnd)));
}

// The X window that holds the children of our window `hwnd` (its layout's drawing surface).
XWindowId SurfaceXid(HWND hwnd) {
  auto* layout = static_cast<GtkWidget*>(GtkWindows::Current()->NativeHandle(hwnd));
  GdkWindow* bin = gtk_layout_get_bin_window(GTK_LAYOUT(layout));
  return bin != nullptr && gdk_window_has_native(bin) ? XidOf(bin) : 0;
}

Display* XDisplay() { return GDK_DISPLAY_XDISPLAY(gdk_display_get_default()); }

// The parent of an X window as the server has it (0 when the window does not exist).
XWindowId ServerParent(XWindowId xid) {
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  const Status ok = XQueryTree(XDisplay(), xid, &root, &parent, &children, &count);
  if (children != nullptr) XFree(children);
  gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default());
  return ok != 0 ? parent : 0;
}

bool ServerHasWindow(XWindowId xid) { return ServerParent(xid) != 0; }

// The other program, run as a child process that talks over its standard input and output.
class DockClient {
 public:
  DockClient(XWindowId target, const std::string& title) {
    const std::string target_text = std::to_string(target);
    const char* argv[] = {QRV_DOCK_CLIENT, target_text.c_str(), title.c_str(), nullptr};
    int in = -1;
    int out = -1;
    started_ = g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD,
                                        nullptr, nullptr, &pid_, &in, &out, nullptr, nullptr) != 0;
    if (!started_) return;
    to_client_ = fdopen(in, "w");
    from_client_ = fdopen(out, "r");
    xid_ = std::stoul(ReadLine());
  }
  ~DockClient() { Quit(); }
  DockClient(const DockClient&) = delete;
  DockClient& operator=(const DockClient&) = delete;

  XWindowId xid() const { return xid_; }

  // Sends one command and waits for the client's answer.
  bool Command(const std::string& line) {
    if (to_client_ == nullptr) return false;
    std::fprintf(to_client_, "%s\n", line.c_str());
    std::fflush(to_client_);
    return ReadLine() == "ok";
  }

  void Quit() {
    if (!started_) return;
    started_ = false;
    std::fclose(to_client_);  // the end of its input ends it
    to_client_ = nullptr;
    int status = 0;
    waitpid(pid_, &status, 0);
    std::fclose(from_client_);
    g_spawn_close_pid(pid_);
  }

 private:
  std::string ReadLine() {
    char line[256] = {};
    if (from_client_ == nullptr || std::fgets(line, sizeof line, from_client_) == nullptr) return {};
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
  }

  bool started_ = false;
  GPid pid_ = 0;
  FILE* to_client_ = nullptr;
  FILE* from_client_ = nullptr;
  XWindowId xid_ = 0;
};

class GtkDockingTest : public GtkPlatformTest {
 protected:
  void SetUp() override {
    GtkPlatformTest::SetUp();
    docking_ = GtkDockingWindows::Current();
    ASSERT_NE(docking_, nullptr);
    docking_->SetMessages(kMsgDockWindow, kMsgDockedCaption);
  }

  static WindowCreateParams Child(HWND parent, RECT rect) {
    WindowCreateParams params;
    params.parent = parent;
    params.style = WS_CHILD | WS_VISIBLE;
    params.rect = rect;
    return params;
  }

  // The handle of the 1124 the frame got (null when none came).
  static HWND DockedHandle(const TestWindow& frame) {
    const auto docked = frame.Of(kMsgDockWindow);
    return docked.empty() ? nullptr : HandleFromId(docked.back().wparam);
  }

  GtkDockingWindows* docking_ = nullptr;
};

TEST_F(GtkDockingTest, ForeignWindowDocksRetitlesMovesAndGoesAwayWithItsProgram) {
  TestWindow frame(Toplevel(60, 60, 640, 420));
  ShowAndWait(frame);
  TestWindow host(Child(frame.hwnd(), RECT{0, 80, 640, 420}));

  DockClient client(ToplevelXid(frame.hwnd()), "外部窗口");
  ASSERT_NE(client.xid(), 0u) << "the dock client did not start";
  ASSERT_TRUE(WaitFor([&] { return DockedHandle(frame) != nullptr; }));
  const HWND docked = DockedHandle(frame);
  EXPECT_TRUE(IsWindow(docked));
  EXPECT_EQ(docking_->foreign().Xid(docked), client.xid());
  EXPECT_EQ(WindowSystem::Get().Title(docked), "外部窗口");
  EXPECT_EQ(WindowSystem::Get().Parent(docked), nullptr);
  EXPECT_NE(WindowSystem::Get().NativeHandle(docked), nullptr);

  // Into our child window: the X server has it there, and the handle's operations move it inside.
  ASSERT_TRUE(docking_->foreign().Reparent(docked, host.hwnd(), 10, 20));
  ASSERT_NE(SurfaceXid(host.hwnd()), 0u);
  EXPECT_TRUE(WaitFor([&] { return ServerParent(client.xid()) == SurfaceXid(host.hwnd()); }));
  EXPECT_EQ(WindowSystem::Get().Parent(docked), host.hwnd());
  EXPECT_TRUE(WindowSystem::Get().Style(docked) & WS_CHILD);
  SetWindowPos(docked, nullptr, 5, 6, 200, 100, SWP_NOZORDER);
  EXPECT_EQ(GetClientRect(docked), (RECT{0, 0, 200, 100}));
  // On screen it sits inside our window once GTK has placed that window's surface.
  const RECT host_rect = GetWindowRect(host.hwnd());
  const RECT expected{host_rect.left + 5, host_rect.top + 6, host_rect.left + 205, host_rect.top + 106};
  EXPECT_TRUE(WaitFor([&] { return GetWindowRect(docked) == expected; }))
      << GetWindowRect(docked).left << "," << GetWindowRect(docked).top;
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(docked); }));
  ShowWindow(docked, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(docked));
  ShowWindow(docked, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(docked));

  // A second request for the same window names the same handle.
  ASSERT_TRUE(docking_->OnDockRequest(frame.hwnd(), client.xid()));
  ASSERT_TRUE(WaitFor([&] { return frame.Of(kMsgDockWindow).size() == 2; }));
  EXPECT_EQ(DockedHandle(frame), docked);

  // The new caption arrives as 1130 and reads back through the handle.
  ASSERT_TRUE(client.Command("caption 新标题 \"引号\""));
  ASSERT_TRUE(WaitFor([&] { return frame.Saw(kMsgDockedCaption); }));
  EXPECT_EQ(HandleFromId(frame.Of(kMsgDockedCaption)[0].wparam), docked);
  EXPECT_EQ(WindowSystem::Get().Title(docked), "新标题 \"引号\"");

  // The program ends: its window is destroyed, and so is the handle.
  client.Quit();
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(docked); }));
  EXPECT_FALSE(docking_->foreign().Contains(docked));
  EXPECT_EQ(WindowSystem::Get().Title(docked), "");
}

TEST_F(GtkDockingTest, DestroyingOurWindowGivesTheForeignWindowBackInsteadOfDestroyingIt) {
  TestWindow frame(Toplevel(60, 60, 400, 300));
  ShowAndWait(frame);
  auto host = std::make_unique<TestWindow>(Child(frame.hwnd(), RECT{0, 80, 400, 300}));
  DockClient client(ToplevelXid(frame.hwnd()), "外部窗口");
  ASSERT_TRUE(WaitFor([&] { return DockedHandle(frame) != nullptr; }));
  const HWND docked = DockedHandle(frame);
  ASSERT_TRUE(docking_->foreign().Reparent(docked, host->hwnd(), 0, 0));

  host.reset();
  gdk_display_sync(gdk_display_get_default());
  EXPECT_EQ(ServerParent(client.xid()), DefaultRootWindow(XDisplay()));
  EXPECT_TRUE(IsWindow(docked));
  EXPECT_EQ(WindowSystem::Get().Parent(docked), nullptr);
  EXPECT_EQ(WindowSystem::Get().Title(docked), "外部窗口");

  // Forgetting the handle leaves the other program's window alone too.
  DestroyWindow(docked);
  gdk_display_sync(gdk_display_get_default());
  EXPECT_TRUE(ServerHasWindow(client.xid()));
  EXPECT_TRUE(client.Command("caption still here"));
}

TEST_F(GtkDockingTest, RequestsNamingNoForeignWindowPostNothing) {
  TestWindow frame(Toplevel(60, 60, 300, 200));
  ShowAndWait(frame);
  TestWindow child(Child(frame.hwnd(), RECT{0, 0, 100, 100}));
  Display* x = XDisplay();

  // Our own windows, the root window, an id that names no window, and no id at all.
  EXPECT_FALSE(docking_->OnDockRequest(frame.hwnd(), ToplevelXid(frame.hwnd())));
  EXPECT_FALSE(docking_->OnDockRequest(frame.hwnd(), DefaultRootWindow(x)));
  const Window gone = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(x, gone);
  XSync(x, False);
  EXPECT_FALSE(docking_->OnDockRequest(frame.hwnd(), gone));
  EXPECT_FALSE(docking_->OnDockRequest(frame.hwnd(), 0));
  // A caption change of a window that was never docked.
  EXPECT_FALSE(docking_->OnCaptionChanged(frame.hwnd(), gone));
  // A request that reached a window of ours which is no toplevel of the window system.
  EXPECT_FALSE(docking_->OnDockRequest(HandleFromId(999999), gone));
  Settle(100);
  EXPECT_FALSE(frame.Saw(kMsgDockWindow));
  EXPECT_FALSE(frame.Saw(kMsgDockedCaption));
}

TEST_F(GtkDockingTest, CaptionFallsBackToLatin1WmNameAndRepairsBrokenUtf8) {
  Display* x = XDisplay();
  const Window plain = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
  XStoreName(x, plain, "Caf\xE9");  // WM_NAME as STRING, which is Latin-1
  const Window broken = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
  const char bad[] = "ok\xFF";
  XChangeProperty(x, broken, XInternAtom(x, "_NET_WM_NAME", False), XInternAtom(x, "UTF8_STRING", False), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(bad), 3);
  XSync(x, False);

  const HWND plain_handle = docking_->foreign().Wrap(plain);
  const HWND broken_handle = docking_->foreign().Wrap(broken);
  ASSERT_NE(plain_handle, nullptr);
  ASSERT_NE(broken_handle, nullptr);
  EXPECT_EQ(WindowSystem::Get().Title(plain_handle), "Café");
  const std::string repaired = WindowSystem::Get().Title(broken_handle);
  EXPECT_TRUE(g_utf8_validate(repaired.c_str(), static_cast<gssize>(repaired.size()), nullptr));
  EXPECT_EQ(repaired.rfind("ok", 0), 0u);

  // Our own title change reaches the window's properties.
  WindowSystem::Get().SetTitle(plain_handle, "改名");
  EXPECT_EQ(WindowSystem::Get().Title(plain_handle), "改名");

  XDestroyWindow(x, plain);
  XDestroyWindow(x, broken);
  XSync(x, False);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(plain_handle) && !IsWindow(broken_handle); }));
}

TEST_F(GtkDockingTest, WindowAlreadyPutInsideOursByItsProgramHasThatParent) {
  TestWindow frame(Toplevel(60, 60, 300, 200));
  ShowAndWait(frame);
  Display* x = XDisplay();
  // As a program would do before asking: its window made a child of ours.
  const Window inside = XCreateSimpleWindow(x, ToplevelXid(frame.hwnd()), 0, 0, 50, 50, 0, 0, 0);
  const Window outside = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 50, 50, 0, 0, 0);
  XSync(x, False);
  const HWND inside_handle = docking_->foreign().Wrap(inside);
  const HWND outside_handle = docking_->foreign().Wrap(outside);
  ASSERT_NE(inside_handle, nullptr);
  EXPECT_EQ(WindowSystem::Get().Parent(inside_handle), frame.hwnd());
  EXPECT_EQ(WindowSystem::Get().Parent(outside_handle), nullptr);
  XDestroyWindow(x, outside);
  XSync(x, False);
  // `inside` goes with the frame's X window.
}

}  // namespace
}  // namespace qrv::testing
