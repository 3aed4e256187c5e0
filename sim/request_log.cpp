#include "sim/request_log.h"

#include <json-glib/json-glib.h>

#include <cerrno>
#include <cstring>

namespace qrv::sim {
namespace {

// Request data is whatever a client sent; the log must stay valid JSON, so bytes that are not
// UTF-8 become U+FFFD.
std::string ValidUtf8(const std::string& text) {
  g_autofree char* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
  return valid;
}

void AddString(JsonBuilder* builder, const char* name, const std::string& value) {
  json_builder_set_member_name(builder, name);
  json_builder_add_string_value(builder, ValidUtf8(value).c_str());
}

void AddObject(JsonBuilder* builder, const char* name, const TextPairs& pairs) {
  json_builder_set_member_name(builder, name);
  json_builder_begin_object(builder);
  for (const auto& [key, value] : pairs) {
    json_builder_set_member_name(builder, ValidUtf8(key).c_str());
    json_builder_add_string_value(builder, ValidUtf8(value).c_str());
  }
  json_builder_end_object(builder);
}

void AddPairArray(JsonBuilder* builder, const char* name, const TextPairs& pairs) {
  json_builder_set_member_name(builder, name);
  json_builder_begin_array(builder);
  for (const auto& [key, value] : pairs) {
    json_builder_begin_array(builder);
    json_builder_add_string_value(builder, ValidUtf8(key).c_str());
    json_builder_add_string_value(builder, ValidUtf8(value).c_str());
    json_builder_end_array(builder);
  }
  json_builder_end_array(builder);
}

std::string NowIso8601() {
  g_autoptr(GDateTime) now = g_date_time_new_now_utc();
  g_autofree char* text = g_date_time_format_iso8601(now);
  return text;
}

}  // namespace

RequestLog::~RequestLog() { Close(); }

bool RequestLog::Open(const std::string& path, std::string& error) {
  Close();
  file_ = std::fopen(path.c_str(), "a");
  if (file_ == nullptr) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void RequestLog::Write(const LogRecord& record) {
  if (file_ == nullptr) return;
  g_autoptr(JsonBuilder) builder = json_builder_new();
  json_builder_begin_object(builder);
  AddString(builder, "time", NowIso8601());
  AddString(builder, "method", record.method);
  AddString(builder, "path", record.target);
  AddString(builder, "http_version", record.http_version);
  AddObject(builder, "query", record.query);
  AddPairArray(builder, "headers", record.headers);
  AddObject(builder, "cookies", record.cookies);
  json_builder_set_member_name(builder, "peer_port");
  json_builder_add_int_value(builder, record.peer_port);
  json_builder_set_member_name(builder, "tls");
  json_builder_add_boolean_value(builder, record.tls);
  json_builder_set_member_name(builder, "connection");
  json_builder_add_int_value(builder, static_cast<gint64>(record.connection));
  json_builder_set_member_name(builder, "status");
  json_builder_add_int_value(builder, record.status);
  if (!record.event.empty()) AddString(builder, "event", record.event);
  for (const auto& [key, value] : record.details) AddString(builder, key.c_str(), value);
  json_builder_end_object(builder);

  WriteLine(builder);
}

void RequestLog::WriteEvent(const std::string& protocol, const std::string& event,
                            const std::vector<LogField>& fields) {
  if (file_ == nullptr) return;
  g_autoptr(JsonBuilder) builder = json_builder_new();
  json_builder_begin_object(builder);
  AddString(builder, "time", NowIso8601());
  AddString(builder, "protocol", protocol);
  AddString(builder, "event", event);
  for (const auto& [name, value] : fields) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
      json_builder_set_member_name(builder, name.c_str());
      json_builder_add_int_value(builder, *number);
    } else {
      AddString(builder, name.c_str(), std::get<std::string>(value));
    }
  }
  json_builder_end_object(builder);
  WriteLine(builder);
}

void RequestLog::WriteLine(JsonBuilder* builder) {
  g_autoptr(JsonNode) root = json_builder_get_root(builder);
  g_autoptr(JsonGenerator) generator = json_generator_new();
  json_generator_set_root(generator, root);
  g_autofree char* line = json_generator_to_data(generator, nullptr);
  std::fputs(line, file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

void RequestLog::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

}  // namespace qrv::sim
