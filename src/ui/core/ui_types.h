#pragma once
// Value types of the toolkit: rectangles, sizes and points with the helpers layout code needs,
// colours as 0xAARRGGBB, and the text style flags that "align" attributes set.

#include <algorithm>
#include <cstdint>

#include "platform/types.h"

namespace qrv {

struct CDuiSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const CDuiSize&, const CDuiSize&) = default;
};

struct CDuiPoint : POINT {
  CDuiPoint() = default;
  CDuiPoint(int px, int py) : POINT{px, py} {}
  CDuiPoint(const POINT& p) : POINT(p) {}  // NOLINT(google-explicit-constructor)
};

// A RECT with the operations layout code uses. Converts freely to and from RECT.
struct CDuiRect : RECT {
  CDuiRect() = default;
  CDuiRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CDuiRect(const RECT& r) : RECT(r) {}  // NOLINT(google-explicit-constructor)

  bool IsEmpty() const { return right <= left || bottom <= top; }
  void Empty() { left = top = right = bottom = 0; }
  void Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  // Shrinks by the given margins on each side (negative margins grow it).
  void Deflate(const RECT& m) {
    left += m.left;
    top += m.top;
    right -= m.right;
    bottom -= m.bottom;
  }
  void Inflate(int dx, int dy) {
    left -= dx;
    right += dx;
    top -= dy;
    bottom += dy;
  }
  // Intersection; an empty result is normalised to a zero-size rectangle at the clipped origin.
  bool Intersect(const RECT& a, const RECT& b) {
    left = std::max(a.left, b.left);
    top = std::max(a.top, b.top);
    right = std::min(a.right, b.right);
    bottom = std::min(a.bottom, b.bottom);
    if (right < left) right = left;
    if (bottom < top) bottom = top;
    return !IsEmpty();
  }
  void Join(const RECT& r) {
    left = std::min(left, r.left);
    top = std::min(top, r.top);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
  }
};

using CRect = CDuiRect;
using CPoint = CDuiPoint;

inline bool RectsIntersect(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Colours are 0xAARRGGBB.
using ARGB = std::uint32_t;
inline constexpr double ColorAlpha(ARGB c) { return ((c >> 24) & 0xff) / 255.0; }
inline constexpr double ColorRed(ARGB c) { return ((c >> 16) & 0xff) / 255.0; }
inline constexpr double ColorGreen(ARGB c) { return ((c >> 8) & 0xff) / 255.0; }
inline constexpr double ColorBlue(ARGB c) { return (c & 0xff) / 255.0; }
// Text colours in layouts often carry an alpha byte of 00 while meaning an opaque colour.
inline constexpr ARGB OpaqueColor(ARGB c) { return c | 0xff000000u; }

// Text placement flags, combined by the "align"/"textalign" attributes.
enum TextStyle : std::uint32_t {
  DT_LEFT = 0x0000,
  DT_TOP = 0x0000,
  DT_CENTER = 0x0001,
  DT_RIGHT = 0x0002,
  DT_VCENTER = 0x0004,
  DT_BOTTOM = 0x0008,
  DT_WORDBREAK = 0x0010,
  DT_SINGLELINE = 0x0020,
  DT_END_ELLIPSIS = 0x8000,
};
inline constexpr std::uint32_t kHorizontalAlignMask = DT_CENTER | DT_RIGHT;
inline constexpr std::uint32_t kVerticalAlignMask = DT_VCENTER | DT_BOTTOM;

}  // namespace qrv
