#pragma once
// How the server list window names servers and finds them again: the key in a button's name, the
// text and state picture of a server's button, the bracketed tag a lookup searches for, the ids of
// the recently played servers, and the paging of the whole list.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "webapi/records.h"

namespace qrv {

// The part of a server code after its first "qrv" ("qrv100" gives "100"); without "qrv", the code
// less its first two characters (empty when it is shorter).
std::string ServerKey(std::string_view code);

// A server's button text, ". <name> [<line>]" ("电信", "网通" or "双线"); empty when the type names
// no line.
std::string ServerItemText(const ServerEntry& server);

// The state picture as a label attribute, bkimage="file='ser.png' source='...'".
std::string StatePictureAttribute(std::string_view state);

// Whether a server of this state can be chosen from the paged list ("3" and "4" cannot) and from
// the recent and recommended lines (only "3" cannot).
bool PagedItemEnabled(std::string_view state);
bool SideItemEnabled(std::string_view state);

// The part of a text from its first "[" up to and including the next "]". Without "[" the search
// for "]" starts at the text's beginning; without a following "]" the result is empty.
std::string ServerLookupText(std::string_view text);

// The tag the search by number looks for: "[<digits>服]" with only the digits of `typed`.
std::string ServerNumberTag(std::string_view typed);

// The first server whose name contains `lookup`; an empty lookup text matches the first server.
std::optional<std::size_t> FindServerByLookup(std::string_view lookup,
                                              const std::vector<ServerEntry>& servers);

// The non-empty pieces of a "played" text split at "|".
std::vector<std::string> PlayedTokens(std::string_view played);

// Paging: sections of 160 servers, pages of 20.
inline constexpr int kServersPerSection = 160;
inline constexpr int kServersPerPage = 20;

struct PageSlice {
  std::size_t first = 0;  // index of the first server shown
  std::size_t count = 0;  // servers shown, at most 20
};

// Servers in `section` (0 for a section past the end of the list, at most 160).
int SectionServerCount(std::size_t total, int section);
// Pages of `section`, 20 servers each, the last one possibly shorter.
int SectionPageCount(std::size_t total, int section);
// The servers page `page` (from 1) of `section` shows; none for a page outside the section.
PageSlice SectionPage(std::size_t total, int section, int page);
// Maximum width of the spacer before the paging bar, which keeps the bar's buttons in place.
int PagingSpacerWidth(int pages);

}  // namespace qrv
