#include "frame/more_ui.h"

#include <memory>

#include "app/frame_messages.h"
#include "frame/frame_addresses.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "tools/boss_set_ui.h"
#include "tools/flash_repair_ui.h"
#include "tools/repair_tool.h"
#include "tools/system_set_ui.h"

namespace qrv {
namespace {

// The window of `hwnd` as a T, while it exists.
template <class T>
T* ToolOf(HWND hwnd) {
  if (hwnd == nullptr || !IsWindow(hwnd)) return nullptr;
  return dynamic_cast<T*>(CWindowWnd::FromHandle(hwnd));
}

}  // namespace

CMoreUI::CMoreUI(MorePanelDeps deps)
    : CSkinnedWindow("moreui.xml", Lifetime::kDeletesItself),
      deps_(std::move(deps)),
      hidden_view_(deps_.services.web) {}

CMoreUI::~CMoreUI() = default;

CSystemSetUI* CMoreUI::settings_window() const { return ToolOf<CSystemSetUI>(settings_); }
CBossSetUI* CMoreUI::boss_window() const { return ToolOf<CBossSetUI>(boss_); }
CFlashRepairUI* CMoreUI::flash_window() const { return ToolOf<CFlashRepairUI>(flash_); }
CRepairTool* CMoreUI::cleaner_window() const { return ToolOf<CRepairTool>(cleaner_); }

LRESULT CMoreUI::OnCreate() {
  // The buttons are told apart by name when clicked; looking them up here checks the layout has
  // every one.
  for (const char* name : {"bnclock", "bnset", "bnboss", "bnfeedback", "bnflashrepair", "bnclear"})
    FindControl<CButtonUI>(name);
  // A view of no size: it never shows a page, it only hands the feedback page to the system's
  // browser.
  hidden_view_.Create(hwnd_, RECT{0, 0, 0, 0}, CMyHtmlView::kFirstViewId);
  return 0;
}

LRESULT CMoreUI::OnMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  if (msg == WM_MOUSELEAVE) {
    // The panel goes when the pointer leaves it. A panel that opens under the pointer also hears
    // a leave when the pointer crosses into a window inside it (its hidden browser view), so the
    // pointer's place decides.
    if (!GetWindowRect(hwnd_).Contains(WindowSystem::Get().CursorPos())) ShowWindow(false);
    // The toolkit still hears that the mouse left (hover states end).
    return 0;
  }
  if (msg == kMsgOpenSettings) {
    OpenSettings();
    handled = true;
  }
  return 0;
}

void CMoreUI::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyClick && msg.pSender != nullptr) OnClick(msg.pSender->GetName());
}

void CMoreUI::OnClick(const std::string& name) {
  if (name == "bnclock") {
    AskForAlarmList();
  } else if (name == "bnset") {
    OpenSettings();
  } else if (name == "bnboss") {
    OpenBossKey();
  } else if (name == "bnfeedback") {
    OpenFeedback();
  } else if (name == "bnflashrepair") {
    OpenFlashRepair();
  } else if (name == "bnclear") {
    OpenCacheCleaner();
  }
}

HWND CMoreUI::CreateTool(CSkinnedWindow* window) {
  const RECT here = GetWindowRect(hwnd_);
  // Made hidden and centred first, so it never shows at the panel's corner on the way.
  const HWND hwnd = window->Create(WindowSystem::Get().Parent(hwnd_), "", kPopupStyle & ~WS_VISIBLE, 0,
                                   here.left, here.top, 0, 0);
  if (hwnd != nullptr) window->CenterWindow();
  return hwnd;
}

void CMoreUI::AskForAlarmList() {
  const HWND parent = WindowSystem::Get().Parent(hwnd_);
  if (parent == nullptr) return;
  ::qrv::PostMessage(parent, kMsgOpenAlarmList, 0, std::make_unique<RECT>(GetWindowRect(hwnd_)));
}

void CMoreUI::OpenSettings() {
  CSystemSetUI* window = settings_window();
  if (window != nullptr) {
    window->Reopen();
  } else {
    StatBeacon& beacon = deps_.services.beacon;
    window = new CSystemSetUI(SystemSetDeps{deps_.services.settings,
                                            [&beacon](std::string_view code) { beacon.Send(code); },
                                            deps_.services.paths.autostart, deps_.hotkeys});
    settings_ = CreateTool(window);
    if (settings_ == nullptr) return;
  }
  window->ShowWindow(true, true);
}

void CMoreUI::OpenBossKey() {
  CBossSetUI* window = boss_window();
  if (window != nullptr) {
    window->CenterWindow();
    window->ShowInForce();
  } else {
    StatBeacon& beacon = deps_.services.beacon;
    window = new CBossSetUI(
        deps_.services.settings, [&beacon](std::string_view code) { beacon.Send(code); }, deps_.hotkeys);
    boss_ = CreateTool(window);
    if (boss_ == nullptr) return;
  }
  window->ShowWindow(true, true);
}

void CMoreUI::OpenFeedback() {
  if (hidden_view_.GetHWND() == nullptr) return;
  hidden_view_.Navigate2(FeedbackPageAddress(deps_.services.web.deploy().site, account_), navOpenInNewWindow);
}

void CMoreUI::OpenFlashRepair() {
  CFlashRepairUI* window = flash_window();
  if (window != nullptr) {
    window->CenterWindow();
    // A run still going is shown as it is.
    if (window->steps() == 0) window->Reset();
  } else {
    window = new CFlashRepairUI();
    flash_ = CreateTool(window);
    if (flash_ == nullptr) return;
  }
  window->ShowWindow(true, true);
}

void CMoreUI::OpenCacheCleaner() {
  CRepairTool* window = cleaner_window();
  if (window != nullptr) {
    window->CenterWindow();
    window->Reset();
  } else {
    window = new CRepairTool(deps_.cache_targets);
    cleaner_ = CreateTool(window);
    if (cleaner_ == nullptr) return;
  }
  window->ShowWindow(true, true);
}

void CMoreUI::HideWindows() {
  for (const HWND hwnd : {settings_, boss_, flash_, cleaner_}) {
    if (hwnd != nullptr && IsWindow(hwnd)) qrv::ShowWindow(hwnd, SW_HIDE);
  }
}

}  // namespace qrv
