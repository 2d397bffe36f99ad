#include "trajectory/trajectory.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/synthetic_trajectory.h"
#include "support/trajectory_builder.h"

namespace vx {
namespace {

using testing::PointAt;

SmoothingSettings Method(int method, int threshold = 0, int unit = kThresholdPixels) {
  return {.method = method, .threshold = threshold, .thresholdUnit = unit};
}

std::vector<tMyPoint> EvenPath(int n) {
  std::vector<tMyPoint> points = testing::SyntheticPath({.count = n, .seed = 4});
  for (size_t i = 0; i < points.size(); ++i) points[i].time = points[i].frame * 40;
  return points;
}

TEST(Trajectory, AppendingSmoothsTenPointsBehind) {
  Trajectory trajectory(Method(kLowessStrong), 0.5);
  const std::vector<tMyPoint> points = EvenPath(30);
  for (int i = 0; i < 10; ++i) trajectory.Append(points[static_cast<size_t>(i)], true);
  EXPECT_EQ(trajectory.SmoothedCount(), 0);
  trajectory.Append(points[10], true);
  EXPECT_EQ(trajectory.SmoothedCount(), 1);
  EXPECT_GE(trajectory[0].smoothX, 0);
  EXPECT_EQ(trajectory[1].smoothX, -1.0);
  for (size_t i = 11; i < points.size(); ++i) trajectory.Append(points[i], true);
  EXPECT_EQ(trajectory.SmoothedCount(), 20);
  trajectory.FinishAppending();
  EXPECT_EQ(trajectory.SmoothedCount(), 30);
}

TEST(Trajectory, RawSpeedFollowsRawPositionsOnlyWhenDataAreCorrected) {
  // The filter holds the second point (3 px < 5 px): no smoothed movement, 3 px raw.
  Trajectory filtered(Method(kNoSmoothing, 5, kThresholdPixels), 2.0);
  filtered.Append(PointAt(0, 0, 10, 10), false);
  filtered.Append(PointAt(1, 100, 13, 10), false);
  filtered.Finish(0);
  EXPECT_EQ(filtered.StepSpeed(1), 0.0);
  EXPECT_DOUBLE_EQ(filtered.StepSpeed(1, true), 60.0);  // 3 px * 2 mm in 0.1 s
}

TEST(Trajectory, ClearingLeavesADummy) {
  Trajectory trajectory(Method(kNoSmoothing), 0.7);
  trajectory.name = "Test 4";
  trajectory.durationMs = 5000;
  trajectory.frameCount = 125;
  trajectory.Append(PointAt(0, 0, 1, 1), true);
  trajectory.inactivity = {3, 9, 120, 2000};
  trajectory.Clear();
  EXPECT_TRUE(trajectory.empty());
  const auto& idle = trajectory.inactivity;  // its delay is a setting, not a result
  EXPECT_EQ(std::tuple(trajectory.name, trajectory.durationMs, trajectory.frameCount, idle.runFirst,
                       idle.runLast, idle.runDurationMs, idle.delayMs, trajectory.scale()),
            std::tuple("Dummy", 0u, 0u, -1, -1, 0, 2000, 0.7));
}

}  // namespace
}  // namespace vx
