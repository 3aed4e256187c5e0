#pragma once
// What the chat connection hands to its target window. Message 1025 (kMsgChatText) carries one
// ChatTextMessage as its owning payload; message 1028 (kMsgChatAccepted) carries the accepted
// agent's id as a std::uint64_t payload. The receiver takes them with TakePayload.

#include <cstdint>
#include <string>

#include "platform/messages.h"

namespace qrv {

inline constexpr UINT kMsgChatText = WM_USER + 1;      // 1025: ChatTextMessage payload
inline constexpr UINT kMsgChatAccepted = WM_USER + 4;  // 1028: the agent id (std::uint64_t payload)
inline constexpr UINT kMsgAskChat = WM_USER + 5;       // 1029: from the agent list, the agent id

struct ChatTextMessage {
  std::uint64_t agent_id = 0;  // the agent who wrote
  std::string text;            // in the program's code page
  friend bool operator==(const ChatTextMessage&, const ChatTextMessage&) = default;
};

}  // namespace qrv
