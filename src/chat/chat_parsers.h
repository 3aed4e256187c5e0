#pragma once
// Readers of the bodies the service sends, one per message type. Each reads only inside the body
// it is given: a record whose lengths run past the body ends the reading of that body (the
// records before it count), and list bodies that end in part of a record yield the whole records
// only. Texts arrive as UTF-8 and come out in the program's code page.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chat/chat_messages.h"
#include "chat/gm_entry.h"

namespace qrv::chat {

// Type 1: whether the login succeeded (first body byte not zero; an empty body is no success).
bool ParseLoginResult(std::string_view body);

// Type 3: the strings of the game information, in order.
std::vector<std::string> ParseGameInfo(std::string_view body);

// Type 4: one new entry (state 3, local 0) per agent record.
std::vector<GMEntry> ParseAgentList(std::string_view body);

// Type 5: the ids of the agents who serve this server.
std::vector<std::uint64_t> ParseLocalAgents(std::string_view body);

// Type 6: agent states.
struct AgentState {
  std::uint64_t agent_id = 0;
  std::uint8_t state = 0;
  friend bool operator==(const AgentState&, const AgentState&) = default;
};
std::vector<AgentState> ParseAgentStates(std::string_view body);

// Type 7: the answer to an open-chat request; result 0 means accepted.
struct OpenChatResult {
  std::uint64_t agent_id = 0;
  std::int32_t result = 0;
};
std::optional<OpenChatResult> ParseOpenChatResult(std::string_view body);

// Types 9 and 17: a chat text from an agent. The text ends at its first zero byte (the sender
// counts the terminator in the text length) or at the text length.
std::optional<ChatTextMessage> ParseChatText(std::string_view body);

// Type 15: the agent who went offline.
std::optional<std::uint64_t> ParseAgentOffline(std::string_view body);

}  // namespace qrv::chat
