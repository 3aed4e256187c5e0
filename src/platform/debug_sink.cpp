#include "platform/debug_sink.h"

#include <glib.h>

#include <algorithm>

namespace qrv {
namespace {

std::mutex& CapturesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<DebugCapture*>& Captures() {
  static std::vector<DebugCapture*> captures;
  return captures;
}

}  // namespace

void OutputDebugString(std::string_view line) {
  {
    std::lock_guard lock(CapturesMutex());
    for (DebugCapture* capture : Captures()) capture->Append(line);
  }
  // The lines end in "\r\n" as the platform's debugger expected; the log adds its own newline.
  std::string_view trimmed = line;
  while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == '\r')) trimmed.remove_suffix(1);
  const GLogField fields[] = {
      {"GLIB_DOMAIN", kLogDomain, -1},
      {"PRIORITY", "7", -1},
      {"MESSAGE", trimmed.data(), static_cast<gssize>(trimmed.size())},
  };
  g_log_structured_array(G_LOG_LEVEL_DEBUG, fields, G_N_ELEMENTS(fields));
}

DebugCapture::DebugCapture() {
  std::lock_guard lock(CapturesMutex());
  Captures().push_back(this);
}

DebugCapture::~DebugCapture() {
  std::lock_guard lock(CapturesMutex());
  auto& all = Captures();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

std::vector<std::string> DebugCapture::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

bool DebugCapture::Contains(std::string_view fragment) const {
  std::lock_guard lock(mutex_);
  return std::any_of(lines_.begin(), lines_.end(),
                     [&](const std::string& l) { return l.find(fragment) != std::string::npos; });
}

void DebugCapture::Clear() {
  std::lock_guard lock(mutex_);
  lines_.clear();
}

void DebugCapture::Append(std::string_view line) {
  std::lock_guard lock(mutex_);
  lines_.emplace_back(line);
}

}  // namespace qrv
