#pragma once
// The remembered account and password ("Update"/"version" and "Update"/"checkcode" of the
// settings file). They are not kept in plain text, only scrambled without a key, so a glance at
// the file does not show them; this is not encryption (the file itself is readable by its owner
// only).
//
// Stored form:
//  - A text made only of printable ASCII characters (32 to 126) is stored with 32 added to every
//    byte, one stored byte per character. This is the form earlier versions wrote, so settings
//    files they left behind keep working, and it never produces a byte below 64.
//  - Any other text (Chinese UTF-8, control characters) would turn into control bytes, line feeds
//    or a zero byte under that rule, which the settings file cannot hold, so it is stored as "!"
//    followed by two lowercase hexadecimal digits per byte. "!" (33) cannot begin a value of the
//    first form, which tells the two apart; every stored byte is printable ASCII.
//  - The empty text is stored empty: nothing is remembered.
// Reading a value that starts with "!" but is not well-formed hexadecimal gives the empty text
// (nothing remembered) rather than garbage. Any other value is read with 32 taken off every byte,
// as earlier versions did.

#include <string>
#include <string_view>

namespace qrv {

class SettingsFile;

std::string ScrambleCredential(std::string_view text);
std::string UnscrambleCredential(std::string_view stored);

struct RememberedCredentials {
  std::string account;
  std::string password;
};

RememberedCredentials ReadRememberedCredentials(const SettingsFile& settings);
void WriteRememberedCredentials(const SettingsFile& settings, std::string_view account,
                                std::string_view password);

}  // namespace qrv
