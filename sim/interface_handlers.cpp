// The platform's web interface: login, heartbeat, profile, server list, news list, exit notice
// and the statistics beacon. Answers are the words and data elements the launcher looks for.

#include <cstdlib>
#include <string_view>

#include "sim/pages.h"
#include "sim/platform_server.h"
#include "sim/signing.h"

namespace qrv::sim {
namespace {

constexpr const char* kSessionCookie = "PHPSESSID";
constexpr const char* kXmlHeader = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

// Attribute values sit in single quotes and the launcher's reader cuts a value at the first "'"
// and an element at the first "/>", so those characters are written as character references.
std::string AttributeValue(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '\'':
        escaped += "&#39;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped.push_back(c);
    }
  }
  return escaped;
}

std::string DataElement(const TextPairs& attributes) {
  std::string element = "<data";
  for (const auto& [name, value] : attributes) element += " " + name + "='" + AttributeValue(value) + "'";
  return element + "/>";
}

Response Text(std::string body, std::string event, TextPairs details = {}) {
  Response response;
  response.body = std::move(body);
  response.event = std::move(event);
  response.details = std::move(details);
  return response;
}

Response Xml(std::string body, std::string event, TextPairs details = {}) {
  Response response = Text(std::move(body), std::move(event), std::move(details));
  response.content_type = "text/xml; charset=utf-8";
  return response;
}

// The launcher sends whole seconds since 1970 in decimal, without sign or leading zeros.
bool IsTimeValue(std::string_view time) {
  if (time.empty() || time.size() > 19 || (time.size() > 1 && time.front() == '0')) return false;
  for (char c : time) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string NewSessionId() {
  std::string id;
  for (int i = 0; i < 4; ++i) {
    char part[9];
    g_snprintf(part, sizeof part, "%08x", g_random_int());
    id += part;
  }
  return id;
}

// Outcome of checking an account-signed request (login and profile).
enum class SignCheck { kOk, kNoAccount, kMalformed, kMismatch };

SignCheck CheckAccountSignature(const PlatformData& data, const Request& request, const Account*& account) {
  const std::string name = FindValue(request.query, "account").value_or("");
  const std::string time = FindValue(request.query, "time").value_or("");
  const std::string sign = FindValue(request.query, "sign").value_or("");
  account = data.FindAccount(name);
  if (account == nullptr) return SignCheck::kNoAccount;
  if (!IsTimeValue(time) || !IsWellFormedSignature(sign)) return SignCheck::kMalformed;
  if (sign != AccountSignature(account->account, time, account->password)) return SignCheck::kMismatch;
  return SignCheck::kOk;
}

}  // namespace

const Account* PlatformServer::SessionAccount(const Request& request) const {
  // A client may hold a stale session next to a fresh one; any known one counts.
  for (const auto& [name, value] : request.cookies) {
    if (name != kSessionCookie) continue;
    const auto found = sessions_.find(value);
    if (found != sessions_.end()) return data_.FindAccount(found->second);
  }
  return nullptr;
}

Response PlatformServer::Login(const Request& request) {
  const Account* account = nullptr;
  const std::string name = FindValue(request.query, "account").value_or("");
  const std::string mac = FindValue(request.query, "mac").value_or("");
  switch (CheckAccountSignature(data_, request, account)) {
    case SignCheck::kNoAccount:
      return Text("ACCOUNT_NOT_EXIST", "login_fail", {{"account", name}, {"reason", "ACCOUNT_NOT_EXIST"}});
    case SignCheck::kMalformed:
      // Not something a correct launcher sends: it shows a failure without a reason.
      return Text("ILLEGAL_SIGN", "login_fail", {{"account", name}, {"reason", "ILLEGAL_SIGN"}});
    case SignCheck::kMismatch:
      // The signature is the only proof of the password, so a wrong password and a wrongly
      // signed request look the same here.
      return Text("ILLEGAL_PASSWORD", "login_fail", {{"account", name}, {"reason", "ILLEGAL_PASSWORD"}});
    case SignCheck::kOk:
      break;
  }
  const std::string session = NewSessionId();
  sessions_[session] = account->account;
  Response response = Text("SUCCESS", "login_ok", {{"account", name}, {"session", session}, {"mac", mac}});
  response.set_cookies.push_back(std::string(kSessionCookie) + "=" + session + "; path=/");
  return response;
}

Response PlatformServer::Heartbeat(const Request& request) const {
  const Account* account = SessionAccount(request);
  if (account == nullptr) return Text("NOT_LOGIN", "heartbeat", {{"online", "0"}});
  return Text("HEART_OK|" + account->profile.id, "heartbeat",
              {{"online", "1"}, {"account", account->account}});
}

Response PlatformServer::Profile(const Request& request) const {
  const Account* account = nullptr;
  const std::string name = FindValue(request.query, "account").value_or("");
  switch (CheckAccountSignature(data_, request, account)) {
    case SignCheck::kNoAccount:
      return Text("ACCOUNT_NOT_EXIST", "profile_fail", {{"account", name}, {"reason", "ACCOUNT_NOT_EXIST"}});
    case SignCheck::kMalformed:
    case SignCheck::kMismatch:
      return Text("ILLEGAL_SIGN", "profile_fail", {{"account", name}, {"reason", "ILLEGAL_SIGN"}});
    case SignCheck::kOk:
      break;
  }
  const qrv::sim::Profile& profile = account->profile;
  return Xml(DataElement({{"id", profile.id},
                          {"code", profile.code},
                          {"vip", profile.vip},
                          {"uid", profile.uid},
                          {"uid_type", profile.uid_type},
                          {"nick", profile.nick},
                          {"credits", profile.credits},
                          {"balance", profile.balance},
                          {"played", profile.played}}),
             "profile", {{"account", name}});
}

Response PlatformServer::ServerList(const Request& request) const {
  // The list belongs to one game; another game code gets an empty list, as a real platform would.
  const std::string game = FindValue(request.query, "code").value_or("");
  std::string body = std::string(kXmlHeader) + "<list>";
  if (game == "qrv") {
    for (const Server& server : data_.servers) {
      body += DataElement({{"id", server.id},
                           {"name", server.name},
                           {"code", server.code},
                           {"type", server.type},
                           {"state", server.state},
                           {"open_date", server.open_date}});
    }
  }
  body += "</list>";
  return Xml(std::move(body), "serverlist", {{"game", game}});
}

Response PlatformServer::NewsList() const {
  std::string body = std::string(kXmlHeader) + "<list>";
  for (const NewsItem& item : data_.news) {
    body += DataElement(
        {{"title", item.title}, {"add_date", item.add_date}, {"url", ExpandUrl(item.url, base_url())}});
  }
  body += "</list>";
  return Xml(std::move(body), "news");
}

Response PlatformServer::ExitNotice(const Request& request) {
  const std::string user_id = FindValue(request.query, "userid").value_or("");
  const std::string time = FindValue(request.query, "time").value_or("");
  const std::string mac = FindValue(request.query, "mac").value_or("");
  const std::string sign = FindValue(request.query, "sign").value_or("");
  const std::string login_date = FindValue(request.query, "login_date").value_or("");
  TextPairs details = {{"userid", user_id}, {"login_date", login_date}, {"mac", mac}};
  if (!IsTimeValue(time) || sign != ExitSignature(user_id, time, mac)) {
    return Text("ILLEGAL_SIGN", "exit_fail", std::move(details));
  }
  // The player has left: the session that sent the notice for this account ends.
  for (const auto& [name, value] : request.cookies) {
    const auto found = name == kSessionCookie ? sessions_.find(value) : sessions_.end();
    if (found != sessions_.end() && found->second == user_id) sessions_.erase(found);
  }
  return Text("OK", "exit_ok", std::move(details));
}

Response PlatformServer::Statistics(const Request& request) const {
  constexpr std::string_view kApp = "qrvclient";
  const std::string app = FindValue(request.query, "app").value_or("");
  if (app.compare(0, kApp.size(), kApp) != 0) return Text("0", "stat_fail", {{"app", app}});
  return Text("1", "stat",
              {{"code", app.substr(kApp.size())},
               {"from", FindValue(request.query, "from").value_or("")},
               {"pid", FindValue(request.query, "pid").value_or("")}});
}

Response PlatformServer::DropSessions() {
  // Lets a test make the platform forget every login, as after a platform restart, to see the
  // launcher notice it on its next heartbeat and log in again.
  const std::size_t dropped = sessions_.size();
  sessions_.clear();
  return Text("OK", "drop_sessions", {{"dropped", std::to_string(dropped)}});
}

Response PlatformServer::SetDelay(const Request& request) {
  // Lets a test make the platform slow (ms > 0) or hang (ms = -1) for every later request.
  const std::string value = FindValue(request.query, "ms").value_or("0");
  char* end = nullptr;
  const long ms = std::strtol(value.c_str(), &end, 10);
  if (end == value.c_str() || *end != '\0' || ms < -1 || ms > 600000)
    return Text("BAD_DELAY", "delay_refused");
  delay_ms_ = static_cast<int>(ms);
  // How many requests the delay holds for; without a count, every later one.
  const std::string count = FindValue(request.query, "count").value_or("-1");
  delayed_left_ = std::strtol(count.c_str(), nullptr, 10);
  return Text("OK", "delay", {{"ms", std::to_string(ms)}, {"count", count}});
}

Response PlatformServer::SetGameDownload(const Request& request) {
  // Lets a test make every later game page start a download by itself, as a hostile page would.
  game_page_downloads_ = FindValue(request.query, "on").value_or("0") == "1";
  return Text("OK", "game_download", {{"on", game_page_downloads_ ? "1" : "0"}});
}

Response PlatformServer::DownloadFile() {
  // A file no browser view can show: a browser left to itself would save it.
  Response response = Text(std::string("QRV-DOWNLOAD\0\x01\x02", 15), "download");
  response.content_type = "application/octet-stream";
  return response;
}

Response PlatformServer::Redirect(const Request& request) {
  // Sends the client elsewhere: a test sees whether it follows (to a plain-HTTP address, say).
  const std::string to = FindValue(request.query, "to").value_or("");
  Response response = Text("", "redirect", {{"to", to}});
  response.status = 302;
  response.location = to;
  return response;
}

Response PlatformServer::ChatPush(const Request& request) {
  // Lets a test make the chat server say what no request asked for: an acceptance of a chat
  // (accept=ID) and a chat text (agent=ID&text=...) on every open chat connection.
  const auto number = [&](const char* key) {
    return std::strtoull(FindValue(request.query, key).value_or("0").c_str(), nullptr, 10);
  };
  const std::string text = FindValue(request.query, "text").value_or("");
  const int reached = chat_pusher_ ? chat_pusher_(number("accept"), number("agent"), text) : 0;
  return Text("OK " + std::to_string(reached), "chat_push_asked", {{"connections", std::to_string(reached)}});
}

}  // namespace qrv::sim
