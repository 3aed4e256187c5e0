#pragma once
// The server list window: every server of the platform's list in sections of 160, each paged by
// 20 with two servers a line, up to four recently played and four recommended servers beside
// them, a "latest server" button and a search by server number. Choosing a server either opens
// the main frame (mode 1, opened by the login window) or asks the main frame to switch its game
// page (mode 2, message kMsgSwitchServer). The window closes itself after a choice.
//
// Every server button remembers the server it stands for, so a choice always reaches that server,
// also when the button's text cannot name it (a server without a line type shows an empty text,
// and a name without a bracketed tag cannot be found again by its text).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/frame_messages.h"
#include "webapi/records.h"
#include "ui/ui.h"

namespace qrv {

struct ServerListSetup {
  std::vector<ServerEntry> servers;  // in the order of the platform's response
  PlayerProfile player;              // its "played" ids give the recent servers
  std::string account;
  std::string password;
  int mode = 0;                        // 1: opened by the login window; 2: by the main frame
  CWindowWnd* owner_window = nullptr;  // mode 1: the login window (hidden and closed after a choice)
  HWND owner_hwnd = nullptr;           // mode 2: the main frame (gets kMsgSwitchServer)
  // Mode 1: makes and shows the main frame for the chosen server; returns false when it cannot be
  // made (the list then stays open, so the player is never left without a window).
  std::function<bool(const ServerEntry&)> open_main_frame;
};

class CServerListUI final : public CSkinnedWindow {
 public:
  static constexpr int kModeLogin = 1;
  static constexpr int kModeMainFrame = 2;
  static constexpr int kPagedLines = 10;
  // Presses in the header (above y 74, left of x 647) drag the window, except on the close
  // button's square.
  static constexpr int kDragBandHeight = 74;
  static constexpr int kDragBandRight = 647;
  static constexpr RECT kCloseSquare{604, 34, 628, 58};
  // Pure black pixels of the skin are see-through; the whole window is almost opaque.
  static constexpr std::uint32_t kColorKey = 0x000000;
  static constexpr std::uint8_t kOpacity = 250;

  // Made with new; the object deletes itself at its window's final message.
  explicit CServerListUI(ServerListSetup setup);

  std::string GetWindowClassName() const override { return "UISerList"; }
  void Notify(TNotifyUI& msg) override;

  const ServerListSetup& setup() const { return setup_; }
  int section() const { return section_; }
  int page() const { return page_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  // Window behaviour and choosing (server_list_ui.cpp).
  bool StartsDrag(POINT pt) const;
  void OnClick(CControlUI* sender);
  void SearchByNumber();
  void ChooseByButton(CControlUI* button);
  void Choose(std::size_t index);

  // The paged list and its paging bar (server_list_paging.cpp).
  void FillList();
  void BuildPagingBar();
  void PreviousPage();
  void NextPage();
  void ShowPage(int page);
  void ShowSection(int section);

  // Server items, recent and recommended servers (server_list_items.cpp).
  void AddPagedItem(std::size_t index, CContainerUI* line);
  void AddSideItem(std::size_t index, CContainerUI* line);
  void BuildRecentServers();
  void BuildRecommendedServers();

  ServerListSetup setup_;
  HWND owner_window_hwnd_ = nullptr;  // the login window's handle, taken while it surely exists
  int section_ = 0;
  int page_ = 1;
  int item_counter_ = 0;
  bool chosen_ = false;  // a choice was made; the window is closing and takes no second one
};

}  // namespace qrv
