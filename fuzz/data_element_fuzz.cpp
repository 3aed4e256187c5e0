// Feeds arbitrary bytes to the data element reader and the record readers, as a hostile or broken
// platform response would reach them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "webapi/data_element_list.h"
#include "webapi/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  // The first bytes up to a newline serve as a key, so odd keys (empty, quotes, "data", longer
  // than any element) get exercised against the rest as a response.
  const std::size_t newline = text.find('\n');
  const std::string key = newline == std::string::npos ? std::string("id") : text.substr(0, newline);

  qrv::DataElementList list;
  list.Load(text);
  (void)list.Attribute(key);
  std::size_t visited = 0;
  while (list.Next()) {
    const std::string_view element = list.current();
    const std::string value = list.Attribute(key);
    // A value is always a piece of its element and never holds the quote that ends it.
    if (value.size() > element.size() || value.find('\'') != std::string::npos) __builtin_trap();
    (void)list.Attribute("id");
    (void)list.Attribute("uid");
    ++visited;
  }
  if (visited != list.size() || visited > text.size()) __builtin_trap();

  (void)qrv::ReadServerList(text);
  (void)qrv::ReadProfile(text);
  (void)qrv::ReadNewsList(text);
  return 0;
}
