#pragma once
// CGMListWnd: the agent list window ("gmlist.xml", window class "UIGMLit"), a pop-up of the main
// frame. Its "gamelist" (a CGameListUI made by the builder callback) shows the agents of the
// player's own server under "本区客服" and all others under "其他客服", each with its state icon,
// name and state word (lists/agent_rows.h). A click on a group folds or unfolds it; a double click
// on an agent asks the frame for a chat with every listed agent of that name (message 1029) and
// hides the list.
//
// The frame owns the window object and hands it a copy of the connection's agents before each
// showing: the first showing fills the list at "windowinit", later ones fill it again from the
// new copy, so a list that changed (a reconnection) never shows an agent twice.
//
// Closing: "bnclose" and the window manager's close button only hide the list, which the player
// opens again from the frame. The list never ends the program.

#include <cstdint>
#include <vector>

#include "chat/gm_entry.h"
#include "lists/agent_rows.h"
#include "lists/builder_callback.h"
#include "lists/game_list.h"
#include "ui/ui.h"

namespace qrv {

class CGMListWnd final : public CSkinnedWindow {
 public:
  CGMListWnd();

  // Shows the list as a pop-up of `frame` with its top-left corner at `at` (screen; kept inside
  // the work area), filled from `agents`. Returns the window, or null when it cannot be made.
  HWND Open(HWND frame, POINT at, std::vector<GMEntry> agents);
  // Replaces the source agents (shown at the next fill).
  void SetAgents(std::vector<GMEntry> agents) { source_ = std::move(agents); }
  // Empties the list and fills it from the source agents.
  void Fill();

  // The agents in row order, to map a row back to its agent.
  const std::vector<ListedAgent>& rows() const { return rows_; }
  CGameListUI* list() const { return list_; }

  std::string GetWindowClassName() const override { return "UIGMLit"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void AskForChat(CControlUI* row);

  CDialogBuilderCallbackEx builder_callback_;
  CButtonUI* close_button_ = nullptr;
  CButtonUI* max_button_ = nullptr;
  CButtonUI* restore_button_ = nullptr;
  CButtonUI* min_button_ = nullptr;
  CGameListUI* list_ = nullptr;
  std::vector<GMEntry> source_;
  std::vector<ListedAgent> rows_;
};

}  // namespace qrv
