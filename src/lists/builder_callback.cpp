#include "lists/builder_callback.h"

#include "lists/friends_list.h"
#include "lists/game_list.h"
#include "ui/core/ui_parse.h"

namespace qrv {

CControlUI* CDialogBuilderCallbackEx::CreateControl(const std::string& tag) {
  if (tag == "GameList") return new CGameListUI;
  if (ui::EqualsIgnoreCase(tag, "FriendList")) return new CFriendsUI(manager_);
  return nullptr;
}

}  // namespace qrv
