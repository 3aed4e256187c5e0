// zelto_qrv: the launcher's program. It puts the real platform (GTK windows on GLib's loop) under
// the application, starts the automation interface when asked to, and runs start-up.

#include <cstdio>
#include <memory>

#include "app/application.h"
#include "automation/automation_commands.h"
#include "automation/automation_server.h"
#include "browser/browser_engine.h"
#include "login/login_dlg.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/gtk/gtk_windows.h"
#include "platform/process.h"

int main() {
  qrv::PrepareBrowserEnvironment();
  if (!qrv::InstallGtkPlatform()) {
    std::fprintf(stderr, "zelto_qrv: cannot open the display\n");
    return 1;
  }
  auto automation = qrv::AutomationServer::StartFromEnvironment();
  // Message boxes are GTK dialogs; automation reads their question from the window system.
  qrv::SetWindowTextSource([](qrv::HWND hwnd) {
    auto* windows = qrv::GtkWindows::Current();
    return windows != nullptr ? windows->MessageBoxText(hwnd) : std::string();
  });

  // The web engine lives as long as the program, made once the services know the data folder.
  std::unique_ptr<qrv::BrowserEngine> browser_engine;
  qrv::CMyWebApp app(qrv::ProgramPath(), [&](qrv::AppServices& services) -> qrv::CWindowWnd* {
    browser_engine = std::make_unique<qrv::BrowserEngine>(services.paths.directory + "data", services.web);
    return new qrv::CLoginDlg(services);
  });
  app.InitInstance();
  return app.exit_code();
}
