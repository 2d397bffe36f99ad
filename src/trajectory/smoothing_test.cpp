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
  tMyPoint first = At(0, 0, 9, 9);
  first.posX = first.posY = -1;
  ApplyDisplacementFilter(first, nullptr, {.threshold = 30, .thresholdUnit = kThresholdPixels}, 1);
  EXPECT_EQ(first.posX, 9);
}

TEST(DisplacementFilter, SlowDriftIsHeldUntilItsTotalReachesTheThreshold) {
  // One pixel per frame against a 3-pixel threshold: the analysis position jumps every third
  // frame, because each point is compared with the held position, not with its predecessor.
  std::vector<tMyPoint> points;
  for (int i = 0; i < 10; ++i) {
    points.push_back(At(i, i * 40, 200 + i, 100));
    ApplyDisplacementFilter(points.back(), i == 0 ? nullptr : &points[points.size() - 2],
                            {.threshold = 3, .thresholdUnit = kThresholdPixels}, 1.0);
  }
  const int expected[] = {200, 200, 200, 203, 203, 203, 206, 206, 206, 209};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(points[static_cast<size_t>(i)].posX, expected[i]) << i;
}

// --- Lowess ----------------------------------------------------------------------------------

TEST(Lowess, EvenTimesSettleOnNinePointsForTheStrongMethod) {
  std::vector<tMyPoint> points;
  for (int i = 0; i < 40; ++i) points.push_back(At(i, i * 40, 300 + i % 7, 200));
  const LowessWindow window = FindLowessWindow(points, 20, kLowessStrongHalfWidth);
  EXPECT_EQ(window.lo, 16);
  EXPECT_EQ(window.hi, 24);
  EXPECT_DOUBLE_EQ(window.bandwidth, 160.0);
  const double expected[] = {0, 0.1932, 0.6699, 0.9539, 1, 0.9539, 0.6699, 0.1932, 0};
  for (size_t j = 0; j < 9; ++j) EXPECT_NEAR(window.weights[j], expected[j], 5e-5) << j;
}

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

TEST(Lowess, EqualTimesFallBackToThePosition) {
  std::vector<tMyPoint> points;
  for (int i = 0; i < 20; ++i) points.push_back(At(i, -1, i * 5, 7));
  for (size_t i = 0; i < points.size(); ++i) {
    SmoothPoint(points, i, kLowessStrong, 2.0);
    EXPECT_EQ(points[i].smoothX, points[i].posX * 2.0);
    EXPECT_EQ(points[i].smoothY, 14.0);
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

TEST(FivePointAverage, NeighbourTwoFramesAwayOrAdjacentWithAFarSecond) {
  // Backward: frame 9 is adjacent (61), frame 2 is not f-2: 61 + (30 - 61)/7 = 57.
  // Forward: frame 12 is f+2 itself (107), f+1 = 100 + 7/2 = 103.
  const auto points = FramesAndX({{2, 30}, {9, 61}, {10, 100}, {12, 107}, {13, 0}});
  EXPECT_NEAR(Smoothed(points, 2, kSavitzkyGolay), 3176.0 / 35, kTolerance);
  // Forward adjacent with a far second: f+1 = 120, f+2 = 120 + (80 - 120)/4 = 110.
  const auto ahead = FramesAndX({{8, 100}, {9, 100}, {10, 100}, {11, 120}, {15, 80}});
  EXPECT_NEAR(Smoothed(ahead, 2, kMovingAverage), (100 + 200 + 300 + 240 + 110) / 9.0,
              kTolerance);
}

TEST(FivePointAverage, FirstTwoAndLastTwoPointsKeepTheirPosition) {
  auto points = FramesAndX({{0, 1}, {1, 50}, {2, 3}, {3, 70}, {4, 5}, {5, 90}});
  for (int method : {kMovingAverage, kSavitzkyGolay}) {
    for (size_t i : {0u, 1u, 4u, 5u}) EXPECT_EQ(Smoothed(points, i, method, 2.0), points[i].posX * 2.0);
  }
}

TEST(FivePointAverage, DuplicateFramesDoNotDivideByZero) {
  const auto points = FramesAndX({{4, 10}, {5, 20}, {5, 30}, {5, 40}, {6, 50}});
  const double x = Smoothed(points, 2, kMovingAverage);
  EXPECT_TRUE(std::isfinite(x));
}

// --- Other methods and path lengths ---------------------------------------------------------

TEST(Smoothing, NoSmoothingAndUnknownMethodsScaleThePosition) {
  std::vector<tMyPoint> points = {At(0, 0, 10, 20), At(1, 40, 30, 40)};
  for (int method : {static_cast<int>(kNoSmoothing), 9, -1}) {
    SmoothPoint(points, 1, method, 0.5);
    EXPECT_EQ(points[1].smoothX, 15.0);
    EXPECT_EQ(points[1].smoothY, 20.0);
  }
}

TEST(PathLength, SmoothedAndRawDistancesAccumulate) {
  std::vector<tMyPoint> points = {At(0, 0, 0, 0), At(1, 40, 3, 4), At(2, 80, 3, 4),
                                  At(3, 120, 6, 8)};
  points[2].posX = 0;  // a filtered position changes the smoothed path only
  points[2].posY = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    SmoothPoint(points, i, kNoSmoothing, 0.5);
    UpdateCumulativeDistances(points, i, 0.5);
  }
  std::vector<std::pair<double, double>> distances;
  for (const tMyPoint& p : points) distances.emplace_back(p.cumDist, p.cumRawDist);
  EXPECT_EQ(distances, (std::vector<std::pair<double, double>>{{0, 0}, {2.5, 2.5}, {5, 2.5}, {10, 5}}));
}

}  // namespace
}  // namespace vx
