#pragma once
// Text conversion between the wire (UTF-8) and the program's own code page. The program's code
// page is UTF-8 as on every Linux desktop, so conversion is validation: sequences that are not
// valid UTF-8 (a truncated response, a hostile server) become U+FFFD instead of travelling on
// into layouts, settings files and URLs.

#include <cstddef>
#include <string>
#include <string_view>

namespace qrv {

// Text received as UTF-8 (web responses, chat frames) in the program's code page.
std::string SystemFromUtf8(std::string_view utf8);

// Program text as UTF-8 for the wire.
std::string Utf8FromSystem(std::string_view text);

// Length in bytes of the character that starts at `pos` (1 for ASCII and for stray bytes), so
// code that walks text character by character never splits one.
std::size_t CharLengthAt(std::string_view text, std::size_t pos);

// Number of characters (not bytes) in `text`.
std::size_t CharCount(std::string_view text);

}  // namespace qrv
