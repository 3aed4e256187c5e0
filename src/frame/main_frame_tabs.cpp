// Opening and closing the main frame's tabs.

#include <cstring>

#include "frame/main_frame.h"
#include "login/batch_login_ui.h"
#include "platform/messages.h"
#include "platform/process.h"

namespace qrv {
namespace {

// At most `max_bytes` of `text`, never cutting a UTF-8 character in half.
std::string Truncated(std::string text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t end = max_bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

constexpr std::size_t kMaxCaptionBytes = 1023;

}  // namespace

RECT CMainFrameWnd::LaterTabRect() const {
  const RECT work = WindowSystem::Get().WorkArea();
  return RECT{work.left, GameTabs::kLaterTabTop, work.right, work.bottom};
}

void CMainFrameWnd::MoveEveryTab(const RECT& rect) {
  tabs_.ForEachLiveWindow([&](TabRecord& record) { MoveTabWindow(record, rect); });
}

void CMainFrameWnd::OpenBrowserTab(const std::string& caption, const std::string& address) {
  if (const auto existing = tabs_.FindItemWithCaption(caption)) {
    if (qrv::MessageBox(nullptr, kAlreadyOpenQuestion, "进游戏提示", MB_YESNO) == IDYES)
      tabs_.ActivateItem(*existing);
    return;
  }
  auto view = std::make_unique<CMyHtmlView>(deps_.services.web);
  // The window is made before the strip item, so a view that cannot be made leaves no item
  // without a record behind.
  if (view->Create(hwnd_, LaterTabRect(), CMyHtmlView::kBrowserTabId) == nullptr) return;
  if (tabs_.AddStripItem(caption) == nullptr) return;
  if (!address.empty()) view->Navigate2(address);
  TabRecord record;
  record.hwnd = view->GetHWND();
  record.view = view.get();
  record.owned_view = std::move(view);
  record.owned = true;
  AppendTab(std::move(record));
}

void CMainFrameWnd::OpenMultiAccountTab() {
  auto* page = new CBatchLoginUI();
  const RECT work = WindowSystem::Get().WorkArea();
  // A page that cannot be made has gone with its window.
  const HWND hwnd = page->CreatePage(hwnd_, CBatchLoginUI::PageRect(work));
  if (hwnd == nullptr) return;
  if (tabs_.AddStripItem(CBatchLoginUI::kTabTitle) == nullptr) {
    DestroyWindow(hwnd);
    return;
  }
  TabRecord record;
  record.hwnd = hwnd;
  AppendTab(std::move(record));
}

LRESULT CMainFrameWnd::OpenChatTab(std::uint64_t agent_id) {
  const auto agent = KnownAgent(agent_id);
  if (!agent) return 0;
  if (tabs_.FindByAgent(agent_id) != nullptr) return -1;
  const HWND hwnd = MakeChatWindow(*agent, LaterTabRect());
  if (hwnd == nullptr) return 0;
  if (tabs_.AddStripItem("客服" + agent->name) == nullptr) {
    DestroyWindow(hwnd);
    return 0;
  }
  TabRecord record;
  record.hwnd = hwnd;
  record.agent_id = agent_id;
  AppendTab(std::move(record));
  return 0;
}

LRESULT CMainFrameWnd::DockWindow(HWND window) {
  // A handle that names no window (another program's mistake) docks nothing.
  if (window == nullptr || !IsWindow(window) || window == hwnd_) return 0;
  if (tabs_.FindByWindow(window) != nullptr) return 0;
  const std::string caption = Truncated(WindowSystem::Get().Title(window), kMaxCaptionBytes);
  if (tabs_.AddStripItem(caption) == nullptr) return 0;
  TabRecord record;
  record.hwnd = window;
  AppendTab(std::move(record));
  return 0;
}

void CMainFrameWnd::UpdateDockedCaption(HWND window) {
  if (window == nullptr || !IsWindow(window) || tabs_.FindByWindow(window) == nullptr) return;
  if (COptionUI* option = tabs_.OptionOfWindow(window))
    option->SetText(Truncated(WindowSystem::Get().Title(window), kMaxCaptionBytes));
}

void CMainFrameWnd::AppendTab(TabRecord record) {
  tabs_.Append(std::move(record));
  // A tab opened under the screen lock (a chat accepted meanwhile) waits hidden for the unlock.
  if (Locked()) tabs_.HideAll();
}

bool CMainFrameWnd::Locked() const { return lock_hwnd_ != nullptr && IsWindow(lock_hwnd_) && IsWindowVisible(lock_hwnd_); }

void CMainFrameWnd::OnTabSelected(CControlUI* option) {
  auto* tab_option = dynamic_cast<COptionUI*>(option);
  if (tab_option == nullptr || !tab_option->IsSelected()) return;
  const auto tab = tabs_.TabOfOption(tab_option);
  // Nothing of the game shows through the screen lock; the unlock shows the selected tab.
  if (tab && !Locked()) tabs_.ShowOnly(*tab);
}

void CMainFrameWnd::ShowSelectedTab() {
  const auto tab = tabs_.SelectedTab();
  if (tab) {
    tabs_.ShowOnly(*tab);
  } else if (first_view_.GetHWND() != nullptr && !IsWindowVisible(first_view_.GetHWND())) {
    qrv::ShowWindow(first_view_.GetHWND(), SW_SHOW);
  }
}

void CMainFrameWnd::CloseTab(const std::string& button_name) {
  if (button_name == GameTabs::kCloseButtonPrefix && tabs_.count() == 1) {
    if (qrv::MessageBox(hwnd_, kSingleTabQuestion, "玄岚城提示", MB_YESNO) == IDYES) EndProgram(-1);
  }
  tabs_.Close(button_name);
  if (Locked()) tabs_.HideAll();
}

}  // namespace qrv
