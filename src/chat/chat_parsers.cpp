#include "chat/chat_parsers.h"

#include "chat/chat_wire.h"
#include "platform/codepage.h"

namespace qrv::chat {
namespace {

// Consumes a body from the front. Every Take checks that its bytes lie inside the body, so no
// reader ever looks past the end of what the frame announced.
class BodyCursor {
 public:
  explicit BodyCursor(std::string_view body) : body_(body) {}

  std::size_t remaining() const { return body_.size() - at_; }

  std::optional<std::uint64_t> TakeU64() {
    if (remaining() < 8) return std::nullopt;
    const auto value = ReadU64(body_, at_);
    at_ += 8;
    return value;
  }

  std::optional<std::uint8_t> TakeU8() {
    if (remaining() < 1) return std::nullopt;
    return ReadU8(body_, at_++);
  }

  std::optional<std::int16_t> TakeI16() {
    if (remaining() < 2) return std::nullopt;
    const auto value = ReadI16(body_, at_);
    at_ += 2;
    return value;
  }

  // `length` raw bytes; nothing when fewer remain.
  std::optional<std::string_view> TakeBytes(std::size_t length) {
    if (remaining() < length) return std::nullopt;
    const auto bytes = body_.substr(at_, length);
    at_ += length;
    return bytes;
  }

  // A string: 2-byte length, then that many bytes. A negative length is no string.
  std::optional<std::string_view> TakeString() {
    const auto length = TakeI16();
    if (!length || *length < 0) return std::nullopt;
    return TakeBytes(static_cast<std::size_t>(*length));
  }

 private:
  std::string_view body_;
  std::size_t at_ = 0;
};

// Wire text (UTF-8, possibly zero-terminated) in the program's code page.
std::string TextFromWire(std::string_view bytes) {
  const auto zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  return SystemFromUtf8(bytes);
}

}  // namespace

bool ParseLoginResult(std::string_view body) { return !body.empty() && body[0] != '\0'; }

std::vector<std::string> ParseGameInfo(std::string_view body) {
  std::vector<std::string> strings;
  BodyCursor cursor(body);
  while (cursor.remaining() > 1) {
    const auto text = cursor.TakeString();
    if (!text) break;
    strings.push_back(TextFromWire(*text));
  }
  return strings;
}

std::vector<GMEntry> ParseAgentList(std::string_view body) {
  std::vector<GMEntry> agents;
  BodyCursor cursor(body);
  while (cursor.remaining() > 1) {
    const auto id = cursor.TakeU64();
    if (!id) break;
    const auto name = cursor.TakeString();
    if (!name) break;
    // The second text may be left out with a length of 0 or below: then only the length is there.
    const auto extra_length = cursor.TakeI16();
    if (!extra_length) break;
    std::string_view extra;
    if (*extra_length > 0) {
      const auto bytes = cursor.TakeBytes(static_cast<std::size_t>(*extra_length));
      if (!bytes) break;
      extra = *bytes;
    }
    GMEntry entry;
    entry.id = *id;
    entry.name = TextFromWire(*name);
    entry.extra = TextFromWire(extra);
    agents.push_back(std::move(entry));
  }
  return agents;
}

std::vector<std::uint64_t> ParseLocalAgents(std::string_view body) {
  std::vector<std::uint64_t> ids;
  BodyCursor cursor(body);
  while (const auto id = cursor.TakeU64()) ids.push_back(*id);
  return ids;
}

std::vector<AgentState> ParseAgentStates(std::string_view body) {
  std::vector<AgentState> states;
  BodyCursor cursor(body);
  while (cursor.remaining() >= 9) {
    const auto id = cursor.TakeU64();
    const auto state = cursor.TakeU8();
    states.push_back(AgentState{*id, *state});
  }
  return states;
}

std::optional<OpenChatResult> ParseOpenChatResult(std::string_view body) {
  if (body.size() < 12) return std::nullopt;
  return OpenChatResult{ReadU64(body, 0), static_cast<std::int32_t>(ReadU32(body, 8))};
}

std::optional<ChatTextMessage> ParseChatText(std::string_view body) {
  BodyCursor cursor(body);
  // Bytes 0 to 7 name the addressee, which is always this player.
  if (!cursor.TakeBytes(8)) return std::nullopt;
  const auto agent_id = cursor.TakeU64();
  if (!agent_id) return std::nullopt;
  const auto text = cursor.TakeString();
  if (!text) return std::nullopt;
  return ChatTextMessage{*agent_id, TextFromWire(*text)};
}

std::optional<std::uint64_t> ParseAgentOffline(std::string_view body) {
  BodyCursor cursor(body);
  return cursor.TakeU64();
}

}  // namespace qrv::chat
