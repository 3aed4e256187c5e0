#include "sim/sim_test_support.h"

#include <curl/curl.h>
#include <glib.h>
#include <json-glib/json-glib.h>

#include <filesystem>
#include <regex>

namespace qrv::sim::testing {
namespace {

constexpr std::string_view kKey = "Hx3PqL8vRw2KdT6mZy9B";

size_t AppendBody(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

size_t CollectCookie(char* data, size_t size, size_t count, void* cookies) {
  std::string line(data, size * count);
  constexpr std::string_view kName = "set-cookie:";
  if (line.size() > kName.size() && g_ascii_strncasecmp(line.c_str(), kName.data(), kName.size()) == 0) {
    line.erase(0, kName.size());
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    while (!line.empty() && line.front() == ' ') line.erase(0, 1);
    static_cast<std::vector<std::string>*>(cookies)->push_back(line);
  }
  return size * count;
}

std::string NodeText(JsonNode* node) {
  if (node == nullptr || !JSON_NODE_HOLDS_VALUE(node)) return {};
  if (json_node_get_value_type(node) == G_TYPE_STRING) return json_node_get_string(node);
  if (json_node_get_value_type(node) == G_TYPE_INT64) return std::to_string(json_node_get_int(node));
  return {};
}

std::map<std::string, std::string> ObjectTexts(JsonObject* object) {
  std::map<std::string, std::string> texts;
  if (object == nullptr) return texts;
  GList* members = json_object_get_members(object);
  for (GList* m = members; m != nullptr; m = m->next) {
    const char* name = static_cast<const char*>(m->data);
    texts[name] = NodeText(json_object_get_member(object, name));
  }
  g_list_free(members);
  return texts;
}

JsonObject* ObjectMember(JsonObject* object, const char* name) {
  JsonNode* node = json_object_get_member(object, name);
  return node != nullptr && JSON_NODE_HOLDS_OBJECT(node) ? json_node_get_object(node) : nullptr;
}

}  // namespace

std::string UpperMd5(std::string_view text) {
  g_autofree char* hex =
      g_compute_checksum_for_data(G_CHECKSUM_MD5, reinterpret_cast<const guchar*>(text.data()), text.size());
  std::string upper = hex;
  for (char& c : upper) c = g_ascii_toupper(c);
  return upper;
}

std::string Escape(std::string_view text) {
  g_autofree char* escaped =
      g_uri_escape_bytes(reinterpret_cast<const guint8*>(text.data()), text.size(), nullptr);
  return escaped;
}

std::string LoginPath(const std::string& account, const std::string& password, const std::string& time,
                      const std::string& mac) {
  const std::string sign = UpperMd5(account + time + UpperMd5(password) + std::string(kKey));
  return "/clientlogingame.php?action=login&&partner=qrv&account=" + Escape(account) + "&time=" + time +
         "&sign=" + sign + "&%20addr%20=%7B%22%22%7D&mac=" + Escape(mac);
}

std::string ProfilePath(const std::string& account, const std::string& password, const std::string& time) {
  const std::string sign = UpperMd5(account + time + UpperMd5(password) + std::string(kKey));
  return "/clientreglogin.php?action=getprofile&&partner=qrv&account=" + Escape(account) + "&time=" + time +
         "&sign=" + sign + "&%20addr%20=%7B%22%22%7D";
}

std::string ExitPath(const std::string& user_id, const std::string& mac, const std::string& login_date,
                     const std::string& time) {
  const std::string sign = UpperMd5("exit" + user_id + time + mac + std::string(kKey));
  return "/clientreglogin.php?action=exit&partner=qrv&%20userid=" + Escape(user_id) +
         "&addr=&mac=" + Escape(mac) + "&login_date=" + login_date + "&time=" + time + "&sign=" + sign;
}

HttpClient::HttpClient(bool http10_keep_alive) : curl_(curl_easy_init()) {
  CURL* curl = static_cast<CURL*>(curl_);
  curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");  // cookie engine on, nothing loaded
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  if (http10_keep_alive) {
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    headers_ = curl_slist_append(nullptr, "Connection: keep-alive");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers_);
  }
}

HttpClient::~HttpClient() {
  curl_easy_cleanup(static_cast<CURL*>(curl_));
  curl_slist_free_all(static_cast<curl_slist*>(headers_));
}

HttpResult HttpClient::Get(const std::string& url) {
  CURL* curl = static_cast<CURL*>(curl_);
  HttpResult result;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectCookie);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &result.set_cookies);
  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) result.error = curl_easy_strerror(code);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  return result;
}

std::vector<Attributes> DataElements(const std::string& body) {
  static const std::regex element("<data([^>]*)/>");
  static const std::regex attribute("([A-Za-z_]+)='([^']*)'");
  std::vector<Attributes> elements;
  for (auto e = std::sregex_iterator(body.begin(), body.end(), element); e != std::sregex_iterator(); ++e) {
    const std::string inner = (*e)[1];
    Attributes attributes;
    for (auto a = std::sregex_iterator(inner.begin(), inner.end(), attribute); a != std::sregex_iterator();
         ++a) {
      attributes[(*a)[1]] = (*a)[2];
    }
    elements.push_back(std::move(attributes));
  }
  return elements;
}

std::string LogEntry::Field(const std::string& name) const {
  const auto found = fields.find(name);
  return found == fields.end() ? std::string() : found->second;
}

LogEntry ParseLogLine(const std::string& line) {
  LogEntry entry;
  g_autoptr(JsonParser) parser = json_parser_new();
  if (!json_parser_load_from_data(parser, line.c_str(), static_cast<gssize>(line.size()), nullptr))
    return entry;
  JsonNode* root = json_parser_get_root(parser);
  if (root == nullptr || !JSON_NODE_HOLDS_OBJECT(root)) return entry;
  JsonObject* object = json_node_get_object(root);
  entry.valid = true;
  entry.fields = ObjectTexts(object);
  entry.query = ObjectTexts(ObjectMember(object, "query"));
  entry.cookies = ObjectTexts(ObjectMember(object, "cookies"));
  JsonNode* headers = json_object_get_member(object, "headers");
  if (headers != nullptr && JSON_NODE_HOLDS_ARRAY(headers)) {
    JsonArray* array = json_node_get_array(headers);
    for (guint i = 0; i < json_array_get_length(array); ++i) {
      JsonNode* pair = json_array_get_element(array, i);
      if (!JSON_NODE_HOLDS_ARRAY(pair) || json_array_get_length(json_node_get_array(pair)) != 2) {
        entry.valid = false;
        continue;
      }
      JsonArray* items = json_node_get_array(pair);
      entry.headers.emplace_back(NodeText(json_array_get_element(items, 0)),
                                 NodeText(json_array_get_element(items, 1)));
    }
  }
  return entry;
}

std::vector<LogEntry> LogEntries(const SimProcess& sim) {
  std::vector<LogEntry> entries;
  for (const std::string& line : sim.LogLines()) entries.push_back(ParseLogLine(line));
  return entries;
}

std::vector<LogEntry> EntriesWithEvent(const SimProcess& sim, const std::string& event) {
  std::vector<LogEntry> matching;
  for (LogEntry& entry : LogEntries(sim)) {
    if (entry.Field("event") == event) matching.push_back(std::move(entry));
  }
  return matching;
}

void SimTest::SetUp() {
  ASSERT_FALSE(dir_.path().empty());
  SimOptions options;
  options.work_dir = dir_.path();
  std::string error;
  sim_ = SimProcess::Start(options, error);
  ASSERT_NE(sim_, nullptr) << error;
}

void SimTest::TearDown() {
  if (sim_ != nullptr) {
    EXPECT_EQ(sim_->Stop(), 0);
  }
}

}  // namespace qrv::sim::testing
