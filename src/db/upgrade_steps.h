// The steps of the schema upgrade, grouped by family, run by UpgradeExperimentDb in version
// order inside its transaction. Each step issues its statements and leaves any failure in
// db.lastError(); the driver rolls everything back when one is recorded.
#pragma once

#include "db/experiment_file.h"
#include "db/sqlite_database.h"
#include "db/upgrade.h"

namespace vx::upgrade {

// What the steps share during one upgrade.
struct Run {
  SQLite::Database& db;
  ExperimentFile& file;
  const UpgradeProgress& progress;
  bool compact = false;  // VACUUM after the commit

  bool Failed() const { return db.lastError() != SQLite::kOk; }
  void Start(int range) const {
    if (progress.start) progress.start(range);
  }
  void Advance() const {
    if (progress.advance) progress.advance();
  }
};

// Column additions and table creations of one threshold, with the small data steps that go
// with them (the first result table, the Chart conversion, the file type, NameTestAuto).
void AddColumnsAndTables(Run& run, int threshold);

// Below 1: every old per-test table "Test_<id>" becomes the test's points blob.
void ConvertPerTestTables(Run& run);
// Below 6: the event and action boxes of every protocol diagram take the newer layout.
void RewriteDiagrams(Run& run);
// Below 6: the tests table is rebuilt and the blobs move into TestsPoints.
void RebuildTests(Run& run);
// Below 13: the videos kept beside each test become rows of Videos.
void MoveVideosOutOfTests(Run& run);
// Below 10: the experiment's animal-size setting, from the animals' sizes.
void DeriveAnimalSizeSetting(Run& run);
// Below 18: the setting written by some older versions with preset -2 is recomputed.
void RecomputeAnimalSizeSetting(Run& run);

// The diagram rewrite of one text (exposed for tests).
std::string RewriteDiagramText(const std::string& diagram);

}  // namespace vx::upgrade
