#include "app/application.h"

#include "app/desktop_entries.h"
#include "platform/message_core.h"
#include "platform/window_system.h"
#include "ui/paint_manager.h"
#include "ui/window_wnd.h"

namespace qrv {

CMyWebApp::CMyWebApp(ProgramPaths paths, FirstWindowFactory first_window)
    : paths_(std::move(paths)), first_window_(std::move(first_window)) {}

void CMyWebApp::PrepareServices() {
  // The toolkit reads every layout and picture from the skin archive in the program folder.
  CPaintManagerUI::SetResourceZip(paths_.skin_archive, false);

  // The folders the program writes into exist before the first write; what cannot be made is
  // told to the player once, and the program runs on with its defaults.
  unusable_folders_ = PrepareFolders(paths_.folders);
  services_ = std::make_unique<AppServices>(paths_);
  SettingsFile& settings = services_->settings;

  if (settings.ReadInt(settings::kShellLink, settings::kShellLinkHas, 1) == 1) {
    CreateDesktopShortcut(paths_.shortcut, kShortcutName);
    // Written whatever the outcome, so the shortcut is tried once per installation.
    settings.WriteText(settings::kShellLink, settings::kShellLinkHas, "0");
  }

  services_->beacon.Bind(services_->web.deploy().stat);
  if (settings.ReadInt(settings::kRunset, settings::kFirst, 0) == 1) {
    services_->beacon.Send("200015");
    settings.WriteText(settings::kRunset, settings::kFirst, "0");
  }
  services_->beacon.Send("200020");

  SetAutostart(settings.ReadInt(settings::kRunset, settings::kAutorun, 1) != 0, paths_.autostart);
}

std::string UnusableFoldersText(const std::vector<std::string>& folders) {
  // One folder a line below the sentence, so the player sees which folder to mend.
  std::string text = kUnusableFoldersText;
  for (const std::string& folder : folders) text += "\n" + folder;
  return text;
}

bool CMyWebApp::InitInstance() {
  PrepareServices();
  if (!unusable_folders_.empty())
    MessageBox(nullptr, UnusableFoldersText(unusable_folders_), kLoginWindowTitle, MB_OK);

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
