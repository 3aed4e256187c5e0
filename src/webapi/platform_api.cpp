#include "webapi/platform_api.h"

#include <utility>

#include "net/web_client.h"
#include "net/web_context.h"
#include "webapi/platform_requests.h"
#include "platform/codepage.h"
#include "platform/debug_sink.h"
#include "platform/process.h"

namespace qrv {

LoginOutcome LoginVerdict::outcome() const {
  if (success) return LoginOutcome::kSuccess;
  if (illegal_password) return LoginOutcome::kIllegalPassword;
  if (account_not_exist) return LoginOutcome::kAccountNotExist;
  return LoginOutcome::kFailed;
}

LoginVerdict ClassifyLoginResponse(std::string_view response) {
  LoginVerdict verdict;
  verdict.success = response.find("SUCCESS") != std::string_view::npos;
  if (!verdict.success) {
    verdict.illegal_password = response.find("ILLEGAL_PASSWORD") != std::string_view::npos;
    verdict.account_not_exist = response.find("ACCOUNT_NOT_EXIST") != std::string_view::npos;
  }
  return verdict;
}

PlatformApi::PlatformApi(WebContext& web, Clock clock, AdapterReader adapter_reader)
    : web_(web),
      clock_(clock ? std::move(clock) : Clock(CurrentUnixSeconds)),
      adapter_reader_(adapter_reader ? std::move(adapter_reader) : AdapterReader(FirstInterfaceName)) {}

std::string PlatformApi::Login(std::string_view account, std::string_view password) {
  std::string adapter_text = adapter_reader_();
  {
    std::lock_guard lock(values_mutex_);
    login_values_.adapter_text = std::move(adapter_text);
  }
  OutputDebugString("*****发送登录请求*****\r\n");
  std::string response = SendLogin(account, password);
  OutputDebugString("********获取登录结果***************\r\n");
  return response;
}

std::string PlatformApi::ShortLogin(std::string_view account, std::string_view password) {
  return SendLogin(account, password);
}

std::string PlatformApi::SendLogin(std::string_view account, std::string_view password) {
  LoginValues values;
  {
    std::lock_guard lock(values_mutex_);
    login_values_.login_time = Now();
    login_values_.user_id = std::string(account);
    values = login_values_;
  }
  return Fetch(web_.deploy().site, LoginPath(account, password, values.login_time, values.adapter_text));
}

LoginValues PlatformApi::login_values() const {
  std::lock_guard lock(values_mutex_);
  return login_values_;
}

PlayerProfile PlatformApi::FetchProfile(std::string_view account, std::string_view password) {
  const std::string response = Fetch(web_.deploy().interface, ProfilePath(account, password, Now()));
  return ReadProfile(SystemFromUtf8(response));
}

std::vector<ServerEntry> PlatformApi::FetchServerList() {
  const std::string response = Fetch(web_.deploy().interface, kServerListPath);
  OutputDebugString("**************获取服务器列表**************\r\n");
  std::vector<ServerEntry> servers = ReadServerList(SystemFromUtf8(response));
  OutputDebugString("********************解析服务器列表成功******************\r\n");
  return servers;
}

std::vector<NewsItem> PlatformApi::FetchNewsList() {
  return ReadNewsList(SystemFromUtf8(Fetch(web_.deploy().game, kNewsListPath)));
}

std::string PlatformApi::Heartbeat() { return Fetch(web_.deploy().site, kHeartbeatPath); }

void PlatformApi::SendExitNotice() {
  const LoginValues values = login_values();
  Fetch(web_.deploy().interface, ExitNoticePath(values.user_id, values.adapter_text, values.login_time, Now()));
}

std::string PlatformApi::Fetch(const std::string& host, std::string_view path) {
  WebClient client(web_);
  client.SetHost(host);
  std::string body = client.Fetch(path);
  client.Close();
  return body;
}

std::string PlatformApi::Now() const { return TimeValue(clock_()); }

}  // namespace qrv
