#pragma once
// How the login window names servers on its buttons and finds them again: the recommended server,
// the recently played ones, and the label a button's text carries.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "webapi/records.h"

namespace qrv {

// The part of a server name between its first "[" and the next "]": "[45服]双线45区" gives "45服".
// Without "[" the label starts at the name's beginning; without a following "]" it is empty.
std::string ServerLabel(std::string_view name);

// A server button's text, "<label>[<line>]" ("45服[双线]"); empty when the type names no line.
std::string ServerButtonText(const ServerEntry& server);

// The recommended server: the first one, or the second when the first is in state "4" (not yet
// open). When the first is in state "4" and there is no second, none is recommended: the only
// server cannot be entered, so pointing the player at it would help nobody.
std::optional<std::size_t> RecommendedServer(const std::vector<ServerEntry>& servers);

struct RecentServers {
  std::size_t pieces = 0;            // non-empty ids in the "played" text
  std::vector<std::size_t> matches;  // indexes of the servers found for them, in order
};

// Splits "played" at "|" (empty pieces dropped) and finds the first server of each id.
RecentServers FindRecentServers(std::string_view played, const std::vector<ServerEntry>& servers);

// The server a button's text points at: the text up to its first "[" is the label (empty when
// there is no "["), and the first server whose name holds "[" + label + "]" is the one.
std::optional<std::size_t> ServerForButtonText(std::string_view text,
                                               const std::vector<ServerEntry>& servers);

}  // namespace qrv
