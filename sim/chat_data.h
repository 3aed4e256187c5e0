#pragma once
// What the simulated customer-service chat server knows: its agents and how it answers. Read
// from the "chat" member of the data file (see sim/data/platform.json and sim/README.md).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

typedef struct _JsonObject JsonObject;

namespace qrv::sim {

struct ChatAgent {
  std::uint64_t id = 0;
  std::string name;
  std::string extra;
  int state = 0;        // 0 online, 1 away, 2 busy, 3 offline
  bool local = false;   // serves the launcher's server (answered to type 5)
  bool accepts = true;  // answers an open-chat request with result 0
};

struct ChatData {
  int login_result = 1;                // byte sent in type 1 when a connection opens
  std::vector<std::string> game_info;  // strings of type 3
  std::vector<ChatAgent> agents;       // in list order
  int refuse_result = 1;               // type 7 result for a refusing or unknown agent
  // Texts the agents send. "{name}" is the agent's name, "{text}" the text just received.
  std::string greeting = "您好，我是{name}，请问有什么可以帮您？";  // after chat start (type 17)
  std::string reply = "{name}已收到您的消息：“{text}”";             // after each chat text (type 9)
  // This agent goes offline (type 15, then state 3) after the connection's `offline_after_texts`
  // -th chat text; 0: nobody does.
  std::uint64_t offline_agent = 0;
  int offline_after_texts = 1;

  const ChatAgent* FindAgent(std::uint64_t id) const;
};

// Reads the "chat" member of the data file's root object; an absent member gives the defaults
// above and no agents. On a malformed member returns nothing with the reason in `error`.
std::optional<ChatData> ReadChatData(JsonObject* root, std::string& error);

}  // namespace qrv::sim
