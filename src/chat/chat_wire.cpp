#include "chat/chat_wire.h"

namespace qrv::chat {
namespace {

// Header of a frame with a body of `body_length` bytes.
std::string Header(std::size_t body_length, FrameType type) {
  std::string frame;
  AppendU16(frame, static_cast<std::uint16_t>(body_length));
  frame.push_back(static_cast<char>(type));
  return frame;
}

// The frames whose body is the game number alone.
std::string GameNumberRequest(FrameType type) {
  std::string frame = Header(2, type);
  AppendU16(frame, kGameNumber);
  return frame;
}

void AppendPlayer(std::string& out) {
  AppendU32(out, kUserNumber);
  AppendU32(out, kServerNumber);
}

}  // namespace

std::string HeartbeatFrame() { return Header(0, FrameType::kHeartbeat); }

std::string GameInfoRequestFrame() { return GameNumberRequest(FrameType::kGameInfo); }

std::string AgentListRequestFrame() { return GameNumberRequest(FrameType::kAgentList); }

std::string LocalAgentsRequestFrame() {
  std::string frame = Header(6, FrameType::kLocalAgents);
  AppendU16(frame, kGameNumber);
  AppendU32(frame, kServerNumber);
  return frame;
}

std::string AgentStatesRequestFrame() { return GameNumberRequest(FrameType::kAgentStates); }

std::string ChatStartFrame() {
  std::string frame = Header(8, FrameType::kChatStart);
  AppendPlayer(frame);
  return frame;
}

std::string OpenChatFrame(std::uint64_t agent_id) {
  std::string frame = Header(16, FrameType::kOpenChat);
  AppendPlayer(frame);
  AppendU64(frame, agent_id);
  return frame;
}

std::optional<std::string> ChatTextFrame(std::uint64_t agent_id, std::string_view utf8_text) {
  const std::size_t n = utf8_text.size();
  if (n > kMaxChatTextBytes) return std::nullopt;
  std::string frame = Header(n + 19, FrameType::kChatText);
  frame.reserve(n + 22);
  AppendU64(frame, agent_id);
  AppendPlayer(frame);
  AppendU16(frame, static_cast<std::uint16_t>(n + 1));  // the length counts the terminator
  frame.append(utf8_text);
  frame.push_back('\0');
  return frame;
}

std::uint8_t ReadU8(std::string_view bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes[at]); }

std::int16_t ReadI16(std::string_view bytes, std::size_t at) {
  const auto value = static_cast<std::uint16_t>(ReadU8(bytes, at) | (ReadU8(bytes, at + 1) << 8));
  return static_cast<std::int16_t>(value);
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(ReadU8(bytes, at + i)) << (8 * i);
  return value;
}

std::uint64_t ReadU64(std::string_view bytes, std::size_t at) {
  // Two 32-bit halves, the low one first.
  return static_cast<std::uint64_t>(ReadU32(bytes, at)) |
         (static_cast<std::uint64_t>(ReadU32(bytes, at + 4)) << 32);
}

void AppendU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>(value >> 8));
}

void AppendU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void AppendU64(std::string& out, std::uint64_t value) {
  AppendU32(out, static_cast<std::uint32_t>(value));
  AppendU32(out, static_cast<std::uint32_t>(value >> 32));
}

}  // namespace qrv::chat
