// A test's trajectory as stored in the experiment file, rebuilt in memory.
//
// The database layer reads and writes the blobs (db/test_analysis_store.h: LoadTestBlobs,
// SaveAnalysis, SaveBehaviors; db/video_store.h for a video's frame times); this is the step
// between those bytes and a Trajectory. To store, encode with WritePoints, WriteBehaviors or
// WriteFrameTimes and hand the bytes to the database layer.
#pragma once

#include "trajectory/trajectory.h"
#include "db/experiment.h"
#include "db/test_analysis_store.h"
#include "db/test_record.h"

namespace vx {

// What loading found besides the trajectory.
struct TrajectoryLoadInfo {
  bool headDetection = false;     // the stored head flag
  bool pointsCorrupt = false;     // points or frame times rejected: the trajectory is empty
  bool behaviorsCorrupt = false;  // behaviours rejected: the behaviours are empty
};

// Decodes a test's blobs into trajectory (with its own smoothing setting and scale) and its
// behaviours (for protocolId). A corrupt blob leaves its part empty and is flagged in info.
// Returns whether everything decoded.
bool DecodeTestTrajectory(const TestBlobs& blobs, int protocolId, Trajectory& trajectory,
                          TrajectoryLoadInfo* info = nullptr);

// Reads test's blobs (test.id, its video test.source) and decodes them at the test's scale
// (test.scale) for its protocol (test.idProtocol). Returns false when the file could not be
// read; a corrupt blob is not a read failure (see info).
// Requires: trajectory was built with the experiment's smoothing setting.
bool LoadTestTrajectory(Experiment& experiment, const CInfosTest& test, Trajectory& trajectory,
                        TrajectoryLoadInfo* info = nullptr);

}  // namespace vx
