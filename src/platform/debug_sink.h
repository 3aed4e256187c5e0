#pragma once
// The program's progress lines ("*****发送登录请求*****\r\n" and the like). They go to GLib's
// structured log at debug level in the "zelto_qrv" domain, visible with G_MESSAGES_DEBUG=zelto_qrv.
// Tests attach a DebugCapture to read them back.

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

inline constexpr const char* kLogDomain = "zelto_qrv";

// Writes one progress line. Safe to call from any thread.
void OutputDebugString(std::string_view line);

// Collects every line written while it lives. Captures nest; each sees all lines.
class DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  std::vector<std::string> Lines() const;
  bool Contains(std::string_view fragment) const;
  void Clear();

 private:
  friend void OutputDebugString(std::string_view line);
  void Append(std::string_view line);

  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace qrv
