#include "capture/capture_region.h"

#include <algorithm>
#include <cstdlib>

namespace qrv::capture {

bool IsClick(PixelPoint press, PixelPoint release) {
  return std::abs(release.x - press.x) <= kClickSlop && std::abs(release.y - press.y) <= kClickSlop;
}

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
  const int left = std::max(a.x, b.x);
  const int top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width);
  const int bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return {};
  return PixelRect{left, top, right - left, bottom - top};
}

PixelRect DraggedRect(PixelPoint press, PixelPoint pointer, const PixelRect& screen) {
  const int left = std::min(press.x, pointer.x);
  const int top = std::min(press.y, pointer.y);
  const PixelRect spanned{left, top, std::max(press.x, pointer.x) - left, std::max(press.y, pointer.y) - top};
  return Intersection(spanned, screen);
}

std::optional<PixelRect> WindowAt(const std::vector<PixelRect>& stack, PixelPoint point,
                                  const PixelRect& screen) {
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    if (!it->Contains(point)) continue;
    const PixelRect visible = Intersection(*it, screen);
    if (!visible.empty()) return visible;
  }
  return std::nullopt;
}

}  // namespace qrv::capture
