#include "sim/query.h"

namespace qrv::sim {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Calls `piece` for each part of `text` between separators.
template <typename Piece>
void Split(std::string_view text, char separator, Piece piece) {
  while (true) {
    const auto end = text.find(separator);
    piece(text.substr(0, end));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

TextPairs DecodeQuery(std::string_view raw_query) {
  TextPairs pairs;
  Split(raw_query, '&', [&](std::string_view piece) {
    if (piece.empty()) return;
    const auto equals = piece.find('=');
    if (equals == std::string_view::npos) {
      pairs.emplace_back(PercentDecode(piece), std::string());
    } else {
      pairs.emplace_back(PercentDecode(piece.substr(0, equals)), PercentDecode(piece.substr(equals + 1)));
    }
  });
  return pairs;
}

std::optional<std::string> FindValue(const TextPairs& pairs, std::string_view key) {
  for (const auto& [name, value] : pairs) {
    if (TrimSpaces(name) == key) return value;
  }
  return std::nullopt;
}

TextPairs ParseCookies(std::string_view header) {
  TextPairs cookies;
  Split(header, ';', [&](std::string_view piece) {
    piece = TrimSpaces(piece);
    if (piece.empty()) return;
    const auto equals = piece.find('=');
    if (equals == std::string_view::npos) {
      cookies.emplace_back(std::string(piece), std::string());
    } else {
      cookies.emplace_back(std::string(TrimSpaces(piece.substr(0, equals))),
                           std::string(TrimSpaces(piece.substr(equals + 1))));
    }
  });
  return cookies;
}

}  // namespace qrv::sim
