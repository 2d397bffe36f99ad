// Inactivity: a point is inactive when the animal's analysis position has not changed for at
// least the protocol's inactivity delay.
//
// Rule for point i with delay D (ms): point 0 is inactive. A point whose analysis position
// differs from its predecessor's is active. Otherwise the run of consecutive points sharing
// that position, around the step (i - 1, i), is found; its duration is the time of its last
// point minus the time of its first, and the point is inactive when that duration is at least
// D. With D = 0 every point that repeats its predecessor's position is inactive.
//
// The last run found is kept in an InactivityCache (the trajectory carries one), so that
// asking about every point of a long still period scans the run once: asking in order over a
// whole trajectory is linear.
#pragma once

#include <cstdint>
#include <vector>

#include "trajectory/trajectory.h"

namespace vx {

// The protocol's inactivity delay in ms: amount for unit 0 (ms), amount * 1000 for unit 1
// (s), amount * 60000 for unit 2 (min); 0 for any other unit.
int64_t InactivityDelayMs(int amount, int unit);

// Is point i inactive. Points outside the array are active. The cache is consulted and updated
// (a differing position clears it).
bool IsInactive(const std::vector<tMyPoint>& points, int i, int64_t delayMs,
                InactivityCache& cache);
// The same with the trajectory's own cache.
bool IsInactive(Trajectory& trajectory, int i, int64_t delayMs);

// Sum of the durations of the steps (i - 1, i), i >= 1, whose end point is inactive, in ms.
int64_t InactiveDurationMs(const std::vector<tMyPoint>& points, int64_t delayMs,
                           InactivityCache& cache);
// That sum in whole seconds (truncated), with the trajectory's cache: the per-test Inactive.
int InactiveTime(Trajectory& trajectory, int64_t delayMs);

}  // namespace vx
