#include "servers/server_list_ui.h"

#include <charconv>
#include <memory>

#include "app/frame_messages.h"
#include "platform/messages.h"
#include "servers/server_lookup.h"

namespace qrv {
namespace {

// The number after a name's prefix ("page3" gives 3); 0 when no digits follow.
int NumberAfter(const std::string& name, std::size_t prefix_length) {
  int number = 0;
  const char* begin = name.data() + prefix_length;
  std::from_chars(begin, name.data() + name.size(), number);
  return number;
}

}  // namespace

CServerListUI::CServerListUI(ServerListSetup setup)
    : CSkinnedWindow("serlistui.xml", Lifetime::kDeletesItself), setup_(std::move(setup)) {
  if (setup_.owner_window != nullptr) owner_window_hwnd_ = setup_.owner_window->GetHWND();
}

LRESULT CServerListUI::OnCreate() {
  WindowSystem& windows = WindowSystem::Get();
  windows.SetLayered(hwnd_, kColorKey, kOpacity);
  if (owner_window_hwnd_ == nullptr && setup_.owner_window != nullptr) {
    owner_window_hwnd_ = setup_.owner_window->GetHWND();
  }

  // Only the main frame's list can be closed without a choice: the login window's list is the
  // way on from the login window, which hides nothing behind it.
  if (setup_.mode == kModeMainFrame) {
    if (CControlUI* close = FindControl("bnclose")) close->SetVisible(true);
  }
  section_ = 0;
  page_ = 1;
  FillList();
  BuildPagingBar();
  BuildRecentServers();
  BuildRecommendedServers();
  return 0;
}

bool CServerListUI::StartsDrag(POINT pt) const {
  if (pt.y >= kDragBandHeight || pt.x >= kDragBandRight) return false;
  const bool on_close = pt.x >= kCloseSquare.left && pt.x <= kCloseSquare.right && pt.y >= kCloseSquare.top &&
                        pt.y <= kCloseSquare.bottom;
  return !on_close;
}

LRESULT CServerListUI::OnMessage(UINT msg, WPARAM, LPARAM lparam, bool& handled) {
  switch (msg) {
    case WM_NCPAINT:
      handled = true;
      return 0;
    case WM_LBUTTONDOWN:
      if (StartsDrag(PointFromLparam(lparam))) {
        PostMessage(WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION), lparam);
        handled = true;
      }
      return 0;
    default:
      return 0;
  }
}

void CServerListUI::Notify(TNotifyUI& msg) {
  CControlUI* sender = msg.pSender;
  if (sender == nullptr) return;
  const std::string& name = sender->GetName();
  if (msg.sType == "click") {
    OnClick(sender);
  } else if (msg.sType == "killfocus") {
    if (name.starts_with("tab")) {
      if (auto* option = dynamic_cast<COptionUI*>(sender)) option->Selected(false);
    }
  } else if (msg.sType == "setfocus") {
    if (name == "edserid" && sender->GetText() == "如100") sender->SetText("");
  }
}

void CServerListUI::OnClick(CControlUI* sender) {
  const std::string& name = sender->GetName();
  if (name == "bnclose") {
    Close();
  } else if (name == "pagepre") {
    PreviousPage();
  } else if (name == "pagenext") {
    NextPage();
  } else if (name.starts_with("page")) {
    ShowPage(NumberAfter(name, 4));
  } else if (name.starts_with("tab")) {
    ShowSection(NumberAfter(name, 3));
  } else if (name == "bngo") {
    SearchByNumber();
  } else if (name.starts_with("serbutton") || name.starts_with("zjbutton") || name.starts_with("tjbutton") ||
             name.starts_with("bnzuixin")) {
    ChooseByButton(sender);
  }
}

void CServerListUI::SearchByNumber() {
  CControlUI* field = FindControl("edserid");
  if (field == nullptr) return;
  if (auto found = FindServerByLookup(ServerNumberTag(field->GetText()), setup_.servers)) Choose(*found);
}

void CServerListUI::ChooseByButton(CControlUI* button) {
  if (!button->IsEnabled()) return;
  // The buttons this window made carry their server's position (plus one); a button without one
  // is found by the tag in its text.
  const std::uintptr_t tag = button->GetTag();
  if (tag != 0 && tag <= setup_.servers.size()) {
    Choose(tag - 1);
    return;
  }
  if (auto found = FindServerByLookup(ServerLookupText(button->GetText()), setup_.servers)) Choose(*found);
}

void CServerListUI::Choose(std::size_t index) {
  if (chosen_ || index >= setup_.servers.size()) return;
  const ServerEntry server = setup_.servers[index];
  const HWND self = hwnd_;

  if (setup_.mode == kModeLogin) {
    if (!setup_.open_main_frame || !setup_.open_main_frame(server)) return;
    // Opening the frame may have taken this window down with the login window.
    if (!IsWindow(self) || CWindowWnd::FromHandle(self) != this) return;
    // The login window is closed through its handle, and only while the handle is still that
    // window: the object behind a stale pointer must never be touched.
    const HWND login = owner_window_hwnd_;
    if (login != nullptr && IsWindow(login) && CWindowWnd::FromHandle(login) == setup_.owner_window) {
      WindowSystem& windows = WindowSystem::Get();
      windows.Show(login, SW_HIDE);
      if (const HWND parent = windows.Parent(login); parent != nullptr && IsWindow(parent)) {
        windows.Show(parent, SW_HIDE);
      }
      ::qrv::PostMessage(login, WM_CLOSE, static_cast<WPARAM>(IDOK), 0);
    }
  } else if (setup_.mode == kModeMainFrame && setup_.owner_hwnd != nullptr) {
    // The chosen server travels as an owning payload in lParam (the message's wParam carried the
    // block elsewhere): the frame takes it with TakePayload<ServerEntry>, and when the frame has
    // gone before the message arrives the message core frees it.
    ::qrv::PostMessage(setup_.owner_hwnd, kMsgSwitchServer, 0, std::make_unique<ServerEntry>(server));
  }
  chosen_ = true;
  Close();
}

}  // namespace qrv
