// The values of the test variables that are not stored as they are shown: the per-frame steps
// (variables 18, 19, 23, 24) worked out from the trajectory, and the activity shares (29 to 32)
// from the per-test summary.
#pragma once

#include "db/test_record.h"
#include "trajectory/trajectory.h"

namespace vx {

// The step from point i - 1 to point i: distances in mm, speeds in mm/s; all 0 for the first
// point; a speed of -1 where the time does not increase (as the trajectory reports it).
struct FrameStep {
  double rawDistance = 0;  // 18, along the detected positions
  double rawSpeed = 0;     // 19
  double distance = 0;     // 23, along the smoothed positions
  double speed = 0;        // 24
};
FrameStep FrameStepAt(const Trajectory& trajectory, int i);

// Variables 29 to 32 of an analysed test: active and inactive time in seconds (active is the
// analysed duration less the inactive time) and their shares of the duration in percent (0 for
// a test without duration).
struct ActivityShares {
  double activeS = 0;         // 29
  double activePercent = 0;   // 30
  double inactiveS = 0;       // 31
  double inactivePercent = 0; // 32
};
ActivityShares ActivitySharesOf(const CInfosTest& test);

}  // namespace vx
