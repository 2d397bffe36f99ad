// Tests (tables Tests and TestsPoints): one animal filmed once under one protocol.
//
// The record functions here read and write the test's own columns; its analysis (points,
// behaviours, per-test summary), detection settings and arena adjustment are written by the
// functions of test_analysis_store.h. Excluded tests (Status 1) stay in the lists but never
// take part in a result.
#pragma once

#include <string>
#include <vector>

#include "db/experiment.h"
#include "db/sqlite_database.h"
#include "db/test_record.h"

namespace vx {

// False when no test has that id (the record keeps its values).
bool LoadTest(Experiment& experiment, int id, CInfosTest& test);
// The test with the highest id; false when there is none.
bool LoadLastTest(Experiment& experiment, CInfosTest& test);
// The tests whose video is videoId.
bool LoadTestsOfVideo(Experiment& experiment, int videoId, std::vector<CInfosTest>& tests);
// Update by id, else insert (the new id is written back). With resultsAffected the test's
// cached report results are deleted. Refreshes the experiment's test map.
bool SaveTest(Experiment& experiment, CInfosTest& test, bool resultsAffected);
// Marks the tests excluded (Status 1) and drops their cached results. An empty selection
// shows message 608 and changes nothing.
bool ExcludeTests(Experiment& experiment, const std::vector<int>& ids);
// Deletes the tests, their points rows and their cached results.
bool DeleteTest(Experiment& experiment, int id);
bool DeleteTests(Experiment& experiment, const std::vector<int>& ids);
// The number of analysed tests of a protocol; -1 when the file cannot be read.
int CountAnalysedTests(Experiment& experiment, int protocolId);

// Inside a transaction the caller holds. A row reader takes the columns the query selected.
CInfosTest TestFromRow(const SQLite::Table& row, const std::vector<CField>& fields);
bool ReadTest(SQLite::Database& db, int id, const std::vector<CField>& fields, CInfosTest& test);
void ReadAllTests(SQLite::Database& db, const std::vector<CField>& fields,
                  std::map<int, CInfosTest>& tests);

}  // namespace vx
