// Reading and writing a test's trajectory, its recorded behaviours and its video's frame times
// in the experiment file.
//
// Two layers. The Write*/Read*Blobs functions run statements on an open connection inside the
// caller's transaction (so an analysis can store points and summary together) and leave
// failures in db.lastError(). The Save*/Load*/Clear* functions are whole operations: each
// opens the file, runs one transaction in the order of db/experiment_db.h, and returns whether
// it reached (or could read) the file.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/frame_times.h"
#include "analysis/rec_behavior.h"
#include "analysis/trajectory.h"
#include "db/experiment_file.h"
#include "db/sqlite_database.h"
#include "db/test_record.h"

namespace vx {

// --- Statements inside the caller's transaction ----------------------------------------------

// Stores the points of a test (NULL for an empty trajectory) with its head flag, creating the
// TestsPoints row when missing. headDetection is the test's protocol's HeadDetection.
void WriteTestPoints(SQLite::Database& db, int testId, const Trajectory& trajectory,
                     bool headDetection);
// Stores the recorded behaviours (NULL when no list qualifies), creating the row when missing.
void WriteTestBehaviors(SQLite::Database& db, int testId, const RecordedBehaviors& behaviors);
// Stores a video's frame times; a video without frames gets NULL.
void WriteVideoFrameTimes(SQLite::Database& db, int videoId, const FrameTimes& frameTimes);
// Forgets the points and behaviours of the given tests.
void ClearTestAnalyses(SQLite::Database& db, const std::vector<int>& testIds);

// The stored form of one test's trajectory. Empty vectors stand for NULL or missing rows.
struct TestTrajectoryBlobs {
  std::vector<uint8_t> behaviors;   // TestsPoints.Behaviors
  bool headDetection = false;       // TestsPoints.HeadDetection
  std::vector<uint8_t> frameTimes;  // Videos.ListePoints of the test's video
  std::vector<uint8_t> points;      // TestsPoints.PointsAnalyse
};
void ReadTestTrajectoryBlobs(SQLite::Database& db, int testId, int videoId,
                             TestTrajectoryBlobs& blobs);

struct TrajectoryLoadInfo;
// Decodes the blobs into trajectory (with its own smoothing setting and scale) and its
// behaviours (for protocolId). A corrupt blob leaves its part empty and is flagged in info.
// Returns whether everything decoded.
bool DecodeTestTrajectory(const TestTrajectoryBlobs& blobs, int protocolId,
                          Trajectory& trajectory, TrajectoryLoadInfo* info = nullptr);

// --- Whole operations -------------------------------------------------------------------------

bool SaveTestPoints(ExperimentFile& file, int testId, const Trajectory& trajectory,
                    bool headDetection);
bool SaveTestBehaviors(ExperimentFile& file, int testId, const RecordedBehaviors& behaviors);
bool SaveVideoFrameTimes(ExperimentFile& file, int videoId, const FrameTimes& frameTimes);
bool ClearAnalyses(ExperimentFile& file, const std::vector<int>& testIds);

// What loading found besides the trajectory.
struct TrajectoryLoadInfo {
  bool headDetection = false;     // the stored head flag
  bool pointsCorrupt = false;     // points or frame times rejected: the trajectory is empty
  bool behaviorsCorrupt = false;  // behaviours rejected: the behaviours are empty
};

// Reads test's trajectory (test.id, its video test.source, its protocol test.idProtocol) and
// decodes it at the test's scale (test.scale) with the trajectory's smoothing setting. Returns
// false when the file could not be read; a corrupt blob is not a read failure (see info).
// Requires: trajectory was built with the experiment's smoothing setting.
bool LoadTestTrajectory(ExperimentFile& file, const CInfosTest& test, Trajectory& trajectory,
                        TrajectoryLoadInfo* info = nullptr);

}  // namespace vx
