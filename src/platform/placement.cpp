#include "platform/placement.h"

#include <algorithm>

#include "platform/window_system.h"

namespace qrv {
namespace {

// One axis: the span [start, start + length) moved into [low, high).
void FitSpan(int& start, int& length, int low, int high) {
  length = std::min(length, high - low);
  start = std::clamp(start, low, high - length);
}

}  // namespace

RECT FitInside(const RECT& rect, const RECT& area) {
  if (area.Width() <= 0 || area.Height() <= 0) return rect;
  int left = rect.left;
  int width = rect.Width();
  int top = rect.top;
  int height = rect.Height();
  FitSpan(left, width, area.left, area.right);
  FitSpan(top, height, area.top, area.bottom);
  return RECT{left, top, left + width, top + height};
}

RECT KeptOnMonitor(const RECT& rect) { return FitInside(rect, WindowSystem::Get().WorkAreaAt(rect)); }

}  // namespace qrv
