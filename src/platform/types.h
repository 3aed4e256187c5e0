#pragma once
// The handful of Windows-style value types the window code is written in. Handles are opaque
// pointers whose value is a small integer minted by the window registry, so they can be printed,
// compared and sent through the automation interface.

#include <cstdint>

namespace qrv {

struct HWND__;
using HWND = HWND__*;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr std::uint16_t LOWORD(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xffff); }
inline constexpr std::uint16_t HIWORD(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xffff); }
inline constexpr LPARAM MAKELPARAM(std::uint16_t low, std::uint16_t high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16));
}

inline HWND HandleFromId(std::uintptr_t id) { return reinterpret_cast<HWND>(id); }
inline std::uintptr_t IdFromHandle(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }

struct POINT {
  int x = 0;
  int y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};

// The signed client or screen coordinates packed into a mouse message's lparam.
inline POINT PointFromLparam(LPARAM lparam) {
  const auto bits = static_cast<std::uintptr_t>(lparam);
  return POINT{static_cast<std::int16_t>(LOWORD(bits)), static_cast<std::int16_t>(HIWORD(bits))};
}

struct RECT {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const RECT&, const RECT&) = default;
};

}  // namespace qrv
