#include "sim/chat_data.h"

#include <json-glib/json-glib.h>

#include <set>

namespace qrv::sim {
namespace {

std::string StringMember(JsonObject* object, const char* name, const std::string& fallback = {}) {
  JsonNode* node = json_object_get_member(object, name);
  if (node == nullptr || !JSON_NODE_HOLDS_VALUE(node) || json_node_get_value_type(node) != G_TYPE_STRING)
    return fallback;
  return json_node_get_string(node);
}

// Integers may be written as numbers or as decimal strings; anything else gives `fallback`.
std::int64_t IntMember(JsonObject* object, const char* name, std::int64_t fallback) {
  JsonNode* node = json_object_get_member(object, name);
  if (node == nullptr || !JSON_NODE_HOLDS_VALUE(node)) return fallback;
  switch (json_node_get_value_type(node)) {
    case G_TYPE_INT64:
      return json_node_get_int(node);
    case G_TYPE_BOOLEAN:
      return json_node_get_boolean(node) ? 1 : 0;
    case G_TYPE_STRING: {
      const char* text = json_node_get_string(node);
      char* end = nullptr;
      const auto value = g_ascii_strtoll(text, &end, 10);
      return end != text && *end == '\0' ? value : fallback;
    }
    default:
      return fallback;
  }
}

}  // namespace

const ChatAgent* ChatData::FindAgent(std::uint64_t id) const {
  for (const ChatAgent& agent : agents) {
    if (agent.id == id) return &agent;
  }
  return nullptr;
}

std::optional<ChatData> ReadChatData(JsonObject* root, std::string& error) {
  ChatData data;
  JsonNode* node = json_object_get_member(root, "chat");
  if (node == nullptr) return data;
  if (!JSON_NODE_HOLDS_OBJECT(node)) {
    error = "\"chat\" is not an object";
    return std::nullopt;
  }
  JsonObject* chat = json_node_get_object(node);
  data.login_result = static_cast<int>(IntMember(chat, "login_result", data.login_result));
  data.refuse_result = static_cast<int>(IntMember(chat, "refuse_result", data.refuse_result));
  data.greeting = StringMember(chat, "greeting", data.greeting);
  data.reply = StringMember(chat, "reply", data.reply);
  data.offline_agent = static_cast<std::uint64_t>(IntMember(chat, "offline_agent", 0));
  data.offline_after_texts =
      static_cast<int>(IntMember(chat, "offline_after_texts", data.offline_after_texts));

  if (JsonNode* info = json_object_get_member(chat, "game_info");
      info != nullptr && JSON_NODE_HOLDS_ARRAY(info)) {
    JsonArray* array = json_node_get_array(info);
    for (guint i = 0; i < json_array_get_length(array); ++i) {
      JsonNode* element = json_array_get_element(array, i);
      if (JSON_NODE_HOLDS_VALUE(element) && json_node_get_value_type(element) == G_TYPE_STRING)
        data.game_info.emplace_back(json_node_get_string(element));
    }
  }

  JsonNode* agents = json_object_get_member(chat, "agents");
  if (agents == nullptr) return data;
  if (!JSON_NODE_HOLDS_ARRAY(agents)) {
    error = "\"chat\".\"agents\" is not an array";
    return std::nullopt;
  }
  std::set<std::uint64_t> ids;
  JsonArray* array = json_node_get_array(agents);
  for (guint i = 0; i < json_array_get_length(array); ++i) {
    JsonNode* element = json_array_get_element(array, i);
    const std::int64_t id =
        JSON_NODE_HOLDS_OBJECT(element) ? IntMember(json_node_get_object(element), "id", 0) : 0;
    if (id <= 0) {
      error = "chat agent #" + std::to_string(i) + " needs a positive \"id\"";
      return std::nullopt;
    }
    if (!ids.insert(static_cast<std::uint64_t>(id)).second) {
      error = "chat agent " + std::to_string(id) + " is listed twice";
      return std::nullopt;
    }
    JsonObject* object = json_node_get_object(element);
    ChatAgent agent;
    agent.id = static_cast<std::uint64_t>(id);
    agent.name = StringMember(object, "name");
    agent.extra = StringMember(object, "extra");
    agent.state = static_cast<int>(IntMember(object, "state", 0));
    agent.local = IntMember(object, "local", 0) != 0;
    agent.accepts = IntMember(object, "accepts", 1) != 0;
    data.agents.push_back(std::move(agent));
  }
  return data;
}

}  // namespace qrv::sim
