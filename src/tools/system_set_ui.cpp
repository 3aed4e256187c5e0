// The settings window: creation, its messages and notifications. The pages' loading and saving
// are in system_set_pages.cpp.

#include "tools/system_set_ui.h"

#include <cstdio>

#include "app/frame_messages.h"
#include "platform/debug_sink.h"
#include "platform/messages.h"

namespace qrv {

CSystemSetUI::CSystemSetUI(SystemSetDeps deps)
    : CSkinnedWindow("syssetui.xml", Lifetime::kDeletesItself), deps_(std::move(deps)) {}

LRESULT CSystemSetUI::OnCreate() {
  switch_ = FindControl<CTabLayoutUI>("switch");
  autorun_ = FindControl<COptionUI>("opautorun");
  autologin_ = FindControl<COptionUI>("opautologin");
  show_top_ = FindControl<COptionUI>("opshowtop");
  minimise_ = FindControl<COptionUI>("opminsize");
  exit_ = FindControl<COptionUI>("opexit");
  update_auto_ = FindControl<COptionUI>("zidonggengxin");
  update_ask_ = FindControl<COptionUI>("tishigengxin");
  capture_state_ = FindControl(kCaptureStateName);
  boss_state_ = FindControl(kBossStateName);
  error_line_ = FindControl(kErrorLineName);
  KeepInsideWorkArea();
  LoadGeneralPage();
  return 0;
}

void CSystemSetUI::KeepInsideWorkArea() {
  const RECT window = GetWindowRect(hwnd_);
  const RECT work = WindowSystem::Get().WorkArea();
  if (window.right <= work.right) return;
  SetWindowPos(hwnd_, nullptr, work.right - kRightEdgeInset - window.Width(), window.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CSystemSetUI::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      handled = StartDragInBand(lparam, kDragBandWidth, kDragBandHeight);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      // Keys belong to the hotkey field that has the focus; the window itself takes none (Tab
      // does not wander through the options).
      CEditEx::RouteKey(pm_, msg, wparam);
      handled = true;
      return 0;
    case WM_CHAR:
      handled = CEditEx::RouteKey(pm_, msg, wparam);
      return 0;
    case kMsgHotkeyAnswer:
      if (auto answer = TakePayload<HotkeyAnswer>(lparam)) OnHotkeyAnswer(*answer);
      handled = true;
      return 0;
    default:
      return 0;
  }
}

void CSystemSetUI::Notify(TNotifyUI& msg) {
  char line[160];
  std::snprintf(line, sizeof line, "------------------------%s------------------------\r\n",
                msg.sType.c_str());
  OutputDebugString(line);
  if (msg.pSender == nullptr) return;
  if (msg.sType == kNotifyClick) {
    OnClick(msg.pSender->GetName());
  } else if (msg.sType == kNotifySelectChanged) {
    auto* option = dynamic_cast<COptionUI*>(msg.pSender);
    if (option == nullptr) return;
    if (option == minimise_) KeepOneOfPair(minimise_, exit_);
    if (option == exit_) KeepOneOfPair(exit_, minimise_);
    if (option == update_auto_) KeepOneOfPair(update_auto_, update_ask_);
    if (option == update_ask_) KeepOneOfPair(update_ask_, update_auto_);
  }
}

void CSystemSetUI::OnClick(const std::string& name) {
  if (name == "bncg") {
    SelectPage(kGeneralPage);
    ShowHotkeyFields(false);
  } else if (name == "bnrj") {
    LoadHotkeyPage();
    ShowHotkeyFields(true);
    SelectPage(kHotkeyPage);
  } else if (name == "bngx") {
    ShowHotkeyFields(false);
    LoadUpdatePage();
    SelectPage(kUpdatePage);
  } else if (name == "bnclose" || name == "bncancle") {
    ShowWindow(false);
  } else if (name == "bnok") {
    if (SaveCurrentPage())
      ShowWindow(false);
    else if (pending_)
      pending_->hide = true;
  } else if (name == "bnapp") {
    SaveCurrentPage();
  }
}

void CSystemSetUI::KeepOneOfPair(COptionUI* changed, COptionUI* other) {
  if (changed == nullptr || other == nullptr) return;
  // Quietly, so that the partner's change does not come back here.
  if (changed->IsSelected())
    other->Selected(false, false);
  else if (!other->IsSelected())
    changed->Selected(true, false);
}

void CSystemSetUI::Reopen() {
  CenterWindow();
  LoadGeneralPage();
  SelectPage(kGeneralPage);
  ShowHotkeyFields(false);
}

int CSystemSetUI::CurrentPage() const { return switch_ != nullptr ? switch_->GetCurSel() : -1; }

void CSystemSetUI::SelectPage(int page) {
  if (switch_ != nullptr) switch_->SelectItem(page);
}

void CSystemSetUI::ShowHotkeyFields(bool show) {
  for (CEditEx* field : {capture_field_, boss_field_}) {
    if (field != nullptr) field->SetVisible(show);
  }
  // The boss key is what players come here for; its field takes the keys.
  if (show && boss_field_ != nullptr) boss_field_->SetFocus();
}

bool CSystemSetUI::SaveCurrentPage() {
  switch (CurrentPage()) {
    case kGeneralPage:
      SaveGeneralPage();
      break;
    case kHotkeyPage:
      return SaveHotkeyPage();
    case kUpdatePage:
      SaveUpdatePage();
      break;
    default:
      break;
  }
  return true;
}

}  // namespace qrv
