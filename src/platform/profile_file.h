#pragma once
// Reading and writing INI files with the rules of the Windows profile functions:
//  - sections and keys match without regard to case (ASCII);
//  - a missing file, section or key gives the caller's default;
//  - integer reads take an optional sign and the leading decimal digits ("12ab" is 12, "ab" is 0);
//  - text reads are cut to 1023 bytes (a 1024-byte buffer with its terminating zero);
//  - a write replaces the value of an existing key, or appends the key (and the section) at the
//    end; it never creates the folder, and a failed write goes unnoticed.
// Details that follow Windows: blanks around section names, keys and values are trimmed; a key line
// is split at its first "="; only the first section of a name counts, and in it the first key of a
// name; "key=" with an empty value reads as "" for text but as the default for integers.
// Choices of our own:
//  - values are returned as written, without taking off surrounding quotes, so that anything this
//    program writes reads back unchanged;
//  - integers beyond the range of int clamp to INT_MIN / INT_MAX instead of wrapping;
//  - a text read never ends inside a UTF-8 character (the cut moves back to the character's
//    start) and ends at a zero byte, as text in a C buffer would;
//  - lines starting with ";" or "#" are comments; a UTF-8 byte-order mark is skipped; "\r\n" and
//    "\n" line ends both read, and lines added by a write end the way the file's first line does;
//  - a write keeps every other byte of the file (comments, blank lines, unknown sections); it is
//    refused (returns false, file untouched) when a name is empty or the section, key or value
//    would not read back as itself (a line break or zero byte anywhere, "]" in the section, "=" in
//    the key, a key starting with "[", ";" or "#");
//  - the whole file is replaced atomically and durably (a synced temporary file renamed over it),
//    so a crash or a full disk never leaves half a file and a second process reading at the same
//    time sees the old or the new file; a symbolic link is written through, not replaced;
//  - malformed files (binary data, lines without "=", a "[" without "]") read as well as they can
//    and never crash; a file that exists but cannot be read is never overwritten.
// Nothing throws: every failure gives the default, or false from a write.

#include <cstddef>
#include <string>
#include <string_view>

namespace qrv {

inline constexpr std::size_t kProfileTextBuffer = 1024;

int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::string& path);

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& path,
                                    std::size_t buffer_size = kProfileTextBuffer);

// The mode of every file the program writes that may hold the player's login (the settings file,
// the cookies, the alarm store): readable and writable by the owner only.
inline constexpr int kPrivateFileMode = 0600;

// Returns whether the file was written; the program's callers ignore it. The file is written with
// kPrivateFileMode whatever mode an existing one had (the settings file holds the remembered
// password); a file that exists but cannot be written is left alone.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path);

}  // namespace qrv
