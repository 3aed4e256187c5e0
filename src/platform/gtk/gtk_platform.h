#pragma once
// The GTK back end of the platform core in one call. Programs call it once at start; tests call
// it in their fixtures.

namespace qrv {

// Initialises GTK on its X11 back end (GDK_BACKEND=x11 unless the environment says otherwise:
// window positions and key grabs need X11) and installs the GTK loop into the message core, the
// GTK windows, hotkeys, tray icon and date picker, and desktop notifications over D-Bus. Returns
// false, installing nothing, when there is no display to open.
bool InstallGtkPlatform();

}  // namespace qrv
