#pragma once
// Lenient decoding of what arrives in a request: the query string and the Cookie header. The
// launcher fills its request templates with raw arguments and lets its HTTP library escape the
// rest, so keys such as " addr " reach us as "%20addr%20", and a client may send malformed
// escapes; nothing here rejects input, it only decodes what it can.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qrv::sim {

using TextPairs = std::vector<std::pair<std::string, std::string>>;

// Decodes %XX escapes. A "%" not followed by two hexadecimal digits stays as it is. "+" stays a
// plus sign: the launcher does not form-encode, and a "+" in an account name must survive.
std::string PercentDecode(std::string_view text);

// Splits a raw query ("a=1&&b=%20x") at "&" into decoded pairs in order. Empty pieces are dropped;
// a piece without "=" gives its key with an empty value.
TextPairs DecodeQuery(std::string_view raw_query);

// The value of the first pair whose key, with surrounding spaces removed, equals `key`.
std::optional<std::string> FindValue(const TextPairs& pairs, std::string_view key);

// Splits Cookie header values ("a=1; b=2") into pairs in order.
TextPairs ParseCookies(std::string_view header);

}  // namespace qrv::sim
