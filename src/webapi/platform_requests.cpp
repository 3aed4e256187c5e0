#include "webapi/platform_requests.h"

#include <chrono>

#include "net/md5.h"

namespace qrv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

void AppendEscaped(std::string& out, unsigned char c) {
  out += '%';
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 0x0F];
}

// Template characters that a URL cannot carry as they are; "&", "=" and "?" keep their meaning.
bool TemplateCharNeedsEscape(char c) { return c == ' ' || c == '{' || c == '}' || c == '"'; }

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

std::string Sign(std::string_view text) { return Upper(Md5Hex(text)); }

std::int64_t CurrentUnixSeconds() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::seconds>(now).count();
}

std::string TimeValue(std::int64_t seconds) { return std::to_string(seconds); }

std::string PercentEncode(std::string_view argument) {
  std::string out;
  out.reserve(argument.size());
  for (char c : argument) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      out += c;
    } else {
      AppendEscaped(out, byte);
    }
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
      AppendEscaped(out, static_cast<unsigned char>(c));
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
