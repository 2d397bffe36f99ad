#include "measures/test_measure_data.h"

#include "measures/inactivity.h"
#include "trajectory/trajectory_store.h"
#include "zones/calibration.h"
#include "zones/adjusted_zones.h"

namespace vx {

TestDataStatus LoadTestMeasureData(Experiment& experiment, int testId, TestMeasureData& data,
                                   const PreloadedTestData* preloaded) {
  data.test = experiment.FindTest(testId);
  if (data.test == nullptr) return TestDataStatus::kNoTest;
  data.protocol = experiment.FindProtocol(data.test->idProtocol);
  if (data.protocol == nullptr) return TestDataStatus::kNoProtocol;
  SmoothingSettings smoothing;
  if (preloaded != nullptr) {
    smoothing = preloaded->smoothing;
  } else if (!LoadSmoothingSettings(experiment.file, smoothing)) {
    return TestDataStatus::kReadFailed;
  }
  data.trajectory = Trajectory(smoothing, data.test->scale);
  TrajectoryLoadInfo info;
  if (preloaded != nullptr && preloaded->blobs != nullptr) {
    DecodeTestTrajectory(*preloaded->blobs, data.test->idProtocol, data.trajectory, &info);
  } else if (!LoadTestTrajectory(experiment, *data.test, data.trajectory, &info)) {
    return TestDataStatus::kReadFailed;
  }
  const AdjustmentReading reading = LoadTestZones(*data.protocol, *data.test, data.zones);
  data.adjustment = reading.adjustment;
  data.adjustmentProblem = reading.problem;
  data.behaviors = ParseBehaviors(data.protocol->behaviors, data.protocol->id).behaviors;
  KeepKnownBehaviors(data.trajectory.behaviors, data.behaviors);

  MeasureInput& in = data.input;
  in.trajectory = &data.trajectory;
  in.zones = &data.zones;
  in.adjustment = data.adjustment.IsAdjusted() ? &data.adjustment : nullptr;
  in.testInfo = {data.test, &experiment.fields};
  in.window = AnalysisWindowFromInfo(ParseAnalysisInfo(data.test->infosAnalyse));
  const double protocolScale = MmPerPixel(data.zones);
  in.scale = protocolScale > 0 ? protocolScale : data.test->scale;
  in.inactivityDelayMs =
      InactivityDelayMs(data.protocol->inactivityDelay, data.protocol->inactivityUnit);
  in.behaviors = &data.behaviors;
  return info.pointsCorrupt ? TestDataStatus::kCorruptTrajectory : TestDataStatus::kOk;
}

}  // namespace vx
