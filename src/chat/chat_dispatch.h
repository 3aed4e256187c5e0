#pragma once
// What the connection does with each received frame. There is no protocol state: a frame is
// handled by its type alone, in whatever order frames arrive. Agent states and local flags only
// change entries already in the list, so they must come after the list they refer to.

#include <vector>

#include "chat/chat_messages.h"
#include "chat/frame_reader.h"
#include "chat/gm_entry.h"
#include "platform/types.h"

namespace qrv::chat {

// Writes the frame's progress lines, applies agent lists (appended), local flags and states to
// `agents`, and posts chat texts (kMsgChatText with a ChatTextMessage) and accepted chats
// (kMsgChatAccepted with the agent id) to `target` when it is set. Unknown types are ignored.
void HandleFrame(const FrameView& frame, std::vector<GMEntry>& agents, HWND target);

}  // namespace qrv::chat
