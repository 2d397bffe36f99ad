#include "trajectory/trajectory_store.h"

#include "trajectory/behavior_blob.h"
#include "trajectory/trajectory_blob.h"

namespace vx {

bool DecodeTestTrajectory(const TestBlobs& blobs, int protocolId, Trajectory& trajectory,
                          TrajectoryLoadInfo* info) {
  const bool pointsValid =
      ReadTrajectory(trajectory, blobs.points, blobs.frameTimes, blobs.headDetection);
  const bool behaviorsValid = ReadBehaviors(trajectory.behaviors, blobs.behaviors, protocolId);
  if (info != nullptr) {
    info->headDetection = blobs.headDetection;
    info->pointsCorrupt = !pointsValid;
    info->behaviorsCorrupt = !behaviorsValid;
  }
  return pointsValid && behaviorsValid;
}

bool LoadTestTrajectory(Experiment& experiment, const CInfosTest& test, Trajectory& trajectory,
                        TrajectoryLoadInfo* info) {
  TestBlobs blobs;
  if (!LoadTestBlobs(experiment, test, blobs)) return false;
  trajectory.Clear();
  trajectory.SetScale(test.scale);
  DecodeTestTrajectory(blobs, test.idProtocol, trajectory, info);
  return true;
}

}  // namespace vx
