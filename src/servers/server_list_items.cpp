// The server items: the paged list's lines and the side lines of recently played and recommended
// servers.

#include "servers/attribute_format.h"
#include "servers/server_list_ui.h"
#include "servers/server_lookup.h"

namespace qrv {
namespace {

// Buttons remember their server's position plus one (0 is "no server").
std::uintptr_t TagFor(std::size_t index) { return static_cast<std::uintptr_t>(index) + 1; }

// The server key comes from the platform: inside an attribute list a double quote in it would end
// the name early and add attributes of its own. Such a key is left out of the list, and the
// control is given its exact name afterwards.
std::string KeyForList(const std::string& key) { return key.find('"') == std::string::npos ? key : ""; }

void AddItemLine(CContainerUI* line, CButtonUI* button, CLabelUI* label) {
  auto* holder = new CHorizontalLayoutUI;
  holder->ApplyAttributeList("maxwidth=\"290\" ");
  holder->Add(button);
  holder->Add(label);
  line->Add(holder);
}

}  // namespace

void CServerListUI::AddPagedItem(std::size_t index, CContainerUI* line) {
  if (line == nullptr) return;
  const ServerEntry& server = setup_.servers[index];
  const std::string key = ServerKey(server.code);
  const std::string listed_key = KeyForList(key);

  auto* button = new CButtonUI;
  button->ApplyAttributeList(
      FormatText("name=\"serbutton%s\" float=\"true\" pos=\"52,0,0,0\" width=\"139\" height=\"28\" "
                 "textcolor=\"#00279188\" disabledtextcolor=\"#FFA7A6AA\" align=\"left\"",
                 listed_key.c_str()));
  button->SetName("serbutton" + key);
  button->SetText(ServerItemText(server));
  button->SetEnabled(PagedItemEnabled(server.state));
  button->SetTag(TagFor(index));

  auto* label = new CLabelUI;
  label->ApplyAttributeList(
      FormatText("name=\"TextUI%s\" %s float=\"true\" pos=\"194,7,0,0\" width=\"70\" height=\"15\"  "
                 "align=\"centerwrap\"",
                 listed_key.c_str(), StatePictureAttribute(server.state).c_str()));
  label->SetName("TextUI" + key);
  AddItemLine(line, button, label);
}

void CServerListUI::AddSideItem(std::size_t index, CContainerUI* line) {
  if (line == nullptr) return;
  const ServerEntry& server = setup_.servers[index];
  const int n = ++item_counter_;
  // The upper line of each pair sits lower in its taller row.
  const bool upper_line = line->GetName().find('1') != std::string::npos;

  auto* button = new CButtonUI;
  button->ApplyAttributeList(
      FormatText("name=\"zjbutton%d\" float=\"true\" pos=\"%s\" width=\"139\" height=\"30\" "
                 "textcolor=\"#00A8BC00\" disabledtextcolor=\"#FFA7A6AA\" align=\"left\"",
                 n, upper_line ? "52,12,0,0" : "52,5,0,0"));
  button->SetText(ServerItemText(server));
  button->SetEnabled(SideItemEnabled(server.state));
  button->SetTag(TagFor(index));

  auto* label = new CLabelUI;
  label->ApplyAttributeList(
      FormatText("name=\"TextUI%d\" %s float=\"true\" pos=\"%s\" width=\"70\" height=\"15\" ", n,
                 StatePictureAttribute(server.state).c_str(), upper_line ? "194,21,0,0" : "194,14,0,0"));
  AddItemLine(line, button, label);

  if (n == 1) {
    if (CControlUI* latest = FindControl("bnzuixin")) {
      latest->SetText(server.name);
      latest->SetTag(TagFor(index));
    }
  }
}

void CServerListUI::BuildRecentServers() {
  const std::vector<std::string> tokens = PlayedTokens(setup_.player.played);
  for (std::size_t t = 0; t < tokens.size() && t < 4; ++t) {
    CContainerUI* line = FindControl<CContainerUI>(t < 2 ? "zjline1" : "zjline2");
    for (std::size_t i = 0; i < setup_.servers.size(); ++i) {
      if (setup_.servers[i].id == tokens[t]) AddSideItem(i, line);
    }
  }
}

void CServerListUI::BuildRecommendedServers() {
  for (std::size_t i = 0; i < setup_.servers.size() && i < 4; ++i) {
    AddSideItem(i, FindControl<CContainerUI>(i < 2 ? "tjline1" : "tjline2"));
  }
}

}  // namespace qrv
