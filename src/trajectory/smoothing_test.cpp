#include "trajectory/smoothing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <random>

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

// --- Lowess, against a straightforward re-implementation ------------------------------------

struct ReferenceFit {
  int lo, hi;
  std::vector<double> weights;
  double x, y;  // smoothed, pixels
};

// The same rules written the long way: a list of candidates trimmed from the far side, tricube
// weights with pow, and the weighted regression in its centred form.
ReferenceFit ReferenceLowess(const std::vector<tMyPoint>& points, int i, int k) {
  const int n = static_cast<int>(points.size());
  const double t = points[static_cast<size_t>(i)].time;
  auto time = [&](int j) { return static_cast<double>(points[static_cast<size_t>(j)].time); };
  std::deque<int> window;
  for (int j = std::max(0, i - k - 1); j <= std::min(n - 1, i + k + 1); ++j) window.push_back(j);
  while (static_cast<int>(window.size()) > k) {
    const double left = t - time(window.front());
    const double right = time(window.back()) - t;
    if (left >= right) window.pop_front();
    if (right >= left) window.pop_back();
  }
  ReferenceFit fit{window.front(), window.back(), {}, 0, 0};
  double d = std::max(t - time(fit.lo), time(fit.hi) - t);
  if (d <= 0) d = 2.2250738585072014e-308;
  double sw = 0, mt = 0, mx = 0, my = 0;
  for (int j : window) {
    const double w = std::pow(1 - std::pow(std::abs(time(j) - t) / d, 3), 3);
    fit.weights.push_back(w);
    sw += w;
    mt += w * time(j);
    mx += w * points[static_cast<size_t>(j)].posX;
    my += w * points[static_cast<size_t>(j)].posY;
  }
  mt /= sw;
  mx /= sw;
  my /= sw;
  double stt = 0, stx = 0, sty = 0;
  for (size_t m = 0; m < window.size(); ++m) {
    const tMyPoint& q = points[static_cast<size_t>(window[m])];
    stt += fit.weights[m] * (q.time - mt) * (q.time - mt);
    stx += fit.weights[m] * (q.time - mt) * (q.posX - mx);
    sty += fit.weights[m] * (q.time - mt) * (q.posY - my);
  }
  const tMyPoint& p = points[static_cast<size_t>(i)];
  if (stt == 0) {
    fit.x = p.posX;
    fit.y = p.posY;
  } else {
    fit.x = mx + stx / stt * (t - mt);
    fit.y = my + sty / stt * (t - mt);
  }
  return fit;
}

std::vector<tMyPoint> Wandering(int n, unsigned seed, bool evenTimes, int startMs) {
  std::mt19937 rng(seed);
  std::vector<tMyPoint> points;
  int time = startMs, x = 300, y = 200;
  for (int i = 0; i < n; ++i) {
    points.push_back(At(i, time, x, y));
    time += evenTimes ? 40 : 20 + static_cast<int>(rng() % 60);
    x += static_cast<int>(rng() % 15) - 7;
    y += static_cast<int>(rng() % 15) - 7;
  }
  return points;
}

TEST(Lowess, EvenTimesSettleOnNinePointsForTheStrongMethod) {
  const std::vector<tMyPoint> points = Wandering(40, 1, true, 0);
  const LowessWindow window = FindLowessWindow(points, 20, kLowessStrongHalfWidth);
  EXPECT_EQ(window.lo, 16);
  EXPECT_EQ(window.hi, 24);
  EXPECT_DOUBLE_EQ(window.bandwidth, 160.0);
  const double expected[] = {0, 0.1932, 0.6699, 0.9539, 1, 0.9539, 0.6699, 0.1932, 0};
  for (size_t j = 0; j < 9; ++j) EXPECT_NEAR(window.weights[j], expected[j], 5e-5) << j;
}

TEST(Lowess, WindowsAndWeightsMatchTheReferenceOnUnevenTimes) {
  for (int k : {kLowessStrongHalfWidth, kLowessLiteHalfWidth}) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
      const std::vector<tMyPoint> points = Wandering(60, seed, seed % 4 == 0, 500);
      for (int i = 0; i < 60; ++i) {
        const LowessWindow window = FindLowessWindow(points, static_cast<size_t>(i), k);
        const ReferenceFit fit = ReferenceLowess(points, i, k);
        ASSERT_EQ(window.lo, fit.lo) << k << " " << seed << " " << i;
        ASSERT_EQ(window.hi, fit.hi) << k << " " << seed << " " << i;
        for (size_t j = 0; j < fit.weights.size(); ++j) {
          EXPECT_NEAR(window.weights[j], fit.weights[j], kTolerance);
        }
      }
    }
  }
}

TEST(Lowess, SmoothedPositionsMatchTheReference) {
  // The stored method regresses on absolute times, whose squares cancel in its determinant:
  // the two forms agree to rounding near the start of a video and to far below a pixel later.
  const struct {
    int startMs;
    double tolerance;  // mm
  } spans[] = {{0, 1e-7}, {100000, 1e-5}};
  const double scale = 0.3;
  for (const auto& span : spans) {
    for (int method : {kLowessStrong, kLowessLite}) {
      const int k = method == kLowessStrong ? kLowessStrongHalfWidth : kLowessLiteHalfWidth;
      for (unsigned seed = 1; seed <= 10; ++seed) {
        std::vector<tMyPoint> points = Wandering(80, seed, false, span.startMs);
        for (int i = 0; i < 80; ++i) {
          const size_t at = static_cast<size_t>(i);
          SmoothPoint(points, at, method, scale);
          const ReferenceFit fit = ReferenceLowess(points, i, k);
          EXPECT_NEAR(points[at].smoothX, fit.x * scale, span.tolerance) << span.startMs << " " << i;
          EXPECT_NEAR(points[at].smoothY, fit.y * scale, span.tolerance) << span.startMs << " " << i;
        }
      }
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
