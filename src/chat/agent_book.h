#pragma once
// AgentBook: the agents the chat server has listed on the current connection, in the order they
// first arrived, with a look-up by id that takes constant time.
//
// The server decides what it sends, so the book holds it to sane bounds: an agent whose id is
// listed again is updated in place (its name and second text replaced, its state and local flag
// kept, as those travel in their own messages), never listed twice; and once kMaxAgents agents
// are known, agents with new ids are left out. A list of a thousand agents is far more than any
// customer service staffs, and the cap keeps a server from growing the launcher's memory and its
// agent list window without bound.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "chat/gm_entry.h"

namespace qrv::chat {

class AgentBook {
 public:
  static constexpr std::size_t kMaxAgents = 1000;

  // Adds `entry` or updates the agent of its id; false when it was left out (the book is full).
  bool Add(GMEntry entry);
  // The agent of `id`, or null.
  GMEntry* Find(std::uint64_t id);
  const GMEntry* Find(std::uint64_t id) const;
  void Clear();

  const std::vector<GMEntry>& entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }

 private:
  std::vector<GMEntry> entries_;
  std::unordered_map<std::uint64_t, std::size_t> index_of_id_;
};

}  // namespace qrv::chat
