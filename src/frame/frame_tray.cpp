// The main frame's tray icon.

#include "frame/frame_tray.h"

#include <gio/gio.h>

#include <span>

#include "app/frame_messages.h"
#include "platform/messages.h"
#include "platform/tray.h"

namespace qrv {
namespace {

// The program's icon, compiled into the program.
constexpr const char* kIconResource = "/com/zelto/qrv/icons/app_48.png";

}  // namespace

void FrameTray::Add(HWND frame) {
  if (shown_) return;
  g_autoptr(GBytes) bytes = g_resources_lookup_data(kIconResource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  std::span<const std::uint8_t> png;
  if (bytes != nullptr) {
    gsize size = 0;
    const auto* data = static_cast<const std::uint8_t*>(g_bytes_get_data(bytes, &size));
    png = std::span<const std::uint8_t>(data, size);
  }
  shown_ = TrayIcon::Get().Add(frame, kMsgTrayCallback, kTip, png);
}

void FrameTray::Remove(HWND frame) {
  if (!shown_) return;
  TrayIcon::Get().Remove(frame);
  shown_ = false;
}

}  // namespace qrv
