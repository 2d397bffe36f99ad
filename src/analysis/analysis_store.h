// What an analysis stores for its test, and storing or forgetting it.
//
// The stored trajectory is what every later computation reads back: the points blob, with the
// times of the video's stored frame times. The per-test summary stored with it is therefore
// computed on that very trajectory (rebuilt from the blob), so that the summary of a fresh
// analysis and the one every recomputation gives are the same numbers.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/analysis_job.h"
#include "analysis/analysis_run.h"
#include "trajectory/trajectory.h"
#include "db/experiment.h"

namespace vx {

struct StoredAnalysis {
  CInfosTest test;              // with its settings text, date, scale, information and summary
  std::vector<uint8_t> points;  // the points blob; empty: stored as NULL
  Trajectory trajectory;        // the trajectory as it reads back from the stored blobs
};

// The record of an attempt, analysed at analysisDate (seconds since 1970): the information
// stamp and the settings' stamp are that date; the analysed window (values 1 to 3 of the
// information) is given in the video's stored frame times when it has any; the scale is the
// protocol's calibration; the head flag the protocol's.
StoredAnalysis FinishAnalysis(const TestJob& job, const AttemptResult& attempt,
                              int64_t analysisDate);

// A finished analysis is minutes of work: its save waits this long for a file that another
// program holds before giving up.
inline constexpr int kAnalysisLockWaitMs = 60000;

// One write transaction: the detection settings text, the points row and blob, the date,
// scale, information and summary, and the test's cached report results dropped. The
// experiment's test list is updated when it committed. False (nothing written) otherwise.
bool StoreAnalysis(Experiment& experiment, StoredAnalysis& analysis);

// Forgets a test's analysis (summary, date, information and points cleared, cached report
// results dropped).
bool ClearAnalysis(Experiment& experiment, int testId);

}  // namespace vx
