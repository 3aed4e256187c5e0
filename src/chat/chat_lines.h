#pragma once
// What a chat window writes into its history besides the texts themselves: the header line above
// every message (who wrote it and when) with its format, and the notices of texts that did not
// go out.

#include <cstddef>
#include <string>

#include "chat/rich_text.h"
#include "platform/wall_clock.h"

namespace qrv {

enum class ChatMessageKind { kAgent = 1, kOwn = 2 };

// The name of the player's own messages.
inline constexpr char kOwnSenderName[] = "我";
// The face name of the header formats, three blanks between its words as the chat has always
// written it.
inline constexpr char kHeaderFace[] = "Times   New   Roman";
inline constexpr std::uint32_t kOwnHeaderColor = 0x009600;    // RGB(0, 150, 0)
inline constexpr std::uint32_t kAgentHeaderColor = 0x0000FF;  // RGB(0, 0, 255)
inline constexpr std::uint32_t kNoticeColor = 0xC0392B;

// "%d-%d-%d %d:%d:%d" (year, month, day, hour, minute, second), without leading zeros.
std::string ChatTimeText(const LocalDateTime& time);
// The agent's name (kAgent) or "我" (kOwn), two blanks, then the time.
std::string ChatHeaderLine(ChatMessageKind kind, const std::string& agent_name, const LocalDateTime& time);

// 14 pt, black, not bold, in the control's own font: both text controls' default format.
RichTextFormat ChatTextFormat();
// The header's format: 14 pt, not bold, in kHeaderFace; green for own, blue for agent messages.
RichTextFormat ChatHeaderFormat(ChatMessageKind kind);
// The format of the window's own notices.
RichTextFormat ChatNoticeFormat();

// The notice of a text too long for one chat frame (its size in UTF-8 bytes), and of a text that
// could not be sent because the service is not connected.
std::string TooLongNotice(std::size_t utf8_bytes);
std::string NotSentNotice();
// The notice of a connection to the service that was lost: texts sent shortly before may not have
// reached the agent.
std::string ConnectionLostNotice();

}  // namespace qrv
