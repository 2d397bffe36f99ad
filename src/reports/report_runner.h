// Running a report: one result per test of its protocol, read from the report cache when a
// valid entry is there, otherwise computed from the test's trajectory and stored.
//
// For each selected test (report_runner.cpp):
//   1. its cache entry (ReportsData) is used when DecodeResult accepts it: version 10001, the
//      report's measure, a shape that fits the report; nothing else is read for that test;
//   2. otherwise the result is computed (ComputeTestResult) and stored: an empty result
//      deletes the entry, any other replaces it. A test whose trajectory cannot be decoded
//      gives an empty result; when the file cannot be read the cache is left alone.
// Fresh values are returned rounded to single precision, exactly as a later run reads them
// back from the cache, so a report shows the same numbers whether or not it was cached.
//
// Invalidation: every operation that changes what a result is computed from deletes the
// entries concerned in the same transaction (the database layer's stores: an analysis or its
// reset, a test's edit, exclusion or deletion, a report's save, a protocol's zones or settings,
// recorded behaviours, a video's test list or frame times, the smoothing setting).
//
// Threading: runs on the thread that owns the experiment's lists; progress and cancel are
// called on it between tests.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "reports/report_definition.h"
#include "reports/report_result.h"
#include "measures/test_measure_data.h"
#include "db/experiment.h"

namespace vx {

struct ReportRunOptions {
  // Only these tests (for example a filter's selection); null: every test of the protocol.
  const std::vector<int>* testIds = nullptr;
  // false: compute every result and leave the cache alone (no experiment database to keep
  // them in).
  bool useCache = true;
  std::function<void(int done, int total)> progress;  // after each test
  std::function<bool()> cancelled;                    // polled before each test
};

// What a run did, test by test.
struct ReportRunStats {
  int fromCache = 0;   // results decoded from the cache
  int computed = 0;    // results computed from trajectories
  int stored = 0;      // cache entries written
  int dropped = 0;     // stale entries deleted because the fresh result was empty
  int storeFailures = 0;  // entries that could not be written (the results are still returned)
  // Tests whose result could not be computed, with why (a corrupt stored trajectory, for one):
  // their result is empty, and the caller must say so rather than show an empty row as a result.
  std::vector<std::pair<int, TestDataStatus>> failedTests;
};

enum class ReportRunStatus {
  kOk,
  kCancelled,         // results holds the tests done before the cancel
  kReadFailed,        // the file could not be read
  kNoProtocol,        // the report's protocol no longer exists
  kUnreadableConfig,  // the report's Config text is not a definition this program reads
  kRefused,           // the definition cannot be computed (see ValidateMeasureDefinition)
};

// The results of report in test id order (tests with an empty result included). Requires: the
// experiment's lists are loaded.
ReportRunStatus RunReport(Experiment& experiment, const Report& report,
                          const ReportRunOptions& options, std::vector<TestResult>& results,
                          ReportRunStats* stats = nullptr);

// Computes one test's result for the report, without the cache: the test's trajectory and
// behaviours are read and the measure is dispatched (zone and movement measures, behaviours,
// the heat map and track images). The result carries the test's id and title and full double
// precision. kOk, or why the result is empty: kCorruptTrajectory (the
// stored points cannot be decoded), kNoTest, kNoProtocol, kReadFailed.
TestDataStatus ComputeTestResult(Experiment& experiment, const Report& report, int testId,
                                 TestResult& result, const PreloadedTestData* preloaded = nullptr);

}  // namespace vx
