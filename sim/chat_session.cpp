#include "sim/chat_session.h"

#include <glib.h>

#include <cstring>

namespace qrv::sim {
namespace {

// The launcher's identity, used as the addressee when a request does not carry it.
constexpr std::uint32_t kUserNumber = 121942135;
constexpr std::uint32_t kServerNumber = 217;
// An echoed text is cut well below what a frame holds.
constexpr std::size_t kMaxEchoBytes = 1000;
// A chat text body is addressee (8), agent id (8), text length (2), text, and its zero.
constexpr std::size_t kMaxTextBytes = kMaxFrameBody - 19;

void PutU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void PutU64(std::string& out, std::uint64_t value) {
  PutU32(out, static_cast<std::uint32_t>(value));
  PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

void PutString(std::string& out, std::string_view text) {
  PutU16(out, static_cast<std::uint16_t>(text.size()));
  out.append(text);
}

std::uint64_t GetU64(std::string_view bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

std::string ValidUtf8(std::string_view bytes) {
  g_autofree char* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  return valid;
}

// At most `limit` bytes of `text`, never cutting a character.
std::string Clip(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  const char* end = g_utf8_find_prev_char(text.c_str(), text.c_str() + limit + 1);
  return text.substr(0, static_cast<std::size_t>(end - text.c_str())) + "…";
}

std::string Fill(std::string pattern, const std::string& name, const std::string& text) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"{name}", name}, {"{text}", text}}) {
    for (auto at = pattern.find(key); at != std::string::npos; at = pattern.find(key, at + value.size()))
      pattern.replace(at, key.size(), value);
  }
  return pattern;
}

}  // namespace

std::string EncodeChatFrame(int type, std::string_view body) {
  if (body.size() > kMaxFrameBody) return {};
  std::string frame;
  PutU16(frame, static_cast<std::uint16_t>(body.size()));
  frame.push_back(static_cast<char>(type));
  frame.append(body);
  return frame;
}

std::string EncodeListFrames(int type, const std::vector<std::string>& records) {
  std::string frames;
  std::string body;
  bool any = false;
  for (const std::string& record : records) {
    if (record.size() > kMaxFrameBody) continue;
    if (body.size() + record.size() > kMaxFrameBody) {
      frames += EncodeChatFrame(type, body);
      body.clear();
    }
    body += record;
    any = true;
  }
  if (!body.empty() || !any) frames += EncodeChatFrame(type, body);
  return frames;
}

bool ChatFrameSplitter::Next(ChatFrame& frame) {
  if (buffer_.size() < 3) return false;
  const std::size_t length = static_cast<unsigned char>(buffer_[0]) |
                             (static_cast<std::size_t>(static_cast<unsigned char>(buffer_[1])) << 8);
  if (buffer_.size() < 3 + length) return false;
  frame.type = static_cast<signed char>(buffer_[2]);
  frame.body = buffer_.substr(3, length);
  buffer_.erase(0, 3 + length);
  return true;
}

ChatSession::ChatSession(const ChatData& data) : data_(data) {
  for (const ChatAgent& agent : data_.agents) states_.push_back(agent.state);
}

std::string ChatSession::Opening() const {
  return EncodeChatFrame(1, std::string(1, static_cast<char>(data_.login_result)));
}

std::string ChatSession::Answer(const ChatFrame& frame, std::string& text) {
  std::vector<std::string> records;
  switch (frame.type) {
    case 3:
      for (const std::string& info : data_.game_info) PutString(records.emplace_back(), info);
      return EncodeListFrames(3, records);
    case 4:
      return AgentList();
    case 5:
      for (const ChatAgent& agent : data_.agents) {
        if (agent.local) PutU64(records.emplace_back(), agent.id);
      }
      return EncodeListFrames(5, records);
    case 6:
      for (std::size_t i = 0; i < data_.agents.size(); ++i) {
        std::string& record = records.emplace_back();
        PutU64(record, data_.agents[i].id);
        record.push_back(static_cast<char>(states_[i]));
      }
      return EncodeListFrames(6, records);
    case 7:
      return OpenChatResult(frame.body);
    case 9:
      return ChatTextReply(frame.body, text);
    case 17:
      return GreetingAfterChatStart();
    default:
      return {};  // the heartbeat (18) and anything unknown get no answer
  }
}

std::string ChatSession::AgentList() const {
  std::vector<std::string> records;
  for (const ChatAgent& agent : data_.agents) {
    std::string& record = records.emplace_back();
    PutU64(record, agent.id);
    PutString(record, agent.name);
    PutString(record, agent.extra);
  }
  return EncodeListFrames(4, records);
}

std::string ChatSession::Acceptance(std::uint64_t agent_id) {
  std::string body;
  PutU64(body, agent_id);
  PutU32(body, 0);
  return EncodeChatFrame(7, body);
}

std::string ChatSession::TextFrom(std::uint64_t agent_id, const std::string& text) const {
  const ChatAgent* agent = data_.FindAgent(agent_id);
  if (agent == nullptr) return {};
  std::string addressee;
  PutU32(addressee, kUserNumber);
  PutU32(addressee, kServerNumber);
  return AgentText(9, addressee, *agent, text);
}

std::string ChatSession::OpenChatResult(std::string_view body) {
  // User number (4), server number (4), agent id (8).
  if (body.size() < 16) return {};
  const std::uint64_t id = GetU64(body, 8);
  const ChatAgent* agent = data_.FindAgent(id);
  const bool accepted = agent != nullptr && agent->accepts;
  if (accepted) last_accepted_ = id;
  std::string answer;
  PutU64(answer, id);
  PutU32(answer, accepted ? 0u : static_cast<std::uint32_t>(data_.refuse_result));
  return EncodeChatFrame(7, answer);
}

std::string ChatSession::ChatTextReply(std::string_view body, std::string& text) {
  // Agent id (8), user number (4), server number (4), text length (2, counting the zero), text.
  if (body.size() < 18) return {};
  const std::uint64_t id = GetU64(body, 0);
  const std::size_t length = static_cast<unsigned char>(body[16]) |
                             (static_cast<std::size_t>(static_cast<unsigned char>(body[17])) << 8);
  std::string_view raw = body.substr(18, length);
  if (const auto zero = raw.find('\0'); zero != std::string_view::npos) raw = raw.substr(0, zero);
  text = ValidUtf8(raw);

  const ChatAgent* agent = data_.FindAgent(id);
  if (agent == nullptr) return {};
  std::string frames =
      AgentText(9, body.substr(8, 8), *agent, Fill(data_.reply, agent->name, Clip(text, kMaxEchoBytes)));
  ++texts_;
  if (data_.offline_agent != 0 && texts_ == data_.offline_after_texts) {
    std::string offline;
    PutU64(offline, data_.offline_agent);
    frames += EncodeChatFrame(15, offline);
    for (std::size_t i = 0; i < data_.agents.size(); ++i) {
      if (data_.agents[i].id == data_.offline_agent) states_[i] = 3;
    }
  }
  return frames;
}

std::string ChatSession::GreetingAfterChatStart() const {
  // Chat start names no agent: the one whose chat was accepted last on this connection greets.
  const ChatAgent* agent = data_.FindAgent(last_accepted_);
  if (agent == nullptr) return {};
  std::string addressee;
  PutU32(addressee, kUserNumber);
  PutU32(addressee, kServerNumber);
  return AgentText(17, addressee, *agent, Fill(data_.greeting, agent->name, ""));
}

std::string ChatSession::AgentText(int type, std::string_view addressee, const ChatAgent& agent,
                                   std::string text) const {
  // A text from the data file may be longer than a frame holds: it is cut, never wrapped.
  if (text.size() > kMaxTextBytes) text = Clip(text, kMaxTextBytes - std::strlen("…"));
  std::string body(addressee);
  PutU64(body, agent.id);
  PutU16(body, static_cast<std::uint16_t>(text.size() + 1));
  body += text;
  body.push_back('\0');
  return EncodeChatFrame(type, body);
}

}  // namespace qrv::sim
