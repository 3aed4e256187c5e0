#pragma once
// The smooth wheel scrolling of the tree lists. A wheel notch does not jump by a line: it sets a
// target delta D (pixels, positive towards the top) and a number of steps N; every 50 ms tick
// then scrolls by (L / N)^2 x D, L being the steps left, so the motion starts fast and eases
// out. A notch that arrives while a motion runs starts from what is left of it (P), so turning
// the wheel on speeds the motion up and turning it back reverses it smoothly.
//
// This class holds the numbers only; the list control runs it on its toolkit timer.

#include <optional>

#include "platform/types.h"

namespace qrv {

class SmoothWheelScroller {
 public:
  // The toolkit timer of the list that drives the ticks, and its period.
  static constexpr UINT kTimerId = 10;
  static constexpr UINT kTickMs = 50;
  // Added to the remaining delta by a notch in the direction of the running motion, and by a
  // notch that turns the motion around.
  static constexpr int kSameDirectionStep = 8;
  static constexpr int kReverseStep = 12;
  static constexpr int kMaxDelta = 100;
  static constexpr int kStepsPerRootPixel = 5;

  // A wheel notch; `up` is away from the user (towards the top of the list).
  void Wheel(bool up);
  // One tick at scroll position `position` of a list whose scroll range ends at `range`: the new
  // position, or nothing when the motion is over (the state is then at rest again and the
  // caller stops its timer).
  std::optional<int> Tick(int position, int range);
  void Reset();

  int delta() const { return delta_; }
  int steps() const { return steps_; }
  int steps_left() const { return steps_left_; }
  bool at_rest() const { return delta_ == 0 && steps_ == 0 && steps_left_ == 0; }

 private:
  // (L / N)^2 x D, truncated towards zero; computed in integers so that values such as
  // (3/10)^2 x 100 come out as exactly 9.
  int RemainingOffset() const;

  int delta_ = 0;
  int steps_ = 0;
  int steps_left_ = 0;
};

}  // namespace qrv
