#include "lists/agent_rows.h"

#include <cstdio>

#include "lists/game_list.h"

namespace qrv {
namespace {

constexpr std::string_view kGap = "{x 4}";
constexpr std::string_view kLeadingMarkupChars = "{x 4}";

// Adds the rows of one group: `local` chooses the group's agents out of `ordered`.
void AddGroup(CGameListUI& list, const char* group_text, int local, const std::vector<ListedAgent>& ordered,
              std::vector<ListedAgent>& rows) {
  ListNode* group = list.AddNode(group_text);
  for (const ListedAgent& agent : ordered) {
    if (agent.local != local) continue;
    rows.push_back(agent);
    // A group row is never refused; if it were, its agents are left out rather than put at the top.
    if (group != nullptr) list.AddNode(AgentRowText(agent), group);
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
  // Measured first: a name of any length fits.
  const int length = std::snprintf(nullptr, 0, kAgentRowFormat, icon, agent.name.c_str(), word.c_str());
  if (length <= 0) return "";
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, kAgentRowFormat, icon, agent.name.c_str(), word.c_str());
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

std::string AgentNameOfRowText(std::string_view node_text) {
  if (node_text.find(kGap) == std::string_view::npos) return std::string(node_text);
  const std::size_t start = node_text.find_first_not_of(kLeadingMarkupChars);
  if (start == std::string_view::npos) return "";
  std::string_view rest = node_text.substr(start);
  const std::size_t gap = rest.find(kGap);
  if (gap == std::string_view::npos) return "";
  rest = rest.substr(gap + kGap.size());
  return std::string(rest.substr(0, rest.find(' ')));
}

std::vector<std::uint64_t> AgentIdsForRowText(const std::vector<ListedAgent>& rows, std::string_view node_text) {
  std::vector<std::uint64_t> ids;
  const std::string name = AgentNameOfRowText(node_text);
  if (name.empty()) return ids;
  for (const ListedAgent& agent : rows) {
    if (agent.name == name) ids.push_back(agent.id);
  }
  return ids;
}

}  // namespace qrv
