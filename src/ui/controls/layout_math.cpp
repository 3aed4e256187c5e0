#include "ui/controls/layout_math.h"

#include <algorithm>

namespace qrv::ui {

std::vector<int> DistributeSizes(int available, int gap, const std::vector<LayoutSlot>& slots) {
  const int count = static_cast<int>(slots.size());
  std::vector<int> sizes(slots.size(), 0);
  std::vector<bool> resolved(slots.size(), false);
  int remaining = available - (count > 1 ? gap * (count - 1) : 0);
  for (int i = 0; i < count; ++i) {
    const LayoutSlot& slot = slots[static_cast<std::size_t>(i)];
    remaining -= slot.margin;
    if (slot.fixed > 0) {
      sizes[static_cast<std::size_t>(i)] = std::clamp(slot.fixed, slot.min, std::max(slot.min, slot.max));
      resolved[static_cast<std::size_t>(i)] = true;
      remaining -= sizes[static_cast<std::size_t>(i)];
    }
  }
  // Share the rest among the flexible items. An item whose share breaks its limits is fixed at
  // the limit and the sharing starts over without it, until every share fits.
  while (true) {
    int open = 0;
    for (int i = 0; i < count; ++i) open += resolved[static_cast<std::size_t>(i)] ? 0 : 1;
    if (open == 0) break;
    const int share = std::max(0, remaining) / open;
    bool clamped = false;
    for (int i = 0; i < count; ++i) {
      const auto index = static_cast<std::size_t>(i);
      if (resolved[index]) continue;
      const LayoutSlot& slot = slots[index];
      const int limited = std::clamp(share, slot.min, std::max(slot.min, slot.max));
      if (limited != share) {
        sizes[index] = limited;
        resolved[index] = true;
        remaining -= limited;
        clamped = true;
      }
    }
    if (clamped) continue;
    // Everyone fits: hand out the share, the pixels left by the division go to the last item.
    int last = -1;
    for (int i = 0; i < count; ++i) {
      const auto index = static_cast<std::size_t>(i);
      if (resolved[index]) continue;
      sizes[index] = share;
      resolved[index] = true;
      last = i;
    }
    const int leftover = std::max(0, remaining) - share * open;
    if (last >= 0 && leftover > 0) {
      const LayoutSlot& slot = slots[static_cast<std::size_t>(last)];
      sizes[static_cast<std::size_t>(last)] = std::min(share + leftover, std::max(slot.min, slot.max));
    }
    break;
  }
  return sizes;
}

}  // namespace qrv::ui
