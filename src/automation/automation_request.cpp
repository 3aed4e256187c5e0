#include "automation/automation_request.h"

namespace qrv::automation {
namespace {

JsonNode* ValueMember(JsonObject* request, const char* name, GType type, const char* type_name,
                      std::string* error) {
  if (!json_object_has_member(request, name)) return nullptr;
  JsonNode* node = json_object_get_member(request, name);
  if (JSON_NODE_HOLDS_VALUE(node) && json_node_get_value_type(node) == type) return node;
  *error = std::string("\"") + name + "\" must be " + type_name;
  return nullptr;
}

}  // namespace

std::optional<std::string> StringMember(JsonObject* request, const char* name, std::string* error) {
  JsonNode* node = ValueMember(request, name, G_TYPE_STRING, "a string", error);
  if (node == nullptr) return std::nullopt;
  return std::string(json_node_get_string(node));
}

std::optional<std::int64_t> IntMember(JsonObject* request, const char* name, std::string* error) {
  JsonNode* node = ValueMember(request, name, G_TYPE_INT64, "an integer", error);
  if (node == nullptr) return std::nullopt;
  return json_node_get_int(node);
}

std::optional<bool> BoolMember(JsonObject* request, const char* name, std::string* error) {
  JsonNode* node = ValueMember(request, name, G_TYPE_BOOLEAN, "true or false", error);
  if (node == nullptr) return std::nullopt;
  return json_node_get_boolean(node) != FALSE;
}

std::string ToLine(JsonNode* node) {
  g_autoptr(JsonGenerator) generator = json_generator_new();
  json_generator_set_root(generator, node);
  g_autofree char* text = json_generator_to_data(generator, nullptr);
  return text;
}

PreparedCommand Failure(const std::string& message) {
  g_autoptr(JsonBuilder) builder = json_builder_new();
  json_builder_begin_object(builder);
  json_builder_set_member_name(builder, "ok");
  json_builder_add_boolean_value(builder, FALSE);
  json_builder_set_member_name(builder, "error");
  json_builder_add_string_value(builder, message.c_str());
  json_builder_end_object(builder);
  g_autoptr(JsonNode) root = json_builder_get_root(builder);
  return PreparedCommand{ToLine(root), nullptr};
}

Answer::Answer() : builder_(json_builder_new()) {
  json_builder_begin_object(builder_);
  AddBool("ok", true);
}

Answer::~Answer() { g_object_unref(builder_); }

void Answer::Add(const char* name, const std::string& value) {
  json_builder_set_member_name(builder_, name);
  json_builder_add_string_value(builder_, value.c_str());
}

void Answer::Add(const char* name, std::int64_t value) {
  json_builder_set_member_name(builder_, name);
  json_builder_add_int_value(builder_, value);
}

void Answer::AddBool(const char* name, bool value) {
  json_builder_set_member_name(builder_, name);
  json_builder_add_boolean_value(builder_, value);
}

std::string Answer::Finish() {
  json_builder_end_object(builder_);
  g_autoptr(JsonNode) root = json_builder_get_root(builder_);
  return ToLine(root);
}

}  // namespace qrv::automation
