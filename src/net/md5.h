#pragma once
#include <string>
#include <string_view>

namespace qrv {

// 32 lowercase hexadecimal digits of the MD5 (RFC 1321) of the bytes of `text` up to its first
// zero byte, as the platform's signatures are computed.
std::string Md5Hex(std::string_view text);

}  // namespace qrv
