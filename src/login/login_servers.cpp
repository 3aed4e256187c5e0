#include "login/login_servers.h"

namespace qrv {

std::string ServerLabel(std::string_view name) {
  const std::size_t open = name.find('[');
  const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
  const std::size_t close = name.find(']', start);
  if (close == std::string_view::npos) return {};
  return std::string(name.substr(start, close - start));
}

std::string ServerButtonText(const ServerEntry& server) {
  const std::string line = LineName(server.type);
  if (line.empty()) return {};
  return ServerLabel(server.name) + "[" + line + "]";
}

std::optional<std::size_t> RecommendedServer(const std::vector<ServerEntry>& servers) {
  if (servers.empty()) return std::nullopt;
  if (servers.front().state != "4") return 0;
  if (servers.size() < 2) return std::nullopt;
  return 1;
}

RecentServers FindRecentServers(std::string_view played, const std::vector<ServerEntry>& servers) {
  RecentServers recent;
  std::size_t start = 0;
  while (start <= played.size()) {
    std::size_t end = played.find('|', start);
    if (end == std::string_view::npos) end = played.size();
    const std::string_view piece = played.substr(start, end - start);
    if (!piece.empty()) {
      ++recent.pieces;
      for (std::size_t i = 0; i < servers.size(); ++i) {
        if (servers[i].id == piece) {
          recent.matches.push_back(i);
          break;
        }
      }
    }
    start = end + 1;
  }
  return recent;
}

std::optional<std::size_t> ServerForButtonText(std::string_view text,
                                               const std::vector<ServerEntry>& servers) {
  const std::size_t open = text.find('[');
  const std::string label =
      open == std::string_view::npos ? std::string() : std::string(text.substr(0, open));
  const std::string tag = "[" + label + "]";
  for (std::size_t i = 0; i < servers.size(); ++i) {
    if (servers[i].name.find(tag) != std::string::npos) return i;
  }
  return std::nullopt;
}

}  // namespace qrv
