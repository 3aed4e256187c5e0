#pragma once
// What the connection does with each received frame. Frames are handled by their type, in
// whatever order they arrive. Agent states and local flags only change agents already in the
// list, so they must come after the list they refer to.
//
// The one thing the connection remembers between frames besides the agents is which chats the
// player asked for: the server may only open a chat the player requested. An acceptance for any
// other agent (one the player never asked for, or asked for and already got) opens nothing, so a
// server cannot put a chat window in front of the player by itself.

#include <cstdint>
#include <unordered_set>

#include "chat/agent_book.h"
#include "chat/chat_messages.h"
#include "chat/frame_reader.h"
#include "platform/types.h"

namespace qrv::chat {

struct ChatState {
  AgentBook agents;
  // Agents the player asked to chat with and whose answer has not come yet.
  std::unordered_set<std::uint64_t> requested;
};

// Writes the frame's progress lines, applies agent lists, local flags and states to
// `state.agents`, and posts chat texts (kMsgChatText with a ChatTextMessage) and accepted chats
// of requested agents (kMsgChatAccepted with the agent id) to `target` when it is set. Unknown
// types are ignored.
void HandleFrame(const FrameView& frame, ChatState& state, HWND target);

}  // namespace qrv::chat
