#include "sim/platform_data.h"

#include <json-glib/json-glib.h>

#include <set>

namespace qrv::sim {
namespace {

// Reads member `name` of `object` as text. Strings are taken as they are, numbers are written in
// decimal, so a data file may say "vip": 3 or "vip": "3". Anything else reads as empty.
std::string TextMember(JsonObject* object, const char* name) {
  JsonNode* node = json_object_get_member(object, name);
  if (node == nullptr || !JSON_NODE_HOLDS_VALUE(node)) return {};
  switch (json_node_get_value_type(node)) {
    case G_TYPE_STRING:
      return json_node_get_string(node);
    case G_TYPE_INT64:
      return std::to_string(json_node_get_int(node));
    case G_TYPE_DOUBLE: {
      char buffer[G_ASCII_DTOSTR_BUF_SIZE];
      return g_ascii_dtostr(buffer, sizeof buffer, json_node_get_double(node));
    }
    case G_TYPE_BOOLEAN:
      return json_node_get_boolean(node) ? "1" : "0";
    default:
      return {};
  }
}

JsonArray* ArrayMember(JsonObject* root, const char* name) {
  JsonNode* node = json_object_get_member(root, name);
  return node != nullptr && JSON_NODE_HOLDS_ARRAY(node) ? json_node_get_array(node) : nullptr;
}

// Calls `read(object, index)` for every element of the array; a non-object element is an error.
template <typename Read>
bool ForEachObject(JsonArray* array, const char* what, std::string& error, Read read) {
  if (array == nullptr) return true;
  for (guint i = 0; i < json_array_get_length(array); ++i) {
    JsonNode* node = json_array_get_element(array, i);
    if (!JSON_NODE_HOLDS_OBJECT(node)) {
      error = std::string(what) + " #" + std::to_string(i) + " is not an object";
      return false;
    }
    if (!read(json_node_get_object(node), i)) return false;
  }
  return true;
}

Profile ReadProfile(JsonObject* object) {
  Profile profile;
  profile.id = TextMember(object, "id");
  profile.code = TextMember(object, "code");
  profile.vip = TextMember(object, "vip");
  profile.uid = TextMember(object, "uid");
  profile.uid_type = TextMember(object, "uid_type");
  profile.nick = TextMember(object, "nick");
  profile.credits = TextMember(object, "credits");
  profile.balance = TextMember(object, "balance");
  profile.played = TextMember(object, "played");
  return profile;
}

}  // namespace

const Account* PlatformData::FindAccount(const std::string& account) const {
  for (const Account& candidate : accounts) {
    if (candidate.account == account) return &candidate;
  }
  return nullptr;
}

const Account* PlatformData::FindAccountByProfileId(const std::string& id) const {
  for (const Account& candidate : accounts) {
    if (candidate.profile.id == id) return &candidate;
  }
  return nullptr;
}

const Server* PlatformData::FindServerByCode(const std::string& code) const {
  for (const Server& server : servers) {
    if (server.code == code) return &server;
  }
  return nullptr;
}

std::optional<PlatformData> ParsePlatformData(const std::string& json_text, std::string& error) {
  g_autoptr(JsonParser) parser = json_parser_new();
  g_autoptr(GError) parse_error = nullptr;
  if (!json_parser_load_from_data(parser, json_text.data(), static_cast<gssize>(json_text.size()),
                                  &parse_error)) {
    error = parse_error->message;
    return std::nullopt;
  }
  JsonNode* root_node = json_parser_get_root(parser);
  if (root_node == nullptr || !JSON_NODE_HOLDS_OBJECT(root_node)) {
    error = "the data file must hold one JSON object";
    return std::nullopt;
  }
  JsonObject* root = json_node_get_object(root_node);
  PlatformData data;

  std::set<std::string> account_names;
  const bool accounts_ok =
      ForEachObject(ArrayMember(root, "accounts"), "account", error, [&](JsonObject* object, guint i) {
        Account account;
        account.account = TextMember(object, "account");
        account.password = TextMember(object, "password");
        JsonNode* profile = json_object_get_member(object, "profile");
        if (profile != nullptr && JSON_NODE_HOLDS_OBJECT(profile)) {
          account.profile = ReadProfile(json_node_get_object(profile));
        }
        if (account.account.empty() || account.profile.id.empty()) {
          error = "account #" + std::to_string(i) + " needs \"account\" and \"profile\".\"id\"";
          return false;
        }
        if (!account_names.insert(account.account).second) {
          error = "account \"" + account.account + "\" is listed twice";
          return false;
        }
        data.accounts.push_back(std::move(account));
        return true;
      });
  if (!accounts_ok) return std::nullopt;

  const bool servers_ok =
      ForEachObject(ArrayMember(root, "servers"), "server", error, [&](JsonObject* object, guint i) {
        Server server{TextMember(object, "id"),    TextMember(object, "name"),
                      TextMember(object, "code"),  TextMember(object, "type"),
                      TextMember(object, "state"), TextMember(object, "open_date")};
        if (server.id.empty() || server.code.empty()) {
          error = "server #" + std::to_string(i) + " needs \"id\" and \"code\"";
          return false;
        }
        data.servers.push_back(std::move(server));
        return true;
      });
  if (!servers_ok) return std::nullopt;

  const bool news_ok =
      ForEachObject(ArrayMember(root, "news"), "news item", error, [&](JsonObject* object, guint) {
        data.news.push_back({TextMember(object, "title"), TextMember(object, "add_date"),
                             TextMember(object, "url"), TextMember(object, "body")});
        return true;
      });
  if (!news_ok) return std::nullopt;

  auto chat = ReadChatData(root, error);
  if (!chat) return std::nullopt;
  data.chat = std::move(*chat);
  return data;
}

std::optional<PlatformData> LoadPlatformData(const std::string& path, std::string& error) {
  g_autofree char* contents = nullptr;
  gsize length = 0;
  g_autoptr(GError) read_error = nullptr;
  if (!g_file_get_contents(path.c_str(), &contents, &length, &read_error)) {
    error = read_error->message;
    return std::nullopt;
  }
  return ParsePlatformData(std::string(contents, length), error);
}

}  // namespace qrv::sim
