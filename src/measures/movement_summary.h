// The per-test movement summary stored with every analysed test (columns of Tests): duration,
// distance, average and maximum speeds, accelerations and inactive time.
//
// Units: duration and inactive time in whole seconds, distance in mm, speeds in mm/s,
// accelerations in (mm/s) per ms (the stored unit; the display converts).
//
// The analysis run calls ComputeSummary on the finished trajectory and stores the values with
// its analysis; RecomputeAll recomputes every analysed test of an experiment after the
// smoothing setting changed. Clearing a summary belongs to the statements that forget an
// analysis (db/test_analysis_store.h ResetAnalysis, db/video_store.h).
#pragma once

#include <cstdint>
#include <functional>

#include "measures/analysis_window.h"
#include "trajectory/trajectory.h"
#include "db/experiment.h"
#include "db/test_analysis_store.h"

namespace vx {

// The summary of a finished trajectory (every point smoothed, path lengths computed).
// - duration: (window end - window start + 500) / 1000 when the window has a start frame and
//   an end after its start, else (last time - first time + 500) / 1000; 0 without points;
// - distance: the last point's cumulative (smoothed) distance, 0 under two points;
//   averageSpeed = distance / duration (0 when the duration is 0);
// - maxSpeed, maxRawSpeed: the largest step speeds along smoothed and raw positions (from 0;
//   steps whose time does not increase never win); equal when the positions are not corrected;
// - averageAccel, maxAccel: from a_i = |v(i, i+1) - v(i-1, i)| / (t(i+1) - t(i)) over the
//   n - 2 inner points (0 where the time does not increase); both 0 under three points;
// - inactive: the inactive time with inactivityDelayMs (measures/inactivity.h), or 0 when
//   protocolFound is false (the test's protocol no longer exists).
// The trajectory is not changed: the inactivity run cache used is a local one.
TestSummary ComputeSummary(const Trajectory& trajectory, const AnalysisWindow& window,
                           int64_t inactivityDelayMs, bool protocolFound);

// The summary of a test of a protocol (null: the protocol no longer exists): its window from
// the test's analysis information, the protocol's inactivity delay.
TestSummary ComputeTestSummary(const Trajectory& trajectory, const CInfosTest& test,
                               const CProtocol* protocol);

// Copies the summary into the test record's summary fields.
void ApplySummary(const TestSummary& summary, CInfosTest& test);

// Recomputes and stores the summary of every analysed test of the experiment (all protocols),
// rebuilding each trajectory from its blobs with the experiment's current smoothing setting.
// One write transaction: on failure nothing is stored. A test whose stored points cannot be
// decoded keeps its summary. progress(done, total) is called after each test. Requires: the
// experiment's lists are loaded (protocols give the inactivity delays).
bool RecomputeAll(Experiment& experiment,
                  const std::function<void(int done, int total)>& progress = {});

// Stores a new smoothing setting and recomputes every analysed test under it, in one write
// transaction: the setting and the summaries reach the file together or not at all.
bool ChangeSmoothing(Experiment& experiment, const SmoothingSettings& smoothing,
                     const std::function<void(int done, int total)>& progress = {});

// Saves an existing protocol (as SaveProtocol does) and, when its inactivity delay or unit
// differs from the stored one, recomputes the inactive time of the protocol's analysed tests
// under the new delay, in the same write transaction: the setting and the times it gives
// reach the file together or not at all. The tests' cached results are dropped.
bool SaveProtocolAndInactivity(Experiment& experiment, CProtocol& protocol, bool resultsAffected,
                               const std::function<void(int done, int total)>& progress = {});

}  // namespace vx
