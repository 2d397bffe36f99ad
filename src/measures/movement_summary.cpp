#include "measures/movement_summary.h"

#include <cmath>

#include "measures/inactivity.h"
#include "trajectory/smoothing_settings.h"
#include "trajectory/trajectory_store.h"
#include "db/analysis_info.h"
#include "db/infos_store.h"
#include "db/protocol_store.h"

namespace vx {

namespace {

int SummaryDuration(const std::vector<tMyPoint>& points, const AnalysisWindow& window) {
  if (window.HasDuration()) return static_cast<int>((window.endMs - window.startMs + 500) / 1000);
  if (points.empty()) return 0;
  return static_cast<int>((int64_t{points.back().time} - points.front().time + 500) / 1000);
}

void AddAccelerations(const Trajectory& trajectory, TestSummary& summary) {
  const int n = static_cast<int>(trajectory.size());
  if (n < 3) return;
  double sum = 0;
  for (int i = 1; i <= n - 2; ++i) {
    const int64_t elapsed = int64_t{trajectory[static_cast<size_t>(i + 1)].time} -
                            trajectory[static_cast<size_t>(i)].time;
    if (elapsed <= 0) continue;
    const double a = std::fabs(trajectory.StepSpeed(i + 1) - trajectory.StepSpeed(i)) /
                     static_cast<double>(elapsed);
    sum += a;
    if (a > summary.maxAccel) summary.maxAccel = a;
  }
  summary.averageAccel = sum / (n - 2);
}

}  // namespace

TestSummary ComputeSummary(const Trajectory& trajectory, const AnalysisWindow& window,
                           int64_t inactivityDelayMs, bool protocolFound) {
  TestSummary summary;
  const std::vector<tMyPoint>& points = trajectory.points();
  summary.duration = SummaryDuration(points, window);
  if (points.size() >= 2) summary.distance = points.back().cumDist;
  if (summary.duration > 0) summary.averageSpeed = summary.distance / summary.duration;
  const bool rawDiffers = trajectory.smoothing().ChangesPositions();
  for (int i = 1; i < static_cast<int>(points.size()); ++i) {
    const double speed = trajectory.StepSpeed(i);
    if (speed > summary.maxSpeed) summary.maxSpeed = speed;
    if (rawDiffers) {
      const double raw = trajectory.StepSpeed(i, true);
      if (raw > summary.maxRawSpeed) summary.maxRawSpeed = raw;
    }
  }
  if (!rawDiffers) summary.maxRawSpeed = summary.maxSpeed;
  AddAccelerations(trajectory, summary);
  if (protocolFound) {
    InactivityCache cache;
    summary.inactive = static_cast<int>(InactiveDurationMs(points, inactivityDelayMs, cache) / 1000);
  }
  return summary;
}

TestSummary ComputeTestSummary(const Trajectory& trajectory, const CInfosTest& test,
                               const CProtocol* protocol) {
  const AnalysisWindow window = AnalysisWindowFromInfo(ParseAnalysisInfo(test.infosAnalyse));
  const int64_t delay =
      protocol != nullptr ? InactivityDelayMs(protocol->inactivityDelay, protocol->inactivityUnit)
                          : 0;
  return ComputeSummary(trajectory, window, delay, protocol != nullptr);
}

void ApplySummary(const TestSummary& summary, CInfosTest& test) {
  test.duration = summary.duration;
  test.distance = summary.distance;
  test.averageSpeed = summary.averageSpeed;
  test.maxSpeed = summary.maxSpeed;
  test.maxRawSpeed = summary.maxRawSpeed;
  test.averageAccel = summary.averageAccel;
  test.maxAccel = summary.maxAccel;
  test.inactive = summary.inactive;
}

namespace {

// The summary of every analysed test (of one protocol, or all for -1) under smoothing;
// firstStatements runs in the same transaction.
bool RecomputeUnder(Experiment& experiment, const SmoothingSettings& smoothing, int protocolId,
                    bool inactivityOnly, const std::function<void(int done, int total)>& progress,
                    const std::function<void(SQLite::Database& db)>& firstStatements) {
  const SummaryComputer compute = [&](const CInfosTest& test, const TestBlobs& blobs,
                                      TestSummary& summary) {
    Trajectory trajectory(smoothing, test.scale);
    TrajectoryLoadInfo info;
    DecodeTestTrajectory(blobs, test.idProtocol, trajectory, &info);
    if (info.pointsCorrupt) return false;
    // The rows the loop reads carry no analysis information; the in-memory record does, and
    // its window decides the duration that the average speed divides by.
    CInfosTest withInfo = test;
    if (const CInfosTest* known = experiment.FindTest(test.id)) {
      withInfo.infosAnalyse = known->infosAnalyse;
    }
    summary = ComputeTestSummary(trajectory, withInfo, experiment.FindProtocol(test.idProtocol));
    return true;
  };
  return RecomputeSummaries(experiment, protocolId, inactivityOnly, compute, progress, firstStatements);
}

}  // namespace

bool RecomputeAll(Experiment& experiment, const std::function<void(int done, int total)>& progress) {
  SmoothingSettings smoothing;
  if (!LoadSmoothingSettings(experiment.file, smoothing)) return false;
  return RecomputeUnder(experiment, smoothing, -1, false, progress, {});
}

bool ChangeSmoothing(Experiment& experiment, const SmoothingSettings& smoothing,
                     const std::function<void(int done, int total)>& progress) {
  return RecomputeUnder(experiment, smoothing, -1, false, progress, [&](SQLite::Database& db) {
    WriteSetting(db, kSmoothingSettingName, FormatSmoothingSettings(smoothing));
  });
}

bool SaveProtocolAndInactivity(Experiment& experiment, CProtocol& protocol, bool resultsAffected,
                               const std::function<void(int done, int total)>& progress) {
  const CProtocol* stored = experiment.FindProtocol(protocol.id);
  if (stored == nullptr) return false;
  if (stored->inactivityDelay == protocol.inactivityDelay && stored->inactivityUnit == protocol.inactivityUnit) {
    return SaveProtocol(experiment, protocol, resultsAffected);
  }
  SmoothingSettings smoothing;
  if (!LoadSmoothingSettings(experiment.file, smoothing)) return false;
  // The summaries read the delay from the experiment's list: it holds the new one while they
  // are computed, and the old one again when the transaction fails.
  const CProtocol before = *stored;
  CProtocol written = protocol;
  experiment.Remember(written);
  const bool ok = RecomputeUnder(experiment, smoothing, protocol.id, true, progress,
                                 [&](SQLite::Database& db) { WriteProtocol(db, written, resultsAffected); });
  experiment.Remember(ok ? written : before);
  if (ok) protocol = std::move(written);
  return ok;
}

}  // namespace vx
