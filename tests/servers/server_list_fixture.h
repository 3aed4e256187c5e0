#pragma once
// The server list window on the headless back end, built from the real skin archive, with
// servers made to order, a stand-in main frame that takes the switch message's payload and a
// stand-in login window.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/frame_messages.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "platform/messages.h"
#include "servers/server_list_ui.h"
#include "ui/ui.h"
#include "support/skin_lookups.h"

namespace qrv::testing {

// Servers numbered from 1: id "<n>", name "玄岚城[<n>服]", code "qrv<n>", double line, open.
inline std::vector<ServerEntry> MakeServers(int count) {
  std::vector<ServerEntry> servers;
  for (int n = 1; n <= count; ++n) {
    const std::string number = std::to_string(n);
    servers.push_back({number, "玄岚城[" + number + "服]", "qrv" + number, "2", "1", "2026-01-01"});
  }
  return servers;
}

// A bare window: the main frame (records the servers of kMsgSwitchServer) or the login window.
class StandInWindow final : public CWindowWnd {
 public:
  explicit StandInWindow(std::string cls) : cls_(std::move(cls)) {}
  std::string GetWindowClassName() const override { return cls_; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == kMsgSwitchServer) {
      if (std::unique_ptr<ServerEntry> server = TakePayload<ServerEntry>(lparam)) received.push_back(*server);
      return 0;
    }
    if (msg == WM_CLOSE) ++closes;
    return CWindowWnd::HandleMessage(msg, wparam, lparam);
  }
  HWND Open() { return Create(nullptr, cls_, WS_POPUP | WS_VISIBLE, 0, 10, 10, 300, 200); }

  std::vector<ServerEntry> received;
  int closes = 0;

 private:
  std::string cls_;
};

class ServerListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
  }
  void TearDown() override {
    testing::ExpectSkinLookupsFound();
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    MessageCore::Uninstall();
  }

  // Opens the list as its openers do: a pop-up sized by its layout, shown.
  CServerListUI* Open(ServerListSetup setup) {
    const char* title = setup.mode == CServerListUI::kModeMainFrame ? "选择服务器" : "玄岚城服务器";
    auto* list = new CServerListUI(std::move(setup));
    EXPECT_NE(
        list->Create(nullptr, title,
                     WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU, 0,
                     0, 0, 200, 80),
        nullptr);
    list_hwnd_ = list->GetHWND();
    loop_->Pump();
    list->paint_manager().UpdateLayout();
    return list;
  }
  CServerListUI* OpenWith(std::vector<ServerEntry> servers, std::string played = "",
                          int mode = CServerListUI::kModeMainFrame) {
    ServerListSetup setup;
    setup.servers = std::move(servers);
    setup.player.played = std::move(played);
    setup.mode = mode;
    return Open(std::move(setup));
  }

  bool ListAlive() const { return IsWindow(list_hwnd_); }

  CControlUI* Find(CServerListUI* list, const std::string& name) {
    return list->paint_manager().FindControl(name);
  }
  CContainerUI* Line(CServerListUI* list, const std::string& name) {
    CControlUI* control = Find(list, name);
    return control == nullptr ? nullptr : static_cast<CContainerUI*>(control->GetInterface("Container"));
  }
  // The button of each item of a line container (item = a layout holding a button and a label).
  std::vector<CButtonUI*> ButtonsOf(CServerListUI* list, const std::string& line_name) {
    std::vector<CButtonUI*> buttons;
    CContainerUI* line = Line(list, line_name);
    if (line == nullptr) return buttons;
    for (int i = 0; i < line->GetCount(); ++i) {
      auto* holder = static_cast<CContainerUI*>(line->GetItemAt(i)->GetInterface("Container"));
      if (holder == nullptr || holder->GetCount() == 0) continue;
      buttons.push_back(static_cast<CButtonUI*>(holder->GetItemAt(0)->GetInterface("Button")));
    }
    return buttons;
  }
  // Texts of the buttons of the paged list, line by line.
  std::vector<std::string> PagedTexts(CServerListUI* list) {
    std::vector<std::string> texts;
    for (int line = 1; line <= CServerListUI::kPagedLines; ++line) {
      for (CButtonUI* button : ButtonsOf(list, "serline" + std::to_string(line)))
        texts.push_back(button->GetText());
    }
    return texts;
  }
  // Names of the buttons of the paging bar, in order.
  std::vector<std::string> PagingBar(CServerListUI* list) {
    std::vector<std::string> names;
    for (CButtonUI* button : ButtonsOf(list, "fangyi")) names.push_back(button->GetName());
    return names;
  }

  // A click as the window system delivers it.
  void Click(CServerListUI* list, CControlUI* control) {
    ASSERT_NE(control, nullptr);
    list->paint_manager().UpdateLayout();
    const RECT r = control->GetPos();
    const LPARAM at = MAKELPARAM(static_cast<std::uint16_t>((r.left + r.right) / 2),
                                 static_cast<std::uint16_t>((r.top + r.bottom) / 2));
    const HWND hwnd = list->GetHWND();
    SendMessage(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessage(hwnd, WM_LBUTTONDOWN, 1, at);
    SendMessage(hwnd, WM_LBUTTONUP, 0, at);
  }
  void Click(CServerListUI* list, const std::string& name) {
    CControlUI* control = Find(list, name);
    ASSERT_NE(control, nullptr) << name;
    Click(list, control);
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  HWND list_hwnd_ = nullptr;
};

}  // namespace qrv::testing
