#include "browser/browser_fixture.h"

#include <cstdio>
#include <filesystem>

#include "browser/browser_web_view.h"
#include "platform/headless_loop.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace qrv::test {

class ParentWindow final : public MessageTarget {
 public:
  ParentWindow() : hwnd_(RegisterWindow(this)) {
    WindowCreateParams params;
    params.title = "parent";
    params.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    params.rect = RECT{0, 0, 1000, 700};
    WindowSystem::Get().Create(hwnd_, params);
  }
  ~ParentWindow() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  LRESULT HandleMessage(UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_NCDESTROY) WindowSystem::Get().Destroy(hwnd_);
    return 0;
  }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

namespace {

struct Shared {
  std::string folder;
  std::unique_ptr<PageServer> server;
  std::unique_ptr<WebContext> web;
  std::unique_ptr<BrowserEngine> engine;
};

std::unique_ptr<Shared>& TheShared() {
  static std::unique_ptr<Shared> shared;
  return shared;
}

// Ends the engine and the server after the last test, before the program's statics go.
class SharedTeardown final : public ::testing::Environment {
 public:
  void TearDown() override {
    auto& shared = TheShared();
    if (!shared) return;
    shared->engine.reset();
    shared->web.reset();
    shared->server.reset();
    std::error_code ignored;
    std::filesystem::remove_all(shared->folder, ignored);
    shared.reset();
  }
};

[[maybe_unused]] ::testing::Environment* const kSharedTeardown =
    ::testing::AddGlobalTestEnvironment(new SharedTeardown);

struct ScriptResult {
  bool done = false;
  std::string text;
};

void OnScriptDone(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::shared_ptr<ScriptResult>> holder(static_cast<std::shared_ptr<ScriptResult>*>(data));
  g_autoptr(GError) error = nullptr;
  g_autoptr(JSCValue) value =
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
  if (value != nullptr && !jsc_value_is_undefined(value) && !jsc_value_is_null(value)) {
    g_autofree gchar* text = jsc_value_to_string(value);
    (*holder)->text = text != nullptr ? text : "";
  }
  (*holder)->done = true;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  // A ticking source keeps the blocking iteration from sleeping past the deadline.
  const guint tick = g_timeout_add(
      20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool ok = done();
  while (!ok && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
    ok = done();
  }
  g_source_remove(tick);
  return ok;
}

BrowserTest::BrowserTest() = default;
BrowserTest::~BrowserTest() = default;

void BrowserTest::SetUpTestSuite() {
  auto& shared = TheShared();
  if (shared) return;
  // GTK's accessibility bridge is not under test here, and the allocations it keeps for the life
  // of the process read as leaks to the sanitizer.
  g_setenv("NO_AT_BRIDGE", "1", TRUE);
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "no X display: run the browser tests under xvfb-run -a";
  HeadlessLoop::Install();
  shared = std::make_unique<Shared>();
  g_autofree gchar* folder = g_dir_make_tmp("qrv-frame-XXXXXX", nullptr);
  ASSERT_NE(folder, nullptr);
  shared->folder = folder;
  shared->server = std::make_unique<PageServer>();
  DeployConfig deploy;
  const std::string host = shared->server->host();
  deploy.site = deploy.interface = deploy.game = deploy.stat = deploy.account = deploy.forum = deploy.pay =
      host;
  deploy.domain = "127.0.0.1";
  deploy.service = shared->server->Url("/service");
  shared->web = std::make_unique<WebContext>(deploy, "");
  shared->engine = std::make_unique<BrowserEngine>(
      WebEngineFolders{shared->folder + "/data/webkit", shared->folder + "/data/webkit-cache"}, *shared->web);
}

PageServer& BrowserTest::server() { return *TheShared()->server; }
WebContext& BrowserTest::web() { return *TheShared()->web; }
BrowserEngine& BrowserTest::engine() { return *TheShared()->engine; }

void BrowserTest::SetUp() {
  ASSERT_TRUE(TheShared()) << "the shared browser set-up failed";
  toplevel_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(toplevel_), 1000, 700);
  gtk_window_move(GTK_WINDOW(toplevel_), 0, 0);
  fixed_ = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(toplevel_), fixed_);
  gtk_widget_show_all(toplevel_);
  host_ = std::make_unique<ScopedBrowserHost>([this](HWND) {
    ++host_lookups_;
    return GTK_CONTAINER(fixed_);
  });
  opener_ = std::make_unique<ScopedBrowserOpener>([this](const std::string& uri) {
    opened_.push_back(uri);
    return true;
  });
  capture_ = std::make_unique<DebugCapture>();
  parent_ = std::make_unique<ParentWindow>();
}

void BrowserTest::TearDown() {
  views_.clear();
  parent_.reset();
  capture_.reset();
  opener_.reset();
  host_.reset();
  if (toplevel_ != nullptr) gtk_widget_destroy(toplevel_);
  toplevel_ = fixed_ = nullptr;
}

HWND BrowserTest::parent_hwnd() const { return parent_->hwnd(); }

CMyHtmlView& BrowserTest::MakeView(RECT rect) {
  views_.push_back(std::make_unique<CMyHtmlView>(web()));
  CMyHtmlView& view = *views_.back();
  EXPECT_NE(view.Create(parent_->hwnd(), rect, CMyHtmlView::kFirstViewId), nullptr);
  return view;
}

bool BrowserTest::WaitForLoad(CMyHtmlView& view) {
  return WaitUntil([&] {
    BrowserWebView* browser = WebViewOf(view);
    if (browser == nullptr) return false;
    WebKitWebView* widget = browser->widget();
    return webkit_web_view_get_uri(widget) != nullptr && !webkit_web_view_is_loading(widget) &&
           webkit_web_view_get_estimated_load_progress(widget) >= 1.0;
  });
}

bool BrowserTest::LoadPage(CMyHtmlView& view, const std::string& url) {
  view.Navigate2(url);
  // The load starts once the cookie mirror has settled; wait for this address, then its end.
  const bool started = WaitUntil([&] { return view.browser() != nullptr && view.browser()->uri() == url; });
  return started && WaitForLoad(view) && RunScript(view, "document.readyState") == "complete";
}

std::string BrowserTest::RunScript(CMyHtmlView& view, const std::string& script) {
  if (view.browser() == nullptr) return "";
  auto result = std::make_shared<ScriptResult>();
  webkit_web_view_evaluate_javascript(WebViewOf(view)->widget(), script.c_str(), -1, nullptr, nullptr, nullptr,
                                      &OnScriptDone, new std::shared_ptr<ScriptResult>(result));
  WaitUntil([&] { return result->done; });
  return result->text;
}

bool BrowserTest::CentreOf(CMyHtmlView& view, const std::string& selector, double* x, double* y) {
  const std::string text =
      RunScript(view, "(function () { var r = document.querySelector('" + selector +
                          "').getBoundingClientRect();"
                          " return (r.left + r.width / 2) + ' ' + (r.top + r.height / 2); })()");
  return std::sscanf(text.c_str(), "%lf %lf", x, y) == 2;
}

void BrowserTest::Click(CMyHtmlView& view, double x, double y, guint button) {
  GtkWidget* widget = GTK_WIDGET(WebViewOf(view)->widget());
  GdkWindow* window = gtk_widget_get_window(widget);
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(widget)));
  int root_x = 0;
  int root_y = 0;
  gdk_window_get_origin(window, &root_x, &root_y);
  static guint32 time = 1000;
  for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(window));
    // Far apart in time, so no two clicks make a double click.
    time += 1000;
    event->button.time = time;
    event->button.x = x;
    event->button.y = y;
    event->button.x_root = root_x + x;
    event->button.y_root = root_y + y;
    event->button.button = button;
    event->button.state = type == GDK_BUTTON_RELEASE ? (GDK_BUTTON1_MASK << (button - 1)) : 0;
    gdk_event_set_device(event, pointer);
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
}

std::vector<std::string> BrowserTest::ClickLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : capture_->Lines()) {
    if (line.rfind("单击事件:", 0) == 0) lines.push_back(line);
  }
  return lines;
}

}  // namespace qrv::test
