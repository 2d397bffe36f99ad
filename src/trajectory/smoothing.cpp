#include "trajectory/smoothing.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace vx {

namespace {

void KeepAnalysisPosition(tMyPoint& p, double scale) {
  p.smoothX = p.posX * scale;
  p.smoothY = p.posY * scale;
}

// --- Lowess ---------------------------------------------------------------------------------

void SmoothLowess(std::vector<tMyPoint>& points, size_t i, int halfWidth, double scale) {
  if (points.size() < 2) return;
  const LowessWindow window = FindLowessWindow(points, i, halfWidth);
  const double t = points[i].time;
  double sw = 0, st = 0, stt = 0, sx = 0, stx = 0, sy = 0, sty = 0;
  for (int j = window.lo; j <= window.hi; ++j) {
    const double w = window.weights[static_cast<size_t>(j - window.lo)];
    const tMyPoint& q = points[static_cast<size_t>(j)];
    const double tj = q.time;
    sw += w;
    st += w * tj;
    stt += w * tj * tj;
    sx += w * q.posX;
    stx += w * tj * q.posX;
    sy += w * q.posY;
    sty += w * tj * q.posY;
  }
  const double det = stt * sw - st * st;
  tMyPoint& p = points[i];
  if (det == 0) {
    KeepAnalysisPosition(p, scale);
    return;
  }
  const double slopeX = (stx * sw - sx * st) / det;
  const double interceptX = (sx * stt - stx * st) / det;
  const double slopeY = (sty * sw - sy * st) / det;
  const double interceptY = (sy * stt - sty * st) / det;
  p.smoothX = (slopeX * t + interceptX) * scale;
  p.smoothY = (slopeY * t + interceptY) * scale;
}

// --- Five-point weighted averages -----------------------------------------------------------

// Positions in 64 bits so that the estimates of far-apart points cannot overflow; for every
// position a video can hold the arithmetic is that of 32-bit integers.
struct IntPos {
  int64_t x;
  int64_t y;
};

IntPos AnalysisPos(const tMyPoint& p) { return {p.posX, p.posY}; }

// from + times * (to - from) / gap, each coordinate in integer arithmetic truncating toward
// zero. Two points of the same frame (gap 0) leave nothing to interpolate: the neighbour's
// position stands for itself.
IntPos Estimate(IntPos from, IntPos to, int64_t times, int64_t gap) {
  if (gap == 0) return to;
  return {from.x + times * (to.x - from.x) / gap, from.y + times * (to.y - from.y) / gap};
}

// The values standing for frames f + side and f + 2 side (side -1 backward, +1 forward) of
// point i, whose neighbours i + side and i + 2 side exist.
void EstimateSide(const std::vector<tMyPoint>& points, size_t i, int side, IntPos& near,
                  IntPos& far) {
  const tMyPoint& p = points[i];
  const tMyPoint& q = points[i + side];
  const int64_t f = p.frame;
  const int64_t fq = q.frame;
  const IntPos pos = AnalysisPos(p);
  const IntPos qPos = AnalysisPos(q);
  if (fq != f + side) {
    const int64_t gap = side * (fq - f);
    near = Estimate(pos, qPos, 1, gap);
    far = fq == f + 2 * side ? qPos : Estimate(pos, qPos, 2, gap);
    return;
  }
  near = qPos;
  const tMyPoint& r = points[i + 2 * side];
  const int64_t fr = r.frame;
  far = fr == f + 2 * side ? AnalysisPos(r) : Estimate(qPos, AnalysisPos(r), 1, side * (fr - fq));
}

void SmoothFivePoint(std::vector<tMyPoint>& points, size_t i, int c2, int c1, int c0,
                     double divisor, double scale) {
  tMyPoint& p = points[i];
  if (i < 2 || i + 3 > points.size()) {
    KeepAnalysisPosition(p, scale);
    return;
  }
  IntPos back1, back2, ahead1, ahead2;
  EstimateSide(points, i, -1, back1, back2);
  EstimateSide(points, i, +1, ahead1, ahead2);
  const IntPos pos = AnalysisPos(p);
  const int64_t sumX = c2 * back2.x + c1 * back1.x + c0 * pos.x + c1 * ahead1.x + c2 * ahead2.x;
  const int64_t sumY = c2 * back2.y + c1 * back1.y + c0 * pos.y + c1 * ahead1.y + c2 * ahead2.y;
  p.smoothX = static_cast<double>(sumX) * scale / divisor;
  p.smoothY = static_cast<double>(sumY) * scale / divisor;
}

}  // namespace

void ApplyDisplacementFilter(tMyPoint& p, const tMyPoint* predecessor,
                             const SmoothingSettings& settings, double scale) {
  p.posX = p.rawX;
  p.posY = p.rawY;
  const int threshold = settings.threshold;
  if (threshold < 1 || predecessor == nullptr) return;
  const int64_t dx = std::llabs(static_cast<int64_t>(p.rawX) - predecessor->posX);
  const int64_t dy = std::llabs(static_cast<int64_t>(p.rawY) - predecessor->posY);
  bool still = false;
  switch (settings.thresholdUnit) {
    case kThresholdPixels:
      still = dx < threshold && dy < threshold;
      break;
    case kThresholdMm:
    case kThresholdCm: {
      const double limit =
          settings.thresholdUnit == kThresholdCm ? 10.0 * threshold : 1.0 * threshold;
      still = static_cast<double>(dx) * scale < limit && static_cast<double>(dy) * scale < limit;
      break;
    }
    default:
      break;
  }
  if (still) {
    p.posX = predecessor->posX;
    p.posY = predecessor->posY;
  }
}

LowessWindow FindLowessWindow(const std::vector<tMyPoint>& points, size_t i, int halfWidth) {
  LowessWindow window;
  const int n = static_cast<int>(points.size());
  const int index = static_cast<int>(i);
  const double t = points[i].time;
  auto timeAt = [&](int j) { return static_cast<double>(points[static_cast<size_t>(j)].time); };
  int lo = std::max(index - halfWidth - 1, 0);
  int hi = std::min(index + halfWidth + 1, n - 1);
  while (hi - lo > halfWidth - 1) {
    const double dl = t - timeAt(lo);
    const double dr = timeAt(hi) - t;
    if (dl < dr) {
      --hi;
    } else if (dl > dr) {
      ++lo;
    } else {
      ++lo;
      --hi;
    }
  }
  double d = std::max(t - timeAt(lo), timeAt(hi) - t);
  // A window of equal times would divide by zero: the smallest normal double keeps every
  // weight finite (the centre's is 1, the others' 0 or far below it).
  if (!(d >= DBL_MIN)) d = DBL_MIN;
  window.lo = lo;
  window.hi = hi;
  window.bandwidth = d;
  for (int j = lo; j <= hi; ++j) {
    const double u = std::fabs(timeAt(j) - t) / d;
    const double c = 1.0 - u * u * u;
    window.weights[static_cast<size_t>(j - lo)] = c * c * c;
  }
  return window;
}

void SmoothPoint(std::vector<tMyPoint>& points, size_t i, int method, double scale) {
  switch (method) {
    case kLowessStrong:
      SmoothLowess(points, i, kLowessStrongHalfWidth, scale);
      break;
    case kLowessLite:
      SmoothLowess(points, i, kLowessLiteHalfWidth, scale);
      break;
    case kMovingAverage:
      SmoothFivePoint(points, i, 1, 2, 3, 9.0, scale);
      break;
    case kSavitzkyGolay:
      SmoothFivePoint(points, i, -3, 12, 17, 35.0, scale);
      break;
    default:
      KeepAnalysisPosition(points[i], scale);
      break;
  }
}

void UpdateCumulativeDistances(std::vector<tMyPoint>& points, size_t i, double scale) {
  tMyPoint& p = points[i];
  if (i == 0) {
    p.cumDist = 0;
    p.cumRawDist = 0;
    return;
  }
  const tMyPoint& q = points[i - 1];
  const double sx = q.smoothX - p.smoothX;
  const double sy = q.smoothY - p.smoothY;
  p.cumDist = q.cumDist + std::sqrt(sx * sx + sy * sy);
  // Whole pixels: the sum of squares is an integer, exact in a double for any image size, and
  // cannot overflow whatever a corrupt blob holds.
  const double dx = static_cast<double>(static_cast<int64_t>(q.rawX) - p.rawX);
  const double dy = static_cast<double>(static_cast<int64_t>(q.rawY) - p.rawY);
  p.cumRawDist = q.cumRawDist + std::sqrt(dx * dx + dy * dy) * scale;
}

}  // namespace vx
