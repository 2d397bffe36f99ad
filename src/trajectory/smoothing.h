// The corrections applied to a trajectory's points: the minimum-displacement filter, the five
// smoothing methods and the running path lengths.
//
// These work on a plain point array so that the trajectory container, the tests and the
// benchmarks share one implementation. Positions are pixels; smoothed positions and distances
// are millimetres (scale = mm per pixel).
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "trajectory/smoothing_settings.h"
#include "detection/my_point.h"

namespace vx {

// Sets p's analysis position (posX, posY) from its raw position. With a predecessor q and a
// threshold T >= 1, p keeps q's analysis position while it stays closer than T to it on both
// axes (T pixels, T mm, or 10 T mm for cm). Comparing with q's analysis position rather than
// its raw one holds a slow drift until its total reaches T on one axis.
void ApplyDisplacementFilter(tMyPoint& p, const tMyPoint* predecessor,
                             const SmoothingSettings& settings, double scale);

// The local regression window of the Lowess methods around point i: indices lo..hi and the
// tricube weight of each, weights[j - lo]. Kept on the stack: no allocation per point.
inline constexpr int kLowessStrongHalfWidth = 10;
inline constexpr int kLowessLiteHalfWidth = 4;
inline constexpr size_t kMaxLowessWindow = 2 * kLowessStrongHalfWidth + 3;

struct LowessWindow {
  int lo = 0;
  int hi = -1;
  double bandwidth = 0;  // ms
  std::array<double, kMaxLowessWindow> weights{};
};

// Requires: points.size() >= 2, i < points.size(), 1 <= halfWidth <= kLowessStrongHalfWidth.
LowessWindow FindLowessWindow(const std::vector<tMyPoint>& points, size_t i, int halfWidth);

// Writes smoothX, smoothY of point i (mm) with the given method; unknown methods smooth like
// kNoSmoothing. Lowess on fewer than two points leaves the point untouched (-1.0).
// Requires: i < points.size().
void SmoothPoint(std::vector<tMyPoint>& points, size_t i, int method, double scale);

// Sets cumDist (along smoothed positions) and cumRawDist (along raw positions) of point i from
// those of point i - 1; both are 0 for the first point. Requires: i < points.size().
void UpdateCumulativeDistances(std::vector<tMyPoint>& points, size_t i, double scale);

}  // namespace vx
