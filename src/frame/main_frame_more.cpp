// The main frame's More panel and its own cache cleaner: the panel is made hidden at start-up
// below "bnmore", which shows and hides it; a click on the frame hides it; the boss key hides it
// with every window it opened. "clearcache" shows and hides a cache cleaner of the frame's own.

#include "browser/web_engine.h"
#include "frame/main_frame.h"
#include "frame/more_ui.h"
#include "platform/messages.h"
#include "tools/repair_tool.h"

namespace qrv {
namespace {

// The panel opens this far below the top of "bnmore"; the cleaner this far left of "clearcache".
constexpr int kMorePanelBelowButton = 43;
constexpr int kCleanerLeftOfButton = 164;
constexpr const char* kCleanerTitle = "玄岚城GM为您服务";

template <class T>
T* WindowOf(HWND hwnd) {
  if (hwnd == nullptr || !IsWindow(hwnd)) return nullptr;
  return dynamic_cast<T*>(CWindowWnd::FromHandle(hwnd));
}

// The web engine's caches, as the cleaners empty them. The engine is the process's own: when no page
// has been shown yet it is made now, in the same data folder, so that only one engine ever uses
// that folder.
CacheTargets EngineCacheTargets(WebContext& web) {
  CacheTargets targets;
  targets.clear_engine_caches = [&web](CacheTargets::EntryRemoved site_cleared, CacheTargets::Finished done) {
    WebEngine* engine = ProcessWebEngine(web);
    if (engine == nullptr) {
      done();
      return;
    }
    engine->ClearCaches(std::move(site_cleared), std::move(done));
  };
  targets.cache_folder = WebEngineCacheFolder();
  return targets;
}

}  // namespace

CMoreUI* CMainFrameWnd::more_panel() const { return WindowOf<CMoreUI>(more_panel_); }
CRepairTool* CMainFrameWnd::cache_cleaner() const { return WindowOf<CRepairTool>(cache_cleaner_); }

POINT CMainFrameWnd::MorePanelPoint(const CControlUI& button) const {
  const RECT pos = button.GetPos();
  return ScreenPointOf(RECT{pos.left, pos.top + kMorePanelBelowButton, pos.right, pos.bottom});
}

void CMainFrameWnd::CreateMorePanel() {
  if (more_panel() != nullptr) return;
  CControlUI* button = FindControl("bnmore");
  if (button == nullptr) return;
  pm_.UpdateLayout();  // the button's place, before the first paint
  const POINT at = MorePanelPoint(*button);
  auto* panel = new CMoreUI(MorePanelDeps{deps_.services, EngineCacheTargets(deps_.services.web),
                                          [this] { return hotkeys_.InForce(); }});
  panel->SetAccount(account_);
  // A panel that cannot be made deletes itself; "bnmore" then does nothing.
  more_panel_ = panel->Create(hwnd_, CMoreUI::kTitle, kPopupStyle & ~WS_VISIBLE, 0, at.x, at.y, 0, 0);
}

void CMainFrameWnd::ToggleMorePanel(CControlUI* button) {
  CMoreUI* panel = more_panel();
  if (panel == nullptr) {
    CreateMorePanel();
    panel = more_panel();
    if (panel == nullptr) return;
  } else if (IsWindowVisible(more_panel_)) {
    panel->ShowWindow(false);
    return;
  }
  const POINT at = MorePanelPoint(*button);
  SetWindowPos(more_panel_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  panel->KeepOnMonitor();
  panel->ShowWindow(true, false);
}

void CMainFrameWnd::HideMorePanelOnPress(UINT msg, LPARAM lparam) {
  CMoreUI* panel = more_panel();
  if (panel == nullptr) return;
  if (msg == WM_LBUTTONDOWN) {
    const CControlUI* pressed = pm_.FindControl(PointFromLparam(lparam));
    if (pressed != nullptr && pressed->GetName() == "bnmore") return;
  }
  panel->ShowWindow(false);
}

void CMainFrameWnd::HideMorePanelAndWindows() {
  if (CMoreUI* panel = more_panel()) {
    panel->HideWindows();
    panel->ShowWindow(false);
  }
  // The frame's own cleaner is one of its pop-ups too: the boss key leaves nothing on screen.
  if (CRepairTool* cleaner = cache_cleaner()) cleaner->ShowWindow(false);
}

void CMainFrameWnd::ToggleCacheCleaner(CControlUI* button) {
  CRepairTool* cleaner = cache_cleaner();
  if (cleaner != nullptr) {
    if (IsWindowVisible(cache_cleaner_)) {
      cleaner->ShowWindow(false);
      return;
    }
    cleaner->Reset();
    cleaner->ShowWindow(true, true);
    return;
  }
  const RECT pos = button->GetPos();
  // Below the button, in screen coordinates of the frame wherever it stands.
  const POINT at = ScreenPointOf(RECT{pos.left - kCleanerLeftOfButton, pos.bottom, pos.right, pos.bottom});
  cleaner = new CRepairTool(EngineCacheTargets(deps_.services.web));
  cache_cleaner_ = cleaner->Create(hwnd_, kCleanerTitle, kPopupStyle & ~WS_VISIBLE, 0, at.x, at.y, 0, 0);
  if (cache_cleaner_ == nullptr) return;
  cleaner->KeepOnMonitor();
  cleaner->ShowWindow(true, true);
}

}  // namespace qrv
