#pragma once
// How a row or column of controls shares its length: fixed items take their size, the others
// share what is left equally, each clamped to its own minimum and maximum (an item held at its
// limit gives its share back to the others). Kept apart from the controls so it can be tested
// on plain numbers.

#include <vector>

namespace qrv::ui {

struct LayoutSlot {
  int fixed = 0;  // > 0: this size
  int min = 0;
  int max = 9999;
  int margin = 0;  // padding before plus after the item along the axis
};

// Sizes of the slots along an axis of `available` pixels with `gap` between neighbours.
std::vector<int> DistributeSizes(int available, int gap, const std::vector<LayoutSlot>& slots);

}  // namespace qrv::ui
