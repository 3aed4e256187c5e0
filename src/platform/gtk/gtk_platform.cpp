#include "platform/gtk/gtk_platform.h"

#include <gtk/gtk.h>

#include <cstdlib>

#include "platform/dbus_notifier.h"
#include "platform/first_frame.h"
#include "platform/gtk/gtk_date_picker.h"
#include "platform/gtk/gtk_hotkeys.h"
#include "platform/gtk/gtk_loop.h"
#include "platform/gtk/gtk_tray.h"
#include "platform/gtk/gtk_windows.h"

namespace qrv {

bool InstallGtkPlatform() {
  setenv("GDK_BACKEND", "x11", 0);
  if (!gtk_init_check(nullptr, nullptr)) return false;
  FirstFrame::Expect();
  GtkLoop::Install();
  GtkWindows::Install();
  GtkHotkeys::Install();
  GtkTray::Install();
  GtkDatePicker::Install();
  DbusNotifier::Install();
  return true;
}

}  // namespace qrv
