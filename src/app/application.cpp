#include "app/application.h"

#include "app/desktop_entries.h"
#include "platform/message_core.h"
#include "platform/window_system.h"
#include "ui/paint_manager.h"
#include "ui/window_wnd.h"

namespace qrv {

CMyWebApp::CMyWebApp(std::string program_path, FirstWindowFactory first_window)
    : program_path_(std::move(program_path)), first_window_(std::move(first_window)) {}

void CMyWebApp::PrepareServices() {
  // The toolkit reads every layout and picture from the skin archive beside the program.
  CPaintManagerUI::SetResourceZip(CPaintManagerUI::GetInstancePath() + "skin/box.bk", false);

  services_ = std::make_unique<AppServices>(ProgramPaths::FromProgramPath(program_path_));
  SettingsFile& settings = services_->settings;

  if (settings.ReadInt(settings::kShellLink, settings::kShellLinkHas, 1) == 1) {
    CreateDesktopShortcut(program_path_, kShortcutName);
    // Written whatever the outcome, so the shortcut is tried once per installation.
    settings.WriteText(settings::kShellLink, settings::kShellLinkHas, "0");
  }

  services_->beacon.Bind(services_->web.deploy().stat);
  if (settings.ReadInt(settings::kRunset, settings::kFirst, 0) == 1) {
    services_->beacon.Send("200015");
    settings.WriteText(settings::kRunset, settings::kFirst, "0");
  }
  services_->beacon.Send("200020");

  SetAutostart(settings.ReadInt(settings::kRunset, settings::kAutorun, 1) != 0, program_path_);
}

bool CMyWebApp::InitInstance() {
  PrepareServices();

  CWindowWnd* login = first_window_ ? first_window_(*services_) : nullptr;
  if (login != nullptr) {
    // The layout gives the size; the window removes its own caption when it is created.
    login->Create(nullptr, kLoginWindowTitle, WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0);
    login->CenterWindow();
    login->ShowWindow(true);
    exit_code_ = CPaintManagerUI::MessageLoop();
  }
  services_->beacon.Close();
  return false;
}

}  // namespace qrv
