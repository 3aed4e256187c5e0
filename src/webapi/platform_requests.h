#pragma once
// The requests of the platform's web interface as paths: the signing rule, the time value, and
// one builder per request. Each builder returns the path that follows the host, without a
// leading slash.
//
// Arguments are percent-encoded (every byte outside A-Z a-z 0-9 - . _ ~ becomes %XX), so an
// account holding "&", "#", "%", a space or Chinese text cannot break the request or smuggle in
// parameters; plain letters and digits go out unchanged, as the platform has always received
// them. The templates' own spaces and {""} are sent encoded, their "&", "=" and "?" as written.
// Signatures are computed over the raw, unencoded texts, which is what the platform checks.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qrv {

// The key shared with the platform that every signature ends with.
inline constexpr std::string_view kSigningKey = "Hx3PqL8vRw2KdT6mZy9B";

// Fixed paths of the unsigned requests.
inline constexpr std::string_view kServerListPath =
    "clientgameserver.php?action=serverlist&partner=qrvclient&code=qrv";
inline constexpr std::string_view kNewsListPath = "news/list-1480-1.xml";
inline constexpr std::string_view kHeartbeatPath = "clientlogingame.php?heart=1";

// Upper-case MD5 hex of `text`: the signature the platform expects.
std::string Sign(std::string_view text);

// Whole seconds since 1970-01-01 00:00 UTC, from the system clock.
std::int64_t CurrentUnixSeconds();

// `seconds` written in decimal, as every request's time parameter.
std::string TimeValue(std::int64_t seconds);

// `argument` with every byte outside the URL's unreserved set written as %XX (upper case).
std::string PercentEncode(std::string_view argument);

// `path_template` with each "%s" replaced by the next argument, percent-encoded, and the
// template's own spaces, braces and double quotes encoded. Surplus "%s" are left empty.
std::string FillPathTemplate(std::string_view path_template, std::initializer_list<std::string_view> args);

// account + time + UPPER(MD5 hex(password)) + key: the signature text of both login forms and of
// the profile request.
std::string AccountSignatureText(std::string_view account, std::string_view time_value,
                                 std::string_view password);

// "exit" + user id + time + adapter text + key.
std::string ExitSignatureText(std::string_view user_id, std::string_view time_value,
                              std::string_view adapter_text);

std::string LoginPath(std::string_view account, std::string_view password, std::string_view time_value,
                      std::string_view adapter_text);

std::string ProfilePath(std::string_view account, std::string_view password, std::string_view time_value);

// `login_time` is the time value of the last login request; `time_value` a fresh one.
std::string ExitNoticePath(std::string_view user_id, std::string_view adapter_text,
                           std::string_view login_time, std::string_view time_value);

}  // namespace qrv
