#pragma once
// The customer-service chat protocol on the wire.
//
// Every message in either direction is one frame: a 2-byte length (the number of body bytes
// after the 3-byte header, little-endian), a 1-byte type, then the body. All integers are
// little-endian and packed without padding. The player is identified by two numbers built into
// the program (user number, then server number); an agent by a 64-bit id, low half first.
//
// The builders here produce the exact bytes of each frame the launcher sends; the readers at the
// bottom take integers out of a received body (the caller checks the bounds first).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qrv::chat {

// Identity of the player towards the service.
inline constexpr std::uint32_t kUserNumber = 121942135;  // 77 B0 44 07
inline constexpr std::uint32_t kServerNumber = 217;      // D9 00 00 00
inline constexpr std::uint16_t kGameNumber = 30;         // 1E 00

inline constexpr std::size_t kHeaderSize = 3;
// Received lengths are read as signed 16-bit numbers: a body of up to 32,767 bytes can be
// announced, and the frame reader takes every such body whole.
inline constexpr std::size_t kMaxReceivedBody = 32767;
// Both 16-bit lengths of an outgoing chat text must hold: body n + 19, text n + 1.
inline constexpr std::size_t kMaxChatTextBytes = 65535 - 19;  // 65516

// Message types. Received types are read as signed bytes; anything not listed is ignored.
enum class FrameType : std::int8_t {
  kLoginResult = 1,    // to launcher
  kGameInfo = 3,       // request / answer
  kAgentList = 4,      // request / answer
  kLocalAgents = 5,    // request / answer: the agents of this server
  kAgentStates = 6,    // request / answer
  kOpenChat = 7,       // request / result
  kChatText = 9,       // both directions
  kAgentOffline = 15,  // to launcher
  kChatStart = 17,     // to server: a chat window opened; to launcher: a chat text like type 9
  kHeartbeat = 18,     // to server
};

// Frames the launcher sends. Bytes are held in std::string, which carries zero bytes fine.
std::string HeartbeatFrame();           // 00 00 12
std::string GameInfoRequestFrame();     // 02 00 03 1E 00
std::string AgentListRequestFrame();    // 02 00 04 1E 00
std::string LocalAgentsRequestFrame();  // 06 00 05 1E 00 D9 00 00 00
std::string AgentStatesRequestFrame();  // 02 00 06 1E 00
std::string ChatStartFrame();           // 08 00 11, user number, server number
// 10 00 07, user number, server number, agent id: 19 bytes.
std::string OpenChatFrame(std::uint64_t agent_id);
// Type 9 to `agent_id` with `utf8_text` and its terminating zero: 22 + n bytes. Nothing when the
// text is longer than kMaxChatTextBytes, whose lengths the 16-bit fields cannot hold; a text is
// never cut, since a cut could split a character or change what the player said.
std::optional<std::string> ChatTextFrame(std::uint64_t agent_id, std::string_view utf8_text);

// Little-endian readers; `at` plus the width must lie inside `bytes`.
std::uint8_t ReadU8(std::string_view bytes, std::size_t at);
std::int16_t ReadI16(std::string_view bytes, std::size_t at);
std::uint32_t ReadU32(std::string_view bytes, std::size_t at);
std::uint64_t ReadU64(std::string_view bytes, std::size_t at);

// Little-endian writers, appending to `out`.
void AppendU16(std::string& out, std::uint16_t value);
void AppendU32(std::string& out, std::uint32_t value);
void AppendU64(std::string& out, std::uint64_t value);

}  // namespace qrv::chat
