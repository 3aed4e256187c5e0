#pragma once
// GMEntry: one customer-service agent as the chat connection keeps it.

#include <cstdint>
#include <string>

namespace qrv {

struct GMEntry {
  std::uint64_t id = 0;    // compared as a whole
  std::string name;        // display name, in the program's code page
  std::string extra;       // second text of the agent record; kept and copied, not shown
  std::uint8_t state = 3;  // 0 online, 1 away, 2 busy, 3 offline
  std::uint8_t local = 0;  // 1 when the agent serves this server
  friend bool operator==(const GMEntry&, const GMEntry&) = default;
};

}  // namespace qrv
