#include "analysis/analysis_store.h"

#include "measures/analysis_window.h"
#include "db/frame_times.h"
#include "measures/movement_summary.h"
#include "trajectory/trajectory_blob.h"
#include "db/test_analysis_store.h"
#include "video/video_info.h"

namespace vx {

namespace {

// Replaces a run time (taken from the back-end) by the stored time of the same frame.
void ToStoredTime(const FrameTimes& times, int64_t frame, int64_t& timeMs) {
  int stored = -1;
  if (frame >= 0 && TimeOfFrame(times, static_cast<uint32_t>(frame), stored) && stored >= 0) {
    timeMs = stored;
  }
}

}  // namespace

StoredAnalysis FinishAnalysis(const TestJob& job, const AttemptResult& attempt,
                              int64_t analysisDate) {
  StoredAnalysis stored;
  CInfosTest& test = stored.test;
  test = job.test;
  test.dateAnalyse = analysisDate;
  test.scale = attempt.trajectory.scale();
  test.headDetection = job.protocol.headDetection;

  DetectionSettings settings = attempt.settings;
  settings.stamp = analysisDate;
  test.paramsDetection = FormatDetectionSettings(settings);

  AnalysisInfo info = attempt.info;
  info.stamp = analysisDate;
  FrameTimes times;
  const bool timesKnown = ReadFrameTimes(job.frameTimesBlob, times) && times.count > 1;
  if (timesKnown && info[run_info::kStartFrame] >= 0) {
    ToStoredTime(times, info[run_info::kStartFrame], info[run_info::kStartTime]);
    ToStoredTime(times, info[run_info::kLastFrame], info[run_info::kEndTime]);
  }
  test.infosAnalyse = FormatInfo(info);

  stored.points = WritePoints(attempt.trajectory, test.headDetection);
  stored.trajectory = Trajectory(job.smoothing, test.scale);
  if (!timesKnown ||
      !ReadTrajectory(stored.trajectory, stored.points, job.frameTimesBlob, test.headDetection)) {
    // Without usable stored times the run's own times are all there is.
    stored.trajectory = attempt.trajectory;
  }
  ApplySummary(ComputeTestSummary(stored.trajectory, test,
                                  job.protocolFound ? &job.protocol : nullptr),
               test);
  return stored;
}

bool StoreAnalysis(Experiment& experiment, StoredAnalysis& analysis) {
  return SaveAnalysis(experiment, analysis.test, analysis.points, true, kAnalysisLockWaitMs);
}

bool ClearAnalysis(Experiment& experiment, int testId) { return ResetAnalysis(experiment, testId); }

}  // namespace vx
