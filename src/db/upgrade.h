// Bringing an experiment file of any older schema version (0 to 23) to the current one.
//
// The whole upgrade is one transaction: every step whose version threshold exceeds the file's
// version runs, in order, and the new version is stored; any failure rolls everything back, so
// a file is either fully upgraded or left exactly as it was. Steps that rebuild the tests or
// move videos mark the file for compaction, which runs ("VACUUM") after the commit.
//
// The conversions that touch every test (old per-test tables, the tests rebuild, videos taken
// out of the tests) report their progress through UpgradeProgress; the program shows it as it
// likes (a progress window, a line on a terminal) and may process pending events in advance().
#pragma once

#include <functional>
#include <string>

#include "db/experiment_file.h"
#include "db/sqlite_database.h"

namespace vx {

struct UpgradeProgress {
  std::function<void(int range)> start;  // a conversion over range items begins
  std::function<void()> advance;         // one item done
  // Messages 498 (before the commit) and 499 (before the compaction) with their text.
  std::function<void(int messageId, const std::string& text)> message;
};

// Requires: db open read-write on the file. Returns false when no transaction can be started
// or when the file is newer than this program (message 678; nothing changed). Returns true
// otherwise: when the file is current (nothing written), upgraded, or when a step failed and
// everything was rolled back; the failure is then reported by message 239 and db.lastError()
// is non-zero. file.versionBeforeUpgrade receives the version found when an upgrade ran;
// file.videoProbe reads the videos that old files kept beside each test.
bool UpgradeExperimentDb(SQLite::Database& db, ExperimentFile& file,
                         const UpgradeProgress& progress = {});

}  // namespace vx
