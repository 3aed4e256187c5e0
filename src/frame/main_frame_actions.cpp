// The main frame's notifications: the system buttons, the toolbar and the tab strip.

#include <array>
#include <string_view>

#include "net/deploy_config.h"
#include "frame/frame_addresses.h"
#include "frame/main_frame.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "tools/check_dlg.h"

namespace qrv {
namespace {

// The options that pick a page of the tab layout "switch", in page order.
constexpr std::array<std::string_view, 8> kPageOptions = {"examine", "trojan",  "plugins", "vulnerability",
                                                          "rubbish", "cleanup", "fix",     "tool"};

}  // namespace

void CMainFrameWnd::Notify(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  if (msg.sType == "click") {
    OnClick(msg.pSender);
  } else if (msg.sType == "selectchanged") {
    OnTabSelected(msg.pSender);
    const std::string& name = msg.pSender->GetName();
    for (std::size_t page = 0; page < kPageOptions.size(); ++page) {
      if (name != kPageOptions[page]) continue;
      if (pages_ != nullptr) pages_->SelectItem(static_cast<int>(page));
    }
  }
}

void CMainFrameWnd::OnClick(CControlUI* sender) {
  // The sender may be destroyed by what a click does (closing its tab): keep its name.
  const std::string name = sender->GetName();
  StatBeacon& beacon = deps_.services.beacon;
  if (name == "closebtn") {
    OnCloseButton();
  } else if (name == "minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  } else if (name == "maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  } else if (name == "restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  } else if (name == "bnhome") {
    if (first_view_.GetHWND() != nullptr)
      first_view_.Navigate2(HttpAddress(deps_.services.web.deploy().game, "/"), navOpenInNewWindow);
  } else if (name == "bnrefresh") {
    Refresh();
  } else if (name == "bnlock") {
    LockScreen();
    beacon.Send("200009");
  } else if (name == "NewItemBtn") {
    OpenServerList();
  } else if (name == "bnuserinf") {
    ShowUserInfo(sender);
  } else if (name == "bntab") {
    HideTopBand();
  } else if (name == "bnduozhanghao") {
    OpenMultiAccountTab();
  } else if (name == "bnchongzhi") {
    OpenPayPage();
  } else if (name.starts_with(GameTabs::kCloseButtonPrefix)) {
    CloseTab(name);
  } else if (name == "gm_button") {
    OpenBrowserTab("客服助手", "");
    ShowAgentList(sender);
  } else if (name == "bnfull") {
    EnterFullScreen();
  } else if (name == "bncap") {
    StartCapture();
    beacon.Send("200008");
  } else if (name == "bnclock") {
    OpenAlarmListBelow(sender);
  } else if (name == "bnmore") {
    ToggleMorePanel(sender);
  } else if (name == "clearcache") {
    ToggleCacheCleaner(sender);
  }
}

void CMainFrameWnd::OnCloseButton() {
  const int action = deps_.services.settings.ReadInt(settings::kRunset, settings::kExit, 1);
  if (action == 1) {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  } else if (action == 2) {
    CCheckDlg question;
    if (question.DoModal(hwnd_) != IDOK) return;
    tray_.Remove(hwnd_);
    deps_.platform.SendExitNotice();
    // The updater looks for a newer version once the launcher has gone; whether it starts is not
    // examined.
    const Companion& updater = deps_.services.paths.update;
    SpawnCompanion(updater.folder, updater.program);
    EndProgram(0);
  }
}

void CMainFrameWnd::HideTopBand() {
  if (top_band_ != nullptr) top_band_->SetVisible(false);
  if (first_view_.GetHWND() != nullptr) {
    // The view covers the whole frame, where the band was too.
    const RECT client = GetClientRect(hwnd_);
    first_view_.MoveWindow(RECT{0, 0, client.Width(), client.Height()});
  }
}

void CMainFrameWnd::EnterFullScreen() {
  const RECT screen = WindowSystem::Get().ScreenRect();
  const int w = screen.Width();
  const int h = screen.Height();
  SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOZORDER);
  MoveEveryTab(RECT{0, 0, w, h});
  full_screen_ = true;
  deps_.services.beacon.Send("200007");
  OpenRestorePrompt();
}

void CMainFrameWnd::StartCapture() {
  // WM_HOTKEY is refused while this runs, so a second request cannot start a second program.
  capture_busy_ = true;
  const Companion& capture = deps_.services.paths.screen_capture;
  SpawnCompanion(capture.folder, capture.program);
  capture_busy_ = false;
}

void CMainFrameWnd::OpenPayPage() {
  const std::string address = PayPageAddress(deps_.services.web.deploy().account, server_.name, player_.code);
  first_view_.Navigate2(address, navOpenInNewWindow);
  deps_.services.beacon.Send("200010");
}

void CMainFrameWnd::ExitSteps() {
  deps_.platform.SendExitNotice();
  tray_.Remove(hwnd_);
}

void CMainFrameWnd::EndProgram(int code) { ExitProcess(code); }

}  // namespace qrv
