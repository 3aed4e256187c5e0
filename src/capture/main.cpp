// ScreenCap, the launcher's screen-capture companion, started by the toolbar's scissors and the
// capture hotkey. On X11 it freezes the screen in a full-screen overlay where the player chooses
// a rectangle or a window; in a Wayland session it asks the desktop portal, which shows the
// desktop's own capture. The picture is saved, put on the clipboard and announced (see
// capture_delivery.h). A capture started while another is open ends at once.

#include <gtk/gtk.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "capture/capture_delivery.h"
#include "capture/capture_lock.h"
#include "capture/capture_overlay.h"
#include "capture/frozen_screen.h"
#include "capture/portal_screenshot.h"

namespace {

using qrv::capture::CaptureDelivery;
using qrv::capture::CaptureLock;

bool InWaylandSession() {
  const char* display = g_getenv("WAYLAND_DISPLAY");
  return (display != nullptr && display[0] != '\0') ||
         g_strcmp0(g_getenv("XDG_SESSION_TYPE"), "wayland") == 0;
}

// The desktop portal shows the desktop's own capture and hands back a file.
void CaptureThroughPortal(CaptureLock& lock, CaptureDelivery& delivery) {
  qrv::capture::PortalScreenshot::Request([&lock, &delivery](const qrv::capture::PortalAnswer& answer) {
    lock.Release();
    using Outcome = qrv::capture::PortalAnswer::Outcome;
    if (answer.outcome == Outcome::kTaken) delivery.DeliverPortalFile(answer.uri);
    if (answer.outcome == Outcome::kFailed) delivery.ReportFailure(answer.error);
    delivery.QuitWhenDone();
  });
}

// The overlay over the frozen X11 screen; the overlay and the picture live until the main loop
// ends.
void CaptureOnX11(CaptureLock& lock, CaptureDelivery& delivery, qrv::capture::FrozenScreen& frozen,
                  std::unique_ptr<qrv::capture::CaptureOverlay>& overlay) {
  if (!qrv::capture::FreezeScreen(gdk_display_get_default(), frozen)) {
    lock.Release();
    delivery.ReportFailure("无法读取屏幕画面");
    delivery.QuitWhenDone();
    return;
  }
  overlay = std::make_unique<qrv::capture::CaptureOverlay>(
      frozen, [&lock, &delivery, &frozen](std::optional<qrv::capture::PixelRect> chosen) {
        if (chosen) {
          g_autoptr(GdkPixbuf) picture = frozen.Crop(*chosen);
          delivery.DeliverPicture(picture);
        }
        lock.Release();
        delivery.QuitWhenDone();
      });
  overlay->Show();
}

}  // namespace

int main(int argc, char** argv) {
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "ScreenCap：无法打开显示\n");
    return 1;
  }
  CaptureLock lock;
  if (!lock.TryAcquire()) {
    std::fprintf(stderr, "ScreenCap：已有截图正在进行，不再打开第二个\n");
    return 0;
  }
  CaptureDelivery delivery;
  qrv::capture::FrozenScreen frozen;
  std::unique_ptr<qrv::capture::CaptureOverlay> overlay;
  if (InWaylandSession()) {
    CaptureThroughPortal(lock, delivery);
  } else {
    CaptureOnX11(lock, delivery, frozen, overlay);
  }
  gtk_main();
  return 0;
}
