#pragma once
// Reading members of a request and writing answers, shared by the command handlers.

#include <json-glib/json-glib.h>

#include <cstdint>
#include <optional>
#include <string>

#include "automation/automation_commands.h"

namespace qrv::automation {

// A member that has the wrong type is an error; an absent one is std::nullopt with no error.
std::optional<std::string> StringMember(JsonObject* request, const char* name, std::string* error);
std::optional<std::int64_t> IntMember(JsonObject* request, const char* name, std::string* error);
std::optional<bool> BoolMember(JsonObject* request, const char* name, std::string* error);

// {"ok":false,"error":message}
PreparedCommand Failure(const std::string& message);

// Builds {"ok":true, ...}: handlers add their members to `builder` between construction and
// Finish.
class Answer {
 public:
  Answer();
  ~Answer();
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;

  JsonBuilder* builder() const { return builder_; }
  void Add(const char* name, const std::string& value);
  void Add(const char* name, std::int64_t value);
  void AddBool(const char* name, bool value);
  // The answer line; the builder is spent afterwards.
  std::string Finish();

 private:
  JsonBuilder* builder_;
};

// Serialises a finished JSON node on one line.
std::string ToLine(JsonNode* node);

}  // namespace qrv::automation
