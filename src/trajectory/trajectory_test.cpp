#include "trajectory/trajectory.h"

#include <gtest/gtest.h>

#include <tuple>

#include "video/frame_times.h"
#include "trajectory/trajectory_blob.h"
#include "support/synthetic_trajectory.h"

namespace vx {
namespace {

tMyPoint At(int frame, int time, int x, int y) {
  tMyPoint p;
  p.frame = frame;
  p.time = time;
  p.rawX = x;
  p.rawY = y;
  return p;
}

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

TEST(Trajectory, LaggedSmoothingGivesTheSameNumbersAsSmoothingAtTheEnd) {
  for (int method : {kNoSmoothing, kLowessStrong, kLowessLite, kMovingAverage, kSavitzkyGolay}) {
    Trajectory lagged(Method(method, 2), 0.4);
    Trajectory atEnd(Method(method, 2), 0.4);
    for (const tMyPoint& p : EvenPath(60)) {
      lagged.Append(p, true);
      atEnd.Append(p, false);
    }
    lagged.FinishAppending();
    atEnd.Finish(0);
    for (size_t i = 0; i < lagged.size(); ++i) {
      EXPECT_EQ(lagged[i].smoothX, atEnd[i].smoothX) << method << " " << i;
      EXPECT_EQ(lagged[i].smoothY, atEnd[i].smoothY) << method << " " << i;
      EXPECT_EQ(lagged[i].cumDist, atEnd[i].cumDist) << method << " " << i;
    }
  }
}

TEST(Trajectory, NegativeSmoothedPositionsCountAsNotSmoothed) {
  Trajectory trajectory(Method(kNoSmoothing), 1.0);
  trajectory.Append(At(0, 0, 4, 4), false);
  trajectory.Append(At(1, 40, -5, 4), false);
  trajectory.Finish(0);
  EXPECT_EQ(trajectory[1].smoothX, -5.0);
  EXPECT_EQ(trajectory.SmoothedCount(), 1);
}

// Found by fuzzing: a Lowess fit that extrapolates below 0 near the image's edge. The decode
// is valid; the point simply does not count as smoothed.
TEST(Trajectory, RegressionLowessBelowZeroAtTheEdge) {
  const std::vector<uint8_t> times = {0x03, 0x01};
  const std::vector<uint8_t> points = {
      0x03, 0x10, 0x03, 0x01, 0x03, 0x09, 0x03, 0x03, 0x01, 0x00, 0x05, 0x3a, 0x00, 0x01, 0x03,
      0x09, 0x03, 0x03, 0x01, 0x1c, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x02, 0x03, 0x01, 0x03, 0x03, 0x01, 0x03, 0x02, 0x01, 0x03, 0x10, 0x03, 0x01, 0x03, 0x01,
      0x03, 0x03, 0x01, 0x03, 0x02, 0x03, 0x00, 0x64, 0x96, 0x43, 0x03, 0x00, 0x01, 0x03, 0x2a,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00};
  Trajectory trajectory(Method(kLowessStrong, 2, kThresholdMm), 0.4);
  ASSERT_TRUE(ReadTrajectory(trajectory, points, times, false));
  ASSERT_EQ(trajectory.size(), 8u);
  EXPECT_LT(trajectory[7].smoothX, 0);
  EXPECT_EQ(trajectory.SmoothedCount(), 5);
}

TEST(Trajectory, StepSpeeds) {
  Trajectory trajectory(Method(kNoSmoothing), 1.0);
  trajectory.Append(At(0, 1000, 10, 10), false);
  trajectory.Append(At(1, 1040, 10, 12), false);  // 2 mm in 40 ms
  trajectory.Append(At(2, 1040, 10, 14), false);  // no time passes
  trajectory.Append(At(3, 1000, 10, 16), false);  // time goes back
  trajectory.Finish(0);
  std::vector<double> speeds;
  for (int i : {1, 2, 3, 0, 4, -3}) speeds.push_back(trajectory.StepSpeed(i));
  EXPECT_EQ(speeds, (std::vector<double>{50.0, -1.0, -1.0, 0.0, 0.0, 0.0}));
}

TEST(Trajectory, RawSpeedFollowsRawPositionsOnlyWhenDataAreCorrected) {
  // The filter holds the second point (3 px < 5 px): no smoothed movement, 3 px raw.
  Trajectory filtered(Method(kNoSmoothing, 5, kThresholdPixels), 2.0);
  filtered.Append(At(0, 0, 10, 10), false);
  filtered.Append(At(1, 100, 13, 10), false);
  filtered.Finish(0);
  EXPECT_EQ(filtered.StepSpeed(1), 0.0);
  EXPECT_DOUBLE_EQ(filtered.StepSpeed(1, true), 60.0);  // 3 px * 2 mm in 0.1 s

  Trajectory plain(Method(kNoSmoothing, 0), 2.0);
  plain.Append(At(0, 0, 10, 10), false);
  plain.Append(At(1, 100, 13, 14), false);
  plain.Finish(0);
  EXPECT_DOUBLE_EQ(plain.StepSpeed(1, true), plain.StepSpeed(1));
  EXPECT_DOUBLE_EQ(plain.StepSpeed(1), 100.0);
}

TEST(Trajectory, NewScaleRefiltersAndResmooths) {
  Trajectory trajectory(Method(kNoSmoothing, 3, kThresholdMm), 0.5);
  trajectory.Append(At(0, 0, 100, 100), true);
  trajectory.Append(At(1, 40, 105, 100), true);  // 2.5 mm: held
  trajectory.FinishAppending();
  EXPECT_EQ(trajectory[1].posX, 100);
  EXPECT_DOUBLE_EQ(trajectory[1].smoothX, 50.0);
  trajectory.inactivity.runFirst = 0;

  trajectory.SetScale(1.0);  // 5 mm: moves
  EXPECT_EQ(std::tuple(trajectory[1].posX, trajectory[1].smoothX, trajectory[1].cumDist,
                       trajectory[1].cumRawDist, trajectory.inactivity.runFirst),
            std::tuple(105, 105.0, 5.0, 5.0, -1));

  trajectory.inactivity.runFirst = 0;
  trajectory.SetScale(1.0);  // unchanged: nothing recomputed
  EXPECT_EQ(trajectory.inactivity.runFirst, 0);
}

TEST(Trajectory, ClearingLeavesADummy) {
  Trajectory trajectory(Method(kNoSmoothing), 0.7);
  trajectory.name = "Test 4";
  trajectory.durationMs = 5000;
  trajectory.frameCount = 125;
  trajectory.Append(At(0, 0, 1, 1), true);
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
