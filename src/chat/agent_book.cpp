#include "chat/agent_book.h"

namespace qrv::chat {

bool AgentBook::Add(GMEntry entry) {
  if (GMEntry* known = Find(entry.id)) {
    known->name = std::move(entry.name);
    known->extra = std::move(entry.extra);
    return true;
  }
  if (entries_.size() >= kMaxAgents) return false;
  index_of_id_.emplace(entry.id, entries_.size());
  entries_.push_back(std::move(entry));
  return true;
}

GMEntry* AgentBook::Find(std::uint64_t id) {
  const auto it = index_of_id_.find(id);
  return it == index_of_id_.end() ? nullptr : &entries_[it->second];
}

const GMEntry* AgentBook::Find(std::uint64_t id) const { return const_cast<AgentBook*>(this)->Find(id); }

void AgentBook::Clear() {
  entries_.clear();
  index_of_id_.clear();
}

}  // namespace qrv::chat
