#pragma once
// The geometry of choosing what to capture on the frozen screen, in screen pixels: the rectangle a
// drag spans, whether a press and release were a click rather than a drag, and the top-level
// window a click takes.

#include <optional>
#include <vector>

namespace qrv::capture {

struct PixelPoint {
  int x = 0;
  int y = 0;
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool Contains(PixelPoint p) const { return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// How far (in pixels, either way) the pointer may move between press and release for the two to
// count as a click: a hand that clicks often moves the mouse by a pixel or two.
inline constexpr int kClickSlop = 2;

bool IsClick(PixelPoint press, PixelPoint release);

// The rectangle between the press and the pointer, dragged in any direction. Its corners are the
// two points, so its size is exactly the distance dragged: from (100, 100) to (300, 250) is 200 ×
// 150 pixels starting at (100, 100). Clipped to `screen`.
PixelRect DraggedRect(PixelPoint press, PixelPoint pointer, const PixelRect& screen);

// The intersection of two rectangles; empty when they do not meet.
PixelRect Intersection(const PixelRect& a, const PixelRect& b);

// The top-level window a click at `point` takes: the topmost of `stack` (the visible top-level
// windows' rectangles, from the bottom of the stacking order to the top) that holds the point,
// clipped to `screen`. Nothing when no window is there (the bare desktop).
std::optional<PixelRect> WindowAt(const std::vector<PixelRect>& stack, PixelPoint point,
                                  const PixelRect& screen);

}  // namespace qrv::capture
