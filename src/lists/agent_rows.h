#pragma once
// The rows of the customer-service agent list: which agents go where, the text of each row, and
// the agent a double-clicked row stands for.
//
// The list has two groups, the agents of the player's own server ("本区客服") and all others
// ("其他客服"). Inside each group the agents that are not offline come first, then the offline
// ones, each in the order they were given. An agent row shows the state icon (picture 12 of
// "gameicons.png" when not offline, 13 when offline), the name and the state word.
//
// Names are shown exactly as written: markup in a name ("<b>", "{x 4}", ...) is no markup. Each
// agent row's node keeps the agent's id (ListNode::value), and a double click asks for every
// listed agent of the same name as that row's agent (names compared byte for byte). Group rows
// stand for nobody.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

class CGameListUI;
struct ListNode;

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
// The row text of `agent`, from kAgentRowFormat, its name as literal markup.
std::string AgentRowText(const ListedAgent& agent);

// Empties `list` and fills it: the two group rows under the root, each followed by its agents
// (local flag 1 under the first group, 0 under the second; other flags are not listed). Returns
// the agents in row order, to map a row back to its agent.
std::vector<ListedAgent> FillAgentList(CGameListUI& list, const std::vector<ListedAgent>& agents);

// The ids of every agent in `rows` whose name equals (byte for byte) the name of the agent whose
// row `node` is, in row order; none for a group row or a node of no listed agent.
std::vector<std::uint64_t> AgentIdsForRow(const std::vector<ListedAgent>& rows, const ListNode& node);

}  // namespace qrv
