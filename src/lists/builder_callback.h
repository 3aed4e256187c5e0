#pragma once
// CDialogBuilderCallbackEx: makes the launcher's own controls for the layout elements the toolkit
// does not know: "GameList" (exactly so written) gives a CGameListUI, "FriendList" (in any case)
// gives a CFriendsUI that builds its rows with the window's paint manager. Other names give null,
// and the builder skips the element.

#include <string>

#include "ui/ui.h"

namespace qrv {

class CDialogBuilderCallbackEx : public IDialogBuilderCallback {
 public:
  // `manager` is the paint manager of the window whose layout is being built.
  explicit CDialogBuilderCallbackEx(CPaintManagerUI* manager) : manager_(manager) {}
  CControlUI* CreateControl(const std::string& tag) override;

 private:
  CPaintManagerUI* manager_;
};

}  // namespace qrv
