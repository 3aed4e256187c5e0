// zelto_qrv: the launcher's program. It puts the real platform (GTK windows on GLib's loop) under
// the application, starts the automation interface when asked to, and runs start-up.
// `zelto_qrv --version` prints the version and ends; no other argument is read.

#include <glib.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "app/build_info.h"
#include "app/frame_messages.h"
#include "app/program_paths.h"
#include "automation/automation_commands.h"
#include "automation/automation_server.h"
#include "browser/web_engine.h"
#include "frame/game_hand_off.h"
#include "frame/key_hook.h"
#include "login/login_dlg.h"
#include "platform/gtk/gtk_docking.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/gtk/gtk_windows.h"
#include "platform/portal_shortcuts.h"
#include "platform/process.h"
#include "platform/tray.h"
#include "ui/render/texts_ahead.h"
#include "ui/resources/pictures_ahead.h"
#include "webapi/platform_api.h"
#include "webapi/platform_service.h"

namespace {

// Every window carries the program's icon (_NET_WM_ICON) in every size the program holds, so
// window switchers and docks show it whether or not the icon theme has it (a portable folder).
// Decoded on a thread of their own while GTK starts; read as PNG without sniffing their type,
// which would load the whole MIME database.
std::vector<GdkPixbuf*> DecodeWindowIcons() {
  std::vector<GdkPixbuf*> icons;
  for (const int size : {16, 48, 64, 128, 256}) {
    const std::string resource = "/com/zelto/qrv/icons/app_" + std::to_string(size) + ".png";
    g_autoptr(GBytes) bytes = g_resources_lookup_data(resource.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    g_autoptr(GdkPixbufLoader) loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    if (bytes == nullptr || loader == nullptr) continue;
    const bool written = gdk_pixbuf_loader_write_bytes(loader, bytes, nullptr);
    if (gdk_pixbuf_loader_close(loader, nullptr) && written) {
      if (GdkPixbuf* icon = gdk_pixbuf_loader_get_pixbuf(loader)) icons.push_back(GDK_PIXBUF(g_object_ref(icon)));
    }
  }
  return icons;
}

void SetWindowIcons(const std::vector<GdkPixbuf*>& icons) {
  GList* list = nullptr;
  for (GdkPixbuf* icon : icons) list = g_list_append(list, icon);
  gtk_window_set_default_icon_list(list);
  // GTK hands the default icons to the windows made from now on, and to those that had taken the
  // default icons before; a window shown while there were none keeps none: give it them.
  GList* windows = gtk_window_list_toplevels();
  for (GList* window = windows; window != nullptr; window = window->next) {
    GList* own = gtk_window_get_icon_list(GTK_WINDOW(window->data));  // a copy of the list
    if (own == nullptr) gtk_window_set_icon_list(GTK_WINDOW(window->data), list);
    g_list_free(own);
  }
  g_list_free(windows);
  g_list_free_full(list, g_object_unref);
}

// Gives the windows their icons once the loop is idle, which is after the first window's first
// frame: a window's icons go to the X server in every size at once (some 2 ms of the UI thread
// for the five sizes), and nothing of them shows in the window itself.
void SetWindowIconsWhenIdle(std::future<std::vector<GdkPixbuf*>> decoding) {
  using Decoding = std::future<std::vector<GdkPixbuf*>>;
  g_idle_add_full(
      G_PRIORITY_LOW,
      [](gpointer data) {
        SetWindowIcons(static_cast<Decoding*>(data)->get());
        return G_SOURCE_REMOVE;
      },
      new Decoding(std::move(decoding)), [](gpointer data) { delete static_cast<Decoding*>(data); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %s\n", qrv::kCommandName, qrv::kVersion);
    return 0;
  }
  // Both names of every window's WM_CLASS are "zelto-qrv", however the program was started, so
  // the desktop entry's StartupWMClass groups the windows under its icon.
  g_set_prgname(qrv::kCommandName);
  // The launcher draws its windows with cairo and needs no GL of GTK's: without it GTK does not
  // probe the GL visuals at start-up, which maps the GL driver and its compiler (some 50 MiB)
  // and delays the first frame. The web views' pages keep their WebGL: the web engine's own
  // processes make their GL contexts themselves (bench/startup.sh measures a WebGL page both
  // ways). A player's own setting wins.
  g_setenv("GDK_GL", "disable", FALSE);
  qrv::PrepareBrowserEnvironment();
  // The automation socket is bound before GTK starts threads of its own: binding sets the
  // process-wide umask for a moment (automation_server.cpp). Its commands run on the main loop.
  auto automation = qrv::AutomationServer::StartFromEnvironment();
  // The marker file in the program folder decides between the portable and the installed layout.
  qrv::ProgramPaths paths = qrv::ProgramPaths::ForProgram(qrv::ProgramPath());
  // While GTK connects to the display, other threads decode the login window's pictures and the
  // window icons, and lay out its texts: the login window's first paint then finds them ready.
  qrv::ui::TextsAhead::Start(paths.skin_archive, qrv::CLoginDlg::kLayout);
  qrv::ui::PicturesAhead::Start(paths.skin_archive, qrv::CLoginDlg::kLayout);
  auto icons = std::async(std::launch::async, DecodeWindowIcons);
  if (!qrv::InstallGtkPlatform()) {
    std::fprintf(stderr, "zelto_qrv: cannot open the display\n");
    return 1;
  }
  // GTK's start derives the class from the program name ("Zelto-qrv"); windows made from now on
  // take this one.
  gdk_set_program_class(qrv::kCommandName);
  SetWindowIconsWhenIdle(std::move(icons));
  // The main frame binds its two hotkeys through the desktop's shortcut service where the session
  // offers one (a Wayland session grabs no keys for X11 programs), and grabs them otherwise.
  qrv::PortalShortcuts::Install();
  // Other programs dock their windows into the main frame through these two messages.
  if (auto* docking = qrv::GtkDockingWindows::Current())
    docking->SetMessages(qrv::kMsgDockWindow, qrv::kMsgDockedCaption);
  // The main frame's keyboard hook is the toplevel's key preview: it sees keys before the browser.
  qrv::SetKeyHookInstaller([](qrv::HWND toplevel, qrv::KeyPreviewHook hook) {
    if (auto* windows = qrv::GtkWindows::Current()) windows->SetKeyPreview(toplevel, std::move(hook));
  });
  // Message boxes are GTK dialogs; automation reads their question from the window system.
  qrv::SetWindowTextSource([](qrv::HWND hwnd) {
    auto* windows = qrv::GtkWindows::Current();
    return windows != nullptr ? windows->MessageBoxText(hwnd) : std::string();
  });

  // One client of the platform's interface for the whole process: it keeps what the last login
  // sent, which every later exit notice repeats. Its requests run off the UI thread.
  std::unique_ptr<qrv::PlatformApi> platform_api;
  std::unique_ptr<qrv::PlatformService> platform;
  // Takes the player from the login window to the server list window and the main frame.
  std::unique_ptr<qrv::GameHandOff> hand_off;
  // An installed program's icon is in the icon theme: tray hosts that draw themed icons use it.
  qrv::TrayIcon::Get().SetThemeIconName(paths.icon_name);
  qrv::CMyWebApp app(std::move(paths), [&](qrv::AppServices& services) -> qrv::CWindowWnd* {
    // The web engine is made by the first view that shows a page (the main frame's game page):
    // the login window starts no web process.
    qrv::SetWebEngineFolders({services.paths.web_data, services.paths.web_cache});
    platform_api = std::make_unique<qrv::PlatformApi>(services.web);
    platform = std::make_unique<qrv::PlatformService>(*platform_api);
    // Before the process ends at the player's request, the exit notice (at most two seconds) and
    // the last statistics events (at most half a second) go out.
    qrv::SetLastStepsBeforeExit([&platform, &services] {
      platform->WaitForExitNotice();
      services.beacon.WaitSent(std::chrono::milliseconds(500));
    });
    hand_off = std::make_unique<qrv::GameHandOff>(qrv::FrameDeps{services, *platform});
    return new qrv::CLoginDlg(services, *platform, hand_off.get());
  });
  app.InitInstance();
  // The platform's lanes stop (and their threads end) while the services they use still exist.
  qrv::SetLastStepsBeforeExit(nullptr);
  hand_off.reset();
  platform.reset();
  platform_api.reset();
  return app.exit_code();
}
