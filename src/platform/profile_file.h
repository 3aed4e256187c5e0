#pragma once
// Reading and writing INI files with the rules of the Windows profile functions:
//  - sections and keys match without regard to case (ASCII);
//  - a missing file, section or key gives the caller's default;
//  - integer reads take an optional sign and the leading decimal digits ("12ab" is 12, "ab" is 0);
//  - text reads are cut to 1023 bytes (a 1024-byte buffer with its terminating zero);
//  - a write replaces the value of an existing key, or appends the key (and the section) at the
//    end; it never creates the folder, and a failed write goes unnoticed.
// Beyond those rules: a write replaces the whole file atomically and durably, so a crash or a full
// disk never leaves half a file, and malformed files (binary data, a byte-order mark, lines without
// "=", duplicate keys) read as well as they can, never crash, and the first duplicate wins.

#include <string>
#include <string_view>

namespace qrv {

inline constexpr std::size_t kProfileTextBuffer = 1024;

int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::string& path);

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& path,
                                    std::size_t buffer_size = kProfileTextBuffer);

// Returns whether the file was written; callers of the original API ignore it. A file created by
// the first write is readable by its owner only (the settings file holds the remembered password);
// a replaced file keeps its mode.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path);

}  // namespace qrv
