// zelto_qrv: the launcher's program. It puts the real platform (GTK windows on GLib's loop) under
// the application, starts the automation interface when asked to, and runs start-up.

#include <glib.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "app/application.h"
#include "app/frame_messages.h"
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
#include "webapi/platform_api.h"
#include "webapi/platform_service.h"

int main() {
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
  if (!qrv::InstallGtkPlatform()) {
    std::fprintf(stderr, "zelto_qrv: cannot open the display\n");
    return 1;
  }
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
  qrv::CMyWebApp app(qrv::ProgramPath(), [&](qrv::AppServices& services) -> qrv::CWindowWnd* {
    // The web engine is made by the first view that shows a page (the main frame's game page):
    // the login window starts no web process.
    qrv::SetWebEngineDataFolder(services.paths.directory + "data");
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
