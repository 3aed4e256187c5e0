#include "chat/chat_lines.h"

#include <cstdio>

#include "chat/chat_wire.h"

namespace qrv {

std::string ChatTimeText(const LocalDateTime& time) {
  char text[96];
  std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", time.year, time.month, time.day, time.hour,
                time.minute, time.second);
  return text;
}

std::string ChatHeaderLine(ChatMessageKind kind, const std::string& agent_name, const LocalDateTime& time) {
  const std::string sender = kind == ChatMessageKind::kAgent ? agent_name : kOwnSenderName;
  return sender + "  " + ChatTimeText(time);
}

RichTextFormat ChatTextFormat() { return RichTextFormat{}; }

RichTextFormat ChatHeaderFormat(ChatMessageKind kind) {
  RichTextFormat format;
  format.face = kHeaderFace;
  format.rgb = kind == ChatMessageKind::kAgent ? kAgentHeaderColor : kOwnHeaderColor;
  return format;
}

RichTextFormat ChatNoticeFormat() {
  RichTextFormat format;
  format.size_pt = 11;
  format.rgb = kNoticeColor;
  return format;
}

std::string TooLongNotice(std::size_t utf8_bytes) {
  char text[256];
  std::snprintf(text, sizeof text, "消息过长（%zu字节），未发送：一条消息最多%zu字节，请分几次发送。",
                utf8_bytes, chat::kMaxChatTextBytes);
  return text;
}

std::string NotSentNotice() { return "与客服服务器的连接已断开，这条消息未能发出，请稍后再试。"; }

std::string ConnectionLostNotice() {
  return "与客服服务器的连接中断了，正在重新连接。您最近发出的消息客服可能没有收到，如有需要请重新发送。";
}

}  // namespace qrv
