#include "servers/server_lookup.h"

#include <algorithm>


namespace qrv {

std::string ServerKey(std::string_view code) {
  const std::size_t qrv = code.find("qrv");
  if (qrv != std::string_view::npos) return std::string(code.substr(qrv + 3));
  if (code.size() <= 2) return {};
  return std::string(code.substr(2));
}

std::string ServerItemText(const ServerEntry& server) {
  const std::string line = LineName(server.type);
  if (line.empty()) return {};
  return ". " + server.name + " [" + line + "]";
}

std::string StatePictureAttribute(std::string_view state) {
  // Cut-outs of ser.png, one per state the platform reports; "8" to "11" and anything unknown
  // share the neutral picture, "12" looks like "7".
  const char* source = "0,114,75,135";
  if (state == "0") {
    source = "0,159,75,174";
  } else if (state == "1") {
    source = "0,259,75,274";
  } else if (state == "2") {
    source = "0,199,75,214";
  } else if (state == "3") {
    source = "0,219,75,234";
  } else if (state == "4") {
    source = "0,179,75,194";
  } else if (state == "5") {
    source = "0,139,75,154";
  } else if (state == "6") {
    source = "0,279,75,294";
  } else if (state == "7" || state == "12") {
    source = "0,239,75,254";
  }
  return std::string("bkimage=\"file='ser.png' source='") + source + "'\"";
}

bool PagedItemEnabled(std::string_view state) { return state != "3" && state != "4"; }

bool SideItemEnabled(std::string_view state) { return state != "3"; }

std::string ServerLookupText(std::string_view text) {
  const std::size_t open = text.find('[');
  const std::size_t start = open == std::string_view::npos ? 0 : open;
  const std::size_t close = text.find(']', start);
  if (close == std::string_view::npos) return {};
  return std::string(text.substr(start, close - start + 1));
}

std::string ServerNumberTag(std::string_view typed) {
  std::string digits;
  std::copy_if(typed.begin(), typed.end(), std::back_inserter(digits),
               [](char c) { return c >= '0' && c <= '9'; });
  return "[" + digits + "服]";
}

std::optional<std::size_t> FindServerByLookup(std::string_view lookup,
                                              const std::vector<ServerEntry>& servers) {
  for (std::size_t i = 0; i < servers.size(); ++i) {
    if (servers[i].name.find(lookup) != std::string::npos) return i;
  }
  return std::nullopt;
}

std::vector<std::string> PlayedTokens(std::string_view played) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (start <= played.size()) {
    std::size_t end = played.find('|', start);
    if (end == std::string_view::npos) end = played.size();
    if (end > start) tokens.emplace_back(played.substr(start, end - start));
    start = end + 1;
  }
  return tokens;
}

int SectionServerCount(std::size_t total, int section) {
  if (section < 0) return 0;
  const std::size_t before = static_cast<std::size_t>(section) * kServersPerSection;
  if (total <= before) return 0;
  return static_cast<int>(std::min<std::size_t>(total - before, kServersPerSection));
}

int SectionPageCount(std::size_t total, int section) {
  return (SectionServerCount(total, section) + kServersPerPage - 1) / kServersPerPage;
}

PageSlice SectionPage(std::size_t total, int section, int page) {
  // Only pages of the section itself: a page number past its end (or page 0, which next page
  // gives on an empty section) shows nothing rather than servers of a neighbouring section.
  const int in_section = SectionServerCount(total, section);
  if (page < 1 || page > SectionPageCount(total, section)) return {};
  const int offset = (page - 1) * kServersPerPage;
  PageSlice slice;
  slice.first = static_cast<std::size_t>(section) * kServersPerSection + static_cast<std::size_t>(offset);
  slice.count = static_cast<std::size_t>(std::min(in_section - offset, kServersPerPage));
  return slice;
}

int PagingSpacerWidth(int pages) { return pages + 1 > 3 ? 191 : 458 - 26 * (pages + 1); }

}  // namespace qrv
