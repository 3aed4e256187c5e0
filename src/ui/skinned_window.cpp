#include "ui/skinned_window.h"

#include <utility>

#include "platform/messages.h"

namespace qrv {
namespace {

std::vector<ControlLookupMiss>& LookupMisses() {
  static std::vector<ControlLookupMiss> misses;
  return misses;
}

}  // namespace

LRESULT CSkinnedWindow::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  bool handled = false;
  if (msg == WM_CREATE) {
    // A window may still refuse or handle its own creation message first (nothing else of the
    // window exists yet at that point).
    const LRESULT early = OnMessage(msg, wparam, lparam, handled);
    if (handled) return early;
    BuildSkin(pm_, layout_, this, builder_callback_);
    creating_ = true;
    const LRESULT created = OnCreate();
    creating_ = false;
    return created;
  }
  const LRESULT own = OnMessage(msg, wparam, lparam, handled);
  if (handled) return own;
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

LRESULT CSkinnedWindow::OnMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

std::vector<ControlLookupMiss> CSkinnedWindow::TakeLookupMisses() { return std::exchange(LookupMisses(), {}); }

void CSkinnedWindow::NoteLookupMiss(const std::string& name, const std::type_info& type, bool wrong_type) const {
  // Windows whose layout is text of their own (not a file of the skin) are not the skin's concern.
  if (layout_.empty() || layout_.front() == '<') return;
  LookupMisses().push_back(ControlLookupMiss{layout_, name, type.name(), wrong_type});
}

bool CSkinnedWindow::StartDragInBand(LPARAM lparam, int band_width, int band_height) {
  const POINT pt = PointFromLparam(lparam);
  if (pt.x >= band_width || pt.y >= band_height) return false;
  PostMessage(WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION), lparam);
  return true;
}

void CSkinnedWindow::OnFinalMessage(HWND) {
  OnWindowGone();
  if (lifetime_ == Lifetime::kDeletesItself) delete this;
}

}  // namespace qrv
