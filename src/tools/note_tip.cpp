#include "tools/note_tip.h"

#include <chrono>

#include "platform/messages.h"

namespace qrv {
namespace {

// Black around the bubble is see-through; the bubble itself is nearly opaque.
constexpr std::uint32_t kColorKey = 0x000000;
constexpr std::uint8_t kOpacity = 250;
constexpr std::uintptr_t kTickTimerId = 1;

}  // namespace

CNoteTip::~CNoteTip() { StopTicker(); }

LRESULT CNoteTip::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: {
      WindowSystem& windows = WindowSystem::Get();
      BuildSkin(pm_, "notetipui.xml", this);
      windows.SetLayered(hwnd_, kColorKey, kOpacity);
      StartTicker();
      return 0;
    }
    case WM_NCPAINT:
      return 0;
    case WM_TIMER:
      // Every tick counts, whatever its id: the tip has no other timer.
      if (++ticks_ >= kClosingTick) Close();
      return 0;
    case WM_DESTROY:
      StopTicker();
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CNoteTip::StartTicker() {
  ticker_.Start(hwnd_, kTickTimerId, std::chrono::milliseconds(kTickMs), kTicksPosted);
}

void CNoteTip::StopTicker() { ticker_.Stop(); }

}  // namespace qrv
