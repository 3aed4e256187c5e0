#pragma once
// The web addresses the main frame and its More panel open: the game page of a server, the pay
// page and the feedback page.

#include <string>
#include <string_view>

namespace qrv {

// "http://<site>/joinGame/code/<code>/gamebarhide/1/" (https:// for an https site).
std::string GamePageAddress(const std::string& site_host, const std::string& server_code);

// The server number of a server name: the text between the first character and the first "服"
// of the part before the first "]" ("[100服]..." gives "100"). Empty when the name has no "]"
// or no "服" before it.
std::string PayServerSegment(const std::string& server_name);

// "https://<account host>/pay/g/qrv/s/<server number>/u/<user code>/", both values escaped.
std::string PayPageAddress(const std::string& account_host, const std::string& server_name,
                           const std::string& user_code);

// "http://<site>/boxfeedback/type/argee/u/<account>/" (https:// for an https site), the account
// percent-encoded.
std::string FeedbackPageAddress(const std::string& site_host, const std::string& account);

}  // namespace qrv
