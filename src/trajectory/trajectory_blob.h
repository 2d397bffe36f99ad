// A test's points as stored in TestsPoints.PointsAnalyse, and their decoding into a Trajectory.
//
// One record per point, in array order, back to back, with no header and no count; all fields
// are varints (db/varint.h), negative values stored as 0:
//   frame step (the frame itself for the first record), x, y,
//   x - left, y - top, right - x, bottom - y,
//   [head flag only] head x - left + 1, head y - top + 1   or a single 0 for no head,
//   K, then K outline points as (x - left, y - top).
// Times are not stored with the points: they come from the video's frame times.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "trajectory/trajectory.h"

namespace vx {

// The points blob of a trajectory; empty (store NULL) for an empty trajectory. withHead is the
// test's head flag (TestsPoints.HeadDetection): only then are head points stored.
std::vector<uint8_t> WritePoints(const Trajectory& trajectory, bool withHead);
std::vector<uint8_t> WritePoints(const std::vector<tMyPoint>& points, bool withHead);

// Rebuilds trajectory from a points blob and the frame-times blob of its video: each point is
// appended with its time, smoothed and finished with the trajectory's own smoothing setting
// and scale; duration and frame count come from the frame times. Empty blobs give an empty
// trajectory. A corrupt blob of either kind (a record cut short, a frame index beyond 32 bits
// or beyond a listed video's last frame) leaves the trajectory cleared and returns false:
// never part of a trajectory.
bool ReadTrajectory(Trajectory& trajectory, std::span<const uint8_t> pointsBlob,
                    std::span<const uint8_t> timesBlob, bool withHead);

}  // namespace vx
