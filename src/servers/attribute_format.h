#pragma once
// printf-style formatting into a std::string, for the attribute lists the server list window
// gives the controls it makes (they are written as formats so they read exactly as the skin's
// attribute syntax).

#include <cstdarg>
#include <cstdio>
#include <string>

namespace qrv {

__attribute__((format(printf, 1, 2))) inline std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

}  // namespace qrv
