// Feeds arbitrary bytes to the decoders of the stored trajectory blobs: points with their
// frame times, frame times alone, and recorded behaviours. A decoder may refuse the bytes, but
// must not crash, and a refused blob must leave nothing behind.
//
// Input layout: byte 0 chooses the decoders (bits 0-1), the head flag (bit 2) and the smoothing
// method (bits 3-5); byte 1 is the length of the frame-times blob (or the protocol id for the
// behaviours); the frame-times bytes follow, then the points (or behaviour) bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "trajectory/behavior_blob.h"
#include "db/frame_times.h"
#include "trajectory/trajectory_blob.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void FuzzTrajectory(std::span<const uint8_t> times, std::span<const uint8_t> points, bool head,
                    int method) {
  vx::Trajectory trajectory({.method = method, .threshold = 2, .thresholdUnit = vx::kThresholdMm},
                            0.4);
  if (!vx::ReadTrajectory(trajectory, points, times, head)) {
    Check(trajectory.empty());
    Check(trajectory.frameCount == 0 && trajectory.durationMs == 0);
    return;
  }
  Check(points.empty() == trajectory.empty());
  // A smoothed position may legitimately be negative near the image's edge, so the count of
  // smoothed points is only bounded here.
  Check(static_cast<size_t>(trajectory.SmoothedCount()) <= trajectory.size());
  for (int i = 0; i < static_cast<int>(trajectory.size()); ++i) trajectory.StepSpeed(i, true);
  // What was read can be written again.
  vx::WritePoints(trajectory, head);
}

void FuzzFrameTimes(std::span<const uint8_t> blob) {
  vx::FrameTimes times;
  if (!vx::ReadFrameTimes(blob, times)) {
    Check(times.count == 0 && times.times.empty());
    return;
  }
  if (!times.Listed()) return;
  // A listed form read back from its own encoding gives the same times.
  vx::FrameTimes again;
  Check(vx::ReadFrameTimes(vx::WriteFrameTimes(times), again));
  Check(again.times == times.times);
}

void FuzzBehaviors(std::span<const uint8_t> blob, int protocolId) {
  vx::RecordedBehaviors behaviors;
  if (!vx::ReadBehaviors(behaviors, blob, protocolId)) {
    Check(behaviors.lists.empty() && behaviors.protocolId == -1);
    return;
  }
  Check(behaviors.protocolId == protocolId);
  vx::WriteBehaviors(behaviors);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t mode = data[0];
  const std::span<const uint8_t> rest(data + 2, size - 2);
  const size_t timesLength = data[1] < rest.size() ? data[1] : rest.size();
  const auto times = rest.first(timesLength);
  const auto points = rest.subspan(timesLength);
  switch (mode & 3) {
    case 0:
      FuzzTrajectory(times, points, (mode & 4) != 0, (mode >> 3) & 7);
      break;
    case 1:
      FuzzFrameTimes(rest);
      break;
    case 2:
      FuzzBehaviors(rest, data[1]);
      break;
    default:
      FuzzFrameTimes(times);
      FuzzTrajectory(times, points, (mode & 4) != 0, (mode >> 3) & 7);
      FuzzBehaviors(points, data[1]);
      break;
  }
  return 0;
}
