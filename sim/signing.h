#pragma once
// The platform's request signatures: UPPER(MD5 hex(text)) over a text that ends with the key
// shared with the launcher. The simulator computes them on its own with GLib's MD5, as the real
// platform would, so a launcher that signs wrongly is caught here.

#include <string>
#include <string_view>

namespace qrv::sim {

inline constexpr std::string_view kSigningKey = "Hx3PqL8vRw2KdT6mZy9B";

// 32 uppercase hexadecimal digits of the MD5 of `text`'s bytes.
std::string Md5HexUpper(std::string_view text);

// Login and profile: account + time + UPPER(MD5 hex(password)) + key.
std::string AccountSignature(std::string_view account, std::string_view time, std::string_view password);

// Exit notice: "exit" + user id + time + adapter text + key.
std::string ExitSignature(std::string_view user_id, std::string_view time, std::string_view adapter);

// A signature the launcher could have produced at all: exactly 32 uppercase hexadecimal digits.
bool IsWellFormedSignature(std::string_view sign);

}  // namespace qrv::sim
