#include "measures/inactivity.h"

namespace vx {

namespace {

bool SamePosition(const tMyPoint& a, const tMyPoint& b) {
  return a.posX == b.posX && a.posY == b.posY;
}

}  // namespace

int64_t InactivityDelayMs(int amount, int unit) {
  switch (unit) {
    case 0:
      return amount;
    case 1:
      return int64_t{amount} * 1000;
    case 2:
      return int64_t{amount} * 60000;
    default:
      return 0;
  }
}

bool IsInactive(const std::vector<tMyPoint>& points, int i, int64_t delayMs,
                InactivityCache& cache) {
  const int n = static_cast<int>(points.size());
  if (i < 0 || i >= n) return false;
  if (i == 0) return true;
  if (!SamePosition(points[static_cast<size_t>(i)], points[static_cast<size_t>(i - 1)])) {
    cache.Reset();
    return false;
  }
  // The step (i - 1, i) lies in the cached run: the run's duration already answers.
  if (cache.runFirst >= 0 && cache.runFirst <= i - 1 && i <= cache.runLast &&
      cache.delayMs == delayMs) {
    return cache.runDurationMs >= delayMs;
  }
  int first = i - 1;
  while (first > 0 && SamePosition(points[static_cast<size_t>(first - 1)],
                                   points[static_cast<size_t>(first)])) {
    --first;
  }
  int last = i;
  while (last + 1 < n && SamePosition(points[static_cast<size_t>(last + 1)],
                                      points[static_cast<size_t>(last)])) {
    ++last;
  }
  cache.runFirst = first;
  cache.runLast = last;
  cache.runDurationMs = int64_t{points[static_cast<size_t>(last)].time} -
                        points[static_cast<size_t>(first)].time;
  cache.delayMs = delayMs;
  return cache.runDurationMs >= delayMs;
}

bool IsInactive(Trajectory& trajectory, int i, int64_t delayMs) {
  return IsInactive(trajectory.points(), i, delayMs, trajectory.inactivity);
}

int64_t InactiveDurationMs(const std::vector<tMyPoint>& points, int64_t delayMs,
                           InactivityCache& cache) {
  int64_t total = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    if (IsInactive(points, static_cast<int>(i), delayMs, cache)) {
      total += int64_t{points[i].time} - points[i - 1].time;
    }
  }
  return total;
}

int InactiveTime(Trajectory& trajectory, int64_t delayMs) {
  return static_cast<int>(InactiveDurationMs(trajectory.points(), delayMs, trajectory.inactivity) /
                          1000);
}

}  // namespace vx
