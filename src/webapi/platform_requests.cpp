#include "webapi/platform_requests.h"

#include <glib.h>

#include <algorithm>
#include <chrono>

#include "net/md5.h"

namespace qrv {
namespace {

// Template characters that a URL cannot carry as they are; "&", "=" and "?" keep their meaning.
bool TemplateCharNeedsEscape(char c) { return c == ' ' || c == '{' || c == '}' || c == '"'; }

std::string Upper(std::string_view text) {
  g_autofree gchar* upper = g_ascii_strup(text.data(), static_cast<gssize>(text.size()));
  return upper;
}

}  // namespace

std::string Sign(std::string_view text) { return Upper(Md5Hex(text)); }

std::int64_t CurrentUnixSeconds() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::seconds>(now).count();
}

std::string TimeValue(std::int64_t seconds) { return std::to_string(seconds); }

std::string PercentEncode(std::string_view argument) {
  // Everything but A-Z a-z 0-9 - . _ ~ is escaped (GLib escapes those too when no reserved
  // character is allowed). A zero byte would end GLib's string early: it is escaped here.
  std::string out;
  for (std::size_t start = 0; start <= argument.size();) {
    const std::size_t zero = std::min(argument.find('\0', start), argument.size());
    const std::string piece(argument.substr(start, zero - start));
    g_autofree gchar* escaped = g_uri_escape_string(piece.c_str(), nullptr, FALSE);
    out += escaped;
    if (zero == argument.size()) break;
    out += "%00";
    start = zero + 1;
  }
  return out;
}

std::string FillPathTemplate(std::string_view path_template, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next_arg = args.begin();
  for (std::size_t i = 0; i < path_template.size(); ++i) {
    const char c = path_template[i];
    if (c == '%' && i + 1 < path_template.size() && path_template[i + 1] == 's') {
      if (next_arg != args.end()) out += PercentEncode(*next_arg++);
      ++i;
    } else if (TemplateCharNeedsEscape(c)) {
      out += PercentEncode(std::string_view(&c, 1));
    } else {
      out += c;
    }
  }
  return out;
}

std::string AccountSignatureText(std::string_view account, std::string_view time_value,
                                 std::string_view password) {
  std::string text(account);
  text += time_value;
  text += Sign(password);
  text += kSigningKey;
  return text;
}

std::string ExitSignatureText(std::string_view user_id, std::string_view time_value,
                              std::string_view adapter_text) {
  std::string text = "exit";
  text += user_id;
  text += time_value;
  text += adapter_text;
  text += kSigningKey;
  return text;
}

std::string LoginPath(std::string_view account, std::string_view password, std::string_view time_value,
                      std::string_view adapter_text) {
  const std::string sign = Sign(AccountSignatureText(account, time_value, password));
  return FillPathTemplate(
      "clientlogingame.php?action=login&&partner=qrv&account=%s&time=%s&sign=%s& addr ={\"\"}&mac=%s",
      {account, time_value, sign, adapter_text});
}

std::string ProfilePath(std::string_view account, std::string_view password, std::string_view time_value) {
  const std::string sign = Sign(AccountSignatureText(account, time_value, password));
  return FillPathTemplate(
      "clientreglogin.php?action=getprofile&&partner=qrv&account=%s&time=%s&sign=%s& addr ={\"\"}",
      {account, time_value, sign});
}

std::string ExitNoticePath(std::string_view user_id, std::string_view adapter_text,
                           std::string_view login_time, std::string_view time_value) {
  const std::string sign = Sign(ExitSignatureText(user_id, time_value, adapter_text));
  return FillPathTemplate(
      "clientreglogin.php?action=exit&partner=qrv& userid=%s&addr=%s&mac=%s&login_date=%s&time=%s&sign=%s",
      {user_id, "", adapter_text, login_time, time_value, sign});
}

}  // namespace qrv
