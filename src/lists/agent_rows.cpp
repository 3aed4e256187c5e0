#include "lists/agent_rows.h"

#include <algorithm>
#include <cstdio>

#include "lists/game_list.h"
#include "ui/render/text_markup.h"

namespace qrv {
namespace {

// Adds the rows of one group: `local` chooses the group's agents out of `ordered`.
void AddGroup(CGameListUI& list, const char* group_text, int local, const std::vector<ListedAgent>& ordered,
              std::vector<ListedAgent>& rows) {
  ListNode* group = list.AddNode(group_text);
  for (const ListedAgent& agent : ordered) {
    if (agent.local != local) continue;
    rows.push_back(agent);
    // A group row is never refused; if it were, its agents are left out rather than put at the top.
    if (group == nullptr) continue;
    if (ListNode* node = list.AddNode(AgentRowText(agent), group)) node->value = std::to_string(agent.id);
  }
}

}  // namespace

std::string AgentStateWord(int state) {
  switch (state) {
    case 0:
      return "在线";
    case 1:
      return "离开";
    case 2:
      return "繁忙";
    case 3:
      return "离线";
    default:
      return "";
  }
}

std::string AgentRowText(const ListedAgent& agent) {
  const int icon = agent.state == kAgentOffline ? kAgentIconOffline : kAgentIconOnline;
  const std::string word = AgentStateWord(agent.state);
  const std::string name = ui::LiteralMarkup(agent.name);
  // Measured first: a name of any length fits.
  const int length = std::snprintf(nullptr, 0, kAgentRowFormat, icon, name.c_str(), word.c_str());
  if (length <= 0) return "";
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, kAgentRowFormat, icon, name.c_str(), word.c_str());
  return text;
}

std::vector<ListedAgent> FillAgentList(CGameListUI& list, const std::vector<ListedAgent>& agents) {
  if (list.GetCount() > 0) list.RemoveAll();
  std::vector<ListedAgent> ordered;
  ordered.reserve(agents.size());
  for (const ListedAgent& agent : agents) {
    if (agent.state != kAgentOffline) ordered.push_back(agent);
  }
  for (const ListedAgent& agent : agents) {
    if (agent.state == kAgentOffline) ordered.push_back(agent);
  }
  std::vector<ListedAgent> rows;
  AddGroup(list, kLocalAgentsGroupText, 1, ordered, rows);
  AddGroup(list, kOtherAgentsGroupText, 0, ordered, rows);
  return rows;
}

std::vector<std::uint64_t> AgentIdsForRow(const std::vector<ListedAgent>& rows, const ListNode& node) {
  std::vector<std::uint64_t> ids;
  if (node.value.empty()) return ids;
  const auto agent = std::find_if(
      rows.begin(), rows.end(), [&](const ListedAgent& row) { return std::to_string(row.id) == node.value; });
  if (agent == rows.end()) return ids;
  for (const ListedAgent& row : rows) {
    if (row.name == agent->name) ids.push_back(row.id);
  }
  return ids;
}

}  // namespace qrv
