// Opening the experiment file for one operation, and ending its transaction.
//
// Calling order of every record operation:
//   1. SQLite::Database db;                       (closed)
//   2. if (!OpenExperimentDb(db, file)) return failure;
//   3. for writes: file.resultsMustRefresh = true (MarkWriting does it);
//   4. db.BeginTransaction();   (a failure is recorded in lastError and surfaces at step 6)
//   5. statements: GetTable, Execute, ReadBlob, WriteBlob;
//   6. return EndWriteTransaction(db, file)  or  EndReadTransaction(db, file);
//   7. the Database destructor closes the connection.
#pragma once

#include <functional>
#include <string>

#include "db/experiment_file.h"
#include "db/sqlite_database.h"

namespace vx {

struct OpenOptions {
  std::string path;          // empty: the current experiment file
  bool readOnly = false;     // open with OpenReadOnly
  bool checkType = false;    // the file must be an experiment file of this system
  bool createIfMissing = false;  // create the file with the current schema
};

// Opens an experiment file into db. On failure the connection is closed and lastError says why
// (26 when the file is not an experiment file, 5 when another program holds it locked for
// longer than the usual half-second of retries, kForeignSchema). A read-only open first undoes
// a write that a killed program left half done (see experiment_db.cpp).
bool OpenExperimentDb(SQLite::Database& db, ExperimentFile& file, const OpenOptions& options = {});

// The code OpenExperimentDb leaves in lastError for a file whose schema holds triggers or views:
// this system creates none, and one planted in a file would run on our own writes, so such a
// file is refused untouched. (SQLite's "not authorized" code, which nothing else here uses.)
inline constexpr int kForeignSchema = 23;

// True for the codes of a file held by another connection (busy or locked).
bool IsLockedCode(int code);

// What to tell the user when OpenExperimentDb failed with code on path: locked by another
// program, holding foreign triggers or views, or not an experiment file (damaged included).
std::string OpenFailureMessage(int code, const std::string& path);

// Raises the results-must-be-refreshed flag before a write transaction.
inline void MarkWriting(ExperimentFile& file) { file.resultsMustRefresh = true; }

// Ends a transaction that changed data: commits when no error was recorded (and marks the
// experiment modified), otherwise reports message 239 and rolls back. A read-only experiment
// always rolls back, silently. Returns whether the changes reached the file.
bool EndWriteTransaction(SQLite::Database& db, ExperimentFile& file);

// Ends a transaction that only read: always rolls back; reports message 523 when an error was
// recorded. Returns whether no error was recorded.
bool EndReadTransaction(SQLite::Database& db, ExperimentFile& file);

// The calling order above in one call: opens the current file, raises the refresh flag, begins
// the transaction, runs statements (skipped when the transaction cannot begin, so a busy file
// is never written outside a transaction) and ends it with EndWriteTransaction. Returns whether
// the changes reached the file. statements stops early by testing db.lastError().
bool RunWriteTransaction(ExperimentFile& file,
                         const std::function<void(SQLite::Database& db)>& statements);
// RunWriteTransaction for work that must not be lost to a passing lock (a finished analysis is
// minutes of work): while another program holds the file, it waits up to maxWaitMs for it,
// saying so once (message kWaitingForLock), instead of the usual half-second.
bool RunPatientWriteTransaction(ExperimentFile& file, int maxWaitMs,
                                const std::function<void(SQLite::Database& db)>& statements);
// The same for reads, ended by EndReadTransaction: true when nothing failed.
bool RunReadTransaction(ExperimentFile& file,
                        const std::function<void(SQLite::Database& db)>& statements);

}  // namespace vx
