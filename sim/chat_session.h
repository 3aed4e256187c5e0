#pragma once
// The customer-service chat protocol as the simulated server speaks it: frames of a 2-byte
// little-endian body length, a type byte and the body (see src/chat of the launcher for the
// client's side, which this code does not share). Lengths of received frames are read unsigned,
// as the launcher computes them in 16 bits: a long chat text has a body of up to 65535 bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/chat_data.h"

namespace qrv::sim {

struct ChatFrame {
  int type = 0;  // as a signed byte
  std::string body;
};

// The largest body a frame to the launcher may announce: the launcher reads the length as a
// signed 16-bit number.
inline constexpr std::size_t kMaxFrameBody = 32767;

// One frame; empty (nothing to send) when the body is longer than kMaxFrameBody, whose length the
// header cannot hold. Lists are split into frames of whole records instead (EncodeListFrames).
std::string EncodeChatFrame(int type, std::string_view body);
// The records of a list as frames of `type`, as many records in each as fit kMaxFrameBody; one
// empty frame for no records. A record too long for any frame is left out.
std::string EncodeListFrames(int type, const std::vector<std::string>& records);

// Cuts the received byte stream into frames, however it was split into reads.
class ChatFrameSplitter {
 public:
  void Append(std::string_view bytes) { buffer_.append(bytes); }
  bool Next(ChatFrame& frame);

 private:
  std::string buffer_;
};

// One connection's conversation. States start from the data file for every connection, so each
// connection sees the same story: the agent that goes offline does so on every connection.
class ChatSession {
 public:
  explicit ChatSession(const ChatData& data);

  // Sent as soon as the connection opens: the login result (type 1).
  std::string Opening() const;

  // The frames that answer `frame` (possibly none). For a chat text (type 9) `text` receives the
  // text as received (valid UTF-8), for the log.
  std::string Answer(const ChatFrame& frame, std::string& text);

  // Frames sent without being asked, for tests: an acceptance of a chat with `agent_id` (type 7,
  // result 0), and a chat text (type 9) from a known agent (nothing for an unknown one).
  static std::string Acceptance(std::uint64_t agent_id);
  std::string TextFrom(std::uint64_t agent_id, const std::string& text) const;

 private:
  std::string AgentList() const;
  std::string OpenChatResult(std::string_view body);
  std::string ChatTextReply(std::string_view body, std::string& text);
  std::string GreetingAfterChatStart() const;
  std::string AgentText(int type, std::string_view addressee, const ChatAgent& agent, std::string text) const;

  const ChatData& data_;
  std::vector<int> states_;  // per agent, in list order
  std::uint64_t last_accepted_ = 0;
  int texts_ = 0;
};

}  // namespace qrv::sim
