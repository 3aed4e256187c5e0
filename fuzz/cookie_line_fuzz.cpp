// The cookie file is read back at every start: a damaged or hand-edited line must never crash the
// launcher, and whatever a line reads as must survive being written and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/cookie_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const auto cookie = qrv::ParseCookieLine(line);
  if (!cookie) return 0;
  const auto again = qrv::ParseCookieLine(qrv::FormatCookieLine(*cookie));
  if (!again || !(*again == *cookie)) std::abort();
  qrv::CookieMatches(*cookie, "127.0.0.1", "/", 0);
  qrv::CookieHeaderValue({*cookie}, "www.zelto.com", "/", 0);
  return 0;
}
