// Everything the measures need about one test of an open experiment: its record, protocol,
// zones, trajectory (with the experiment's smoothing setting) and recorded behaviours, read
// from the file, and the MeasureInput that points into them.
//
// The scale given to the measures is the protocol's calibration (distances to zones, areas,
// hidden-zone limits); when the protocol has no usable ruler, the scale the analysis used.
// The test's arena adjustment is not applied yet (tests are measured in the protocol's frame).
#pragma once

#include <vector>

#include "measures/behavior.h"
#include "measures/measure_input.h"
#include "db/experiment.h"

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
  ZoneSet zones;
  Trajectory trajectory;
  std::vector<CBehavior> behaviors;      // the protocol's definitions
  MeasureInput input;                    // points into this structure: do not copy or move it

  TestMeasureData() = default;
  TestMeasureData(const TestMeasureData&) = delete;
  TestMeasureData& operator=(const TestMeasureData&) = delete;
};

// Requires: the experiment's lists are loaded.
TestDataStatus LoadTestMeasureData(Experiment& experiment, int testId, TestMeasureData& data);

}  // namespace vx
