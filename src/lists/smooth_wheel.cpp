#include "lists/smooth_wheel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qrv {

int SmoothWheelScroller::RemainingOffset() const {
  if (steps_ == 0) return 0;
  // C++ integer division truncates towards zero, as the offset must.
  return steps_left_ * steps_left_ * delta_ / (steps_ * steps_);
}

void SmoothWheelScroller::Wheel(bool up) {
  const int remaining = RemainingOffset();
  if (up)
    delta_ = remaining + (delta_ >= 0 ? kSameDirectionStep : kReverseStep);
  else
    delta_ = remaining - (delta_ <= 0 ? kSameDirectionStep : kReverseStep);
  delta_ = std::clamp(delta_, -kMaxDelta, kMaxDelta);
  steps_ = static_cast<int>(std::sqrt(static_cast<double>(std::abs(delta_)))) * kStepsPerRootPixel;
  steps_left_ = steps_;
}

std::optional<int> SmoothWheelScroller::Tick(int position, int range) {
  if (steps_left_ > 0) {
    --steps_left_;
    const int offset = RemainingOffset();
    // Scroll on only while there is room in the direction of the motion.
    if ((offset > 0 && position != 0) || (offset < 0 && position != range)) return position - offset;
  }
  Reset();
  return std::nullopt;
}

void SmoothWheelScroller::Reset() { delta_ = steps_ = steps_left_ = 0; }

}  // namespace qrv
