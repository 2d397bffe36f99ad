// What an analysis stores for a test: the points and behaviour blobs (TestsPoints), the
// analysis date, information and per-test summary (Tests), the detection settings and the
// arena adjustment. Every change that can alter a test's results also deletes the test's
// cached report results.
//
// The blobs travel as bytes; their formats belong to the trajectory code above this module.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "db/experiment.h"
#include "db/test_record.h"

namespace vx {

// The stored trajectory of a test, as read for an analysis or a report.
struct TestBlobs {
  bool headDetection = false;       // TestsPoints.HeadDetection
  std::vector<uint8_t> points;      // TestsPoints.PointsAnalyse; empty when none
  std::vector<uint8_t> behaviors;   // TestsPoints.Behaviors
  std::vector<uint8_t> frameTimes;  // Videos.ListePoints of the test's video
};

// Reads the four blobs of a test (frame times from the video named by test.source).
bool LoadTestBlobs(Experiment& experiment, const CInfosTest& test, TestBlobs& blobs);
// The blobs of several tests in one read, by test id: a report over many tests opens the file
// once per group of tests rather than once per test.
bool LoadTestsBlobs(Experiment& experiment, const std::vector<const CInfosTest*>& tests,
                    std::map<int, TestBlobs>& blobs);

// Stores an analysis: the points row (created when missing, with test.headDetection), the
// points blob (NULL when empty), the analysis date, scale, information and summary of test
// (the raw maximum speed included), and drops the test's cached results. With withDetectionSettings, test.paramsDetection is
// written first in the same transaction.
// lockWaitMs: how long to wait for a file that another program holds (see
// RunPatientWriteTransaction); 0 for the usual half-second.
bool SaveAnalysis(Experiment& experiment, CInfosTest& test, const std::vector<uint8_t>& points,
                  bool withDetectionSettings, int lockWaitMs = 0);
// Forgets a test's analysis: summary, date and information cleared, points blob NULL, cache
// dropped.
bool ResetAnalysis(Experiment& experiment, int testId);

// Stores the behaviour blob (NULL when empty) and drops the cached results of the result
// definitions that show behaviours (reportIds).
bool SaveBehaviors(Experiment& experiment, int testId, const std::vector<uint8_t>& behaviors,
                   const std::vector<int>& reportIds);
// True when the test has a behaviour blob.
bool HasRecordedBehaviors(Experiment& experiment, int testId);

// Detection settings text of a test, and of an animal's most recently analysed test.
bool SaveDetectionSettings(Experiment& experiment, int testId, const std::string& settings);
bool ReadDetectionSettings(Experiment& experiment, int testId, std::string& settings);
bool LatestDetectionSettingsOfAnimal(Experiment& experiment, int animalId, std::string& settings);

// Stores the arena adjustment and the arena used; false when the test does not exist.
bool SaveArenaAdjustment(Experiment& experiment, int testId, const std::string& adjustArena,
                         int idArena);

// Recomputing the movement summary of analysed tests (after a change of smoothing or of a
// protocol's inactivity setting). The computation belongs to the analysis code, which hands
// it in; the loop, the reads and the writes run in one transaction.
struct TestSummary {
  int duration = 0;          // s (not rewritten by RecomputeSummaries: smoothing cannot change it)
  double distance = 0;
  double averageSpeed = 0;
  double maxSpeed = 0;
  double maxRawSpeed = 0;
  double averageAccel = 0;
  double maxAccel = 0;
  int inactive = 0;
};
// Returns false to leave the test unchanged.
using SummaryComputer =
    std::function<bool(const CInfosTest& test, const TestBlobs& blobs, TestSummary& summary)>;
// done/total after each test.
using CountProgress = std::function<void(int done, int total)>;
// protocolId -1: every analysed test. inactivityOnly: only Inactive is written. The cached
// report results of every test visited are dropped (their inputs changed with the summary).
// firstStatements, when given, runs first in the same transaction (the setting whose change
// the summaries follow, so that a crash never leaves the one without the other).
bool RecomputeSummaries(Experiment& experiment, int protocolId, bool inactivityOnly,
                        const SummaryComputer& compute, const CountProgress& progress = {},
                        const std::function<void(SQLite::Database& db)>& firstStatements = {});

}  // namespace vx
