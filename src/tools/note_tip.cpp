#include "tools/note_tip.h"

#include "platform/messages.h"

namespace qrv {
namespace {

// Black around the bubble is see-through; the bubble itself is nearly opaque.
constexpr std::uint32_t kColorKey = 0x000000;
constexpr std::uint8_t kOpacity = 250;

}  // namespace

LRESULT CNoteTip::OnCreate() {
  WindowSystem::Get().SetLayered(hwnd_, kColorKey, kOpacity);
  SetTimer(hwnd_, kTickTimerId, kTickMs);
  return 0;
}

LRESULT CNoteTip::OnMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  switch (msg) {
    case WM_NCPAINT:
      handled = true;
      return 0;
    case WM_TIMER:
      // Every tick counts, whatever its id: the tip has no other timer.
      handled = true;
      if (++ticks_ >= kClosingTick) {
        KillTimer(hwnd_, kTickTimerId);
        Close();
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace qrv
