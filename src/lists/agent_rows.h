#pragma once
// The rows of the customer-service agent list: which agents go where, the text of each row, and
// the agent a double-clicked row stands for.
//
// The list has two groups, the agents of the player's own server ("本区客服") and all others
// ("其他客服"). Inside each group the agents that are not offline come first, then the offline
// ones, each in the order they were given. An agent row shows the state icon (picture 12 of
// "gameicons.png" when not offline, 13 when offline), the name and the state word.
//
// A double click finds agents by name, and the name is read back from the row's text: the text
// before the first space after the icon. So an agent whose name holds a space cannot be found,
// and a group row (whose text has no icon) finds nobody.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class CGameListUI;

// What the list needs of one agent.
struct ListedAgent {
  std::uint64_t id = 0;
  std::string name;
  int state = 0;  // 0 online, 1 away, 2 busy, 3 offline
  int local = 0;  // 1: serves the player's own server; 0: another server
};

inline constexpr int kAgentOffline = 3;
inline constexpr int kAgentIconOnline = 12;
inline constexpr int kAgentIconOffline = 13;
inline constexpr char kLocalAgentsGroupText[] = "{x 4}{x 4}本区客服";
inline constexpr char kOtherAgentsGroupText[] = "{x 4}{x 4}其他客服";
inline constexpr char kAgentRowFormat[] = "{x 4}{i gameicons.png 18 %d}{x 4}%s %s";

// "在线", "离开", "繁忙", "离线" for states 0 to 3; empty for any other state.
std::string AgentStateWord(int state);
// The row text of `agent`, from kAgentRowFormat.
std::string AgentRowText(const ListedAgent& agent);

// Empties `list` and fills it: the two group rows under the root, each followed by its agents
// (local flag 1 under the first group, 0 under the second; other flags are not listed). Returns
// the agents in row order, to map a row back to its agent.
std::vector<ListedAgent> FillAgentList(CGameListUI& list, const std::vector<ListedAgent>& agents);

// The agent name a row's node text stands for. For a text holding "{x 4}": the leading
// characters among "{", "x", " ", "4", "}" are dropped, the text after the next "{x 4}" is kept
// and cut at its first space; empty when there is no such "{x 4}" (group rows). A text without
// "{x 4}" is its own name.
std::string AgentNameOfRowText(std::string_view node_text);

// The ids of every agent in `rows` whose name equals (byte for byte) the name that `node_text`
// stands for, in row order; none when that name is empty.
std::vector<std::uint64_t> AgentIdsForRowText(const std::vector<ListedAgent>& rows, std::string_view node_text);

}  // namespace qrv
