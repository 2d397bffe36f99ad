#include "measures/variable_values.h"

#include <algorithm>

namespace vx {

FrameStep FrameStepAt(const Trajectory& trajectory, int i) {
  FrameStep step;
  if (i <= 0 || i >= static_cast<int>(trajectory.size())) return step;
  const tMyPoint& before = trajectory.points()[static_cast<size_t>(i - 1)];
  const tMyPoint& point = trajectory.points()[static_cast<size_t>(i)];
  step.rawDistance = point.cumRawDist - before.cumRawDist;
  step.distance = point.cumDist - before.cumDist;
  step.rawSpeed = trajectory.StepSpeed(i, true);
  step.speed = trajectory.StepSpeed(i);
  return step;
}

ActivityShares ActivitySharesOf(const CInfosTest& test) {
  ActivityShares shares;
  const double duration = std::max(0, test.duration);
  shares.inactiveS = std::clamp<double>(test.inactive, 0, duration);
  shares.activeS = duration - shares.inactiveS;
  if (duration > 0) {
    shares.activePercent = shares.activeS * 100 / duration;
    shares.inactivePercent = shares.inactiveS * 100 / duration;
  }
  return shares;
}

}  // namespace vx
