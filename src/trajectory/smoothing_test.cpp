#include "trajectory/smoothing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vx {
namespace {

constexpr double kTolerance = 1e-9;

tMyPoint At(int frame, int time, int x, int y) {
  tMyPoint p;
  p.frame = frame;
  p.time = time;
  p.rawX = p.posX = x;
  p.rawY = p.posY = y;
  return p;
}

// --- Minimum-displacement filter --------------------------------------------------------------

tMyPoint Filtered(tMyPoint p, const tMyPoint& previous, int threshold, int unit, double scale) {
  ApplyDisplacementFilter(p, &previous, {.method = 0, .threshold = threshold, .thresholdUnit = unit},
                          scale);
  return p;
}

TEST(DisplacementFilter, StepsUnderTheThresholdOnBothAxesAreHeld) {
  const struct {
    int x, y, threshold, unit;
    double scale;
    int heldX, heldY;  // the position after the filter, from (100, 100)
  } cases[] = {
      {105, 105, 3, kThresholdMm, 0.5, 100, 100},  // 2.5 mm under 3 mm on both axes: held
      {106, 100, 3, kThresholdMm, 0.5, 106, 100},  // 3.0 mm is not under 3 mm: moves
      {100, 94, 3, kThresholdMm, 0.5, 100, 94},    // on either axis
      {102, 98, 3, kThresholdPixels, 0.5, 100, 100},
      {103, 100, 3, kThresholdPixels, 0.5, 103, 100},
      {119, 100, 1, kThresholdCm, 0.5, 100, 100},  // 1 cm at 0.5 mm per pixel is 20 pixels
      {120, 100, 1, kThresholdCm, 0.5, 120, 100},
      {101, 100, 0, kThresholdPixels, 1, 101, 100},  // no threshold
      {101, 100, -4, kThresholdPixels, 1, 101, 100},
      {101, 100, 3, 7, 1, 101, 100},  // unknown unit
  };
  for (const auto& c : cases) {
    const tMyPoint p = Filtered(At(1, 40, c.x, c.y), At(0, 0, 100, 100), c.threshold, c.unit, c.scale);
    EXPECT_EQ(std::pair(p.posX, p.posY), std::pair(c.heldX, c.heldY)) << c.x << "," << c.y;
  }
}

// --- Lowess ----------------------------------------------------------------------------------

TEST(Lowess, PointsOnALineAreFittedExactlyWhateverTheTimes) {
  // A local linear regression reproduces a straight path whatever its weights and window.
  std::vector<tMyPoint> points;
  for (int i = 0, time = 500; i < 40; ++i, time += 20 * (1 + i % 3)) {
    points.push_back(At(i, time, 100 + time / 10, 900 - time / 20));
  }
  for (int method : {kLowessStrong, kLowessLite}) {
    for (size_t i = 0; i < points.size(); ++i) {
      SmoothPoint(points, i, method, 0.5);
      EXPECT_NEAR(points[i].smoothX, 0.5 * points[i].posX, 1e-6) << method << " " << i;
      EXPECT_NEAR(points[i].smoothY, 0.5 * points[i].posY, 1e-6) << method << " " << i;
    }
  }
}

// --- Five-point weighted averages -----------------------------------------------------------

std::vector<tMyPoint> FramesAndX(std::vector<std::pair<int, int>> frameX) {
  std::vector<tMyPoint> points;
  for (const auto& [frame, x] : frameX) points.push_back(At(frame, frame * 40, x, 7));
  return points;
}

double Smoothed(std::vector<tMyPoint> points, size_t i, int method, double scale = 1.0) {
  SmoothPoint(points, i, method, scale);
  EXPECT_DOUBLE_EQ(points[i].smoothY, 7 * scale);  // weights sum to the divisor
  return points[i].smoothX;
}

TEST(FivePointAverage, NeighbouringFramesUseTheirPositions) {
  const auto points = FramesAndX({{10, 4}, {11, 8}, {12, 20}, {13, 6}, {14, 2}});
  EXPECT_NEAR(Smoothed(points, 2, kMovingAverage), 94.0 / 9, kTolerance);
  EXPECT_NEAR(Smoothed(points, 2, kSavitzkyGolay), 14.0, kTolerance);
  EXPECT_NEAR(Smoothed(points, 2, kSavitzkyGolay, 0.5), 7.0, kTolerance);
}

TEST(FivePointAverage, GapsOnBothSidesAreBridgedWithTruncatedEstimates) {
  // Frame 10 at x = 100; previous point at frame 5 (x 43), next at frame 13 (x 131).
  // f-1: 100 + (-57)/5 = 89 (toward zero), f-2: 100 + (-114)/5 = 78,
  // f+1: 100 + 31/3 = 110, f+2: 100 + 62/3 = 120.
  const auto points = FramesAndX({{0, 0}, {5, 43}, {10, 100}, {13, 131}, {20, 0}});
  EXPECT_NEAR(Smoothed(points, 2, kMovingAverage), (78 + 2 * 89 + 300 + 2 * 110 + 120) / 9.0,
              kTolerance);
}

TEST(FivePointAverage, DuplicateFramesDoNotDivideByZero) {
  const auto points = FramesAndX({{4, 10}, {5, 20}, {5, 30}, {5, 40}, {6, 50}});
  EXPECT_TRUE(std::isfinite(Smoothed(points, 2, kMovingAverage)));
}

}  // namespace
}  // namespace vx
