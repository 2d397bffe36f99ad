// Everything the measures need about one test of an open experiment: its record, protocol,
// zones, trajectory (with the experiment's smoothing setting) and recorded behaviours, read
// from the file, and the MeasureInput that points into them.
//
// The zones are the test's: the protocol's placed by the test's arena adjustment (a test whose
// arena was found elsewhere in its video is measured where its arena is). The scale given to
// the measures is those zones' calibration (distances to zones, areas, hidden-zone limits);
// when the protocol has no usable ruler, the scale the analysis used.
#pragma once

#include <string>
#include <vector>

#include "measures/behavior.h"
#include "measures/measure_input.h"
#include "zones/test_adjustment.h"
#include "db/experiment.h"
#include "db/test_analysis_store.h"
#include "trajectory/smoothing_settings.h"

namespace vx {

enum class TestDataStatus {
  kOk,
  kReadFailed,         // the file could not be read
  kNoTest,             // no test has that id
  kNoProtocol,         // the test's protocol no longer exists
  kCorruptTrajectory,  // the stored points could not be decoded (the trajectory is empty)
};

struct TestMeasureData {
  const CInfosTest* test = nullptr;      // in the experiment's list
  const CProtocol* protocol = nullptr;   // in the experiment's list
  ZoneSet zones;                         // the test's (adjusted)
  TestAdjustment adjustment;            // the test's, as read
  std::string adjustmentProblem;         // why the stored adjustment text is not well formed
  Trajectory trajectory;
  std::vector<CBehavior> behaviors;      // the protocol's definitions
  MeasureInput input;                    // points into this structure: do not copy or move it

  TestMeasureData() = default;
  TestMeasureData(const TestMeasureData&) = delete;
  TestMeasureData& operator=(const TestMeasureData&) = delete;
};

// What a run over many tests reads once rather than once per test: the experiment's smoothing
// setting, and the test's blobs read with those of other tests.
struct PreloadedTestData {
  SmoothingSettings smoothing;
  const TestBlobs* blobs = nullptr;  // this test's; null: read them
};

// Requires: the experiment's lists are loaded.
TestDataStatus LoadTestMeasureData(Experiment& experiment, int testId, TestMeasureData& data,
                                   const PreloadedTestData* preloaded = nullptr);

}  // namespace vx
