#include "db/experiment_db.h"

#include "base/messages.h"
#include "base/system_platform.h"
#include "base/text.h"
#include "db/schema.h"

namespace vx {

namespace {

void RemoveWithJournal(FileSystem& files, const std::string& path) {
  files.RemoveFile(path + "-journal");
  files.RemoveFile(path);
}

// A new file is built under a temporary name beside its final place and takes the final name
// only once its schema is committed: a full disk or a crash half-way leaves no empty or
// half-made file under the final name, which a retry would find "already there".
bool CreateExperimentFile(SQLite::Database& db, ExperimentFile& file, FileSystem& files,
                          const std::string& path) {
  const std::string building = path + ".creating";
  RemoveWithJournal(files, building);  // what a crash of an earlier attempt left
  bool built = db.Open(building) == SQLite::kOk && db.BeginTransaction();
  if (built) {
    CreateSchema(db);
    built = db.lastError() == SQLite::kOk;
    built = built ? db.CommitTransaction() : (db.RollbackTransaction(), false);
  }
  const int code = db.lastError();
  db.Close();
  built = built && files.MoveFile(building, path) && db.Open(path) == SQLite::kOk;
  if (!built) {
    db.Close();
    RemoveWithJournal(files, building);
    db.SetLastError(code != SQLite::kOk ? code : SQLite::kIoErr);
    return false;
  }
  file.modified = true;
  return true;
}

// A transaction that found the file held by another program says so: "error 5" reads like
// damage.
void Report(ExperimentFile& file, int messageId, SQLite::Database& db, int code) {
  if (file.services.notifier == nullptr) return;
  if (IsLockedCode(code)) {
    file.services.notifier->Notify(
        msg::kFileLocked, Format(MessageText(msg::kFileLocked), file.CurrentFile().c_str()),
        MessageIcon::Exclamation);
    return;
  }
  file.services.notifier->Notify(
      messageId, Format(MessageText(messageId), code, db.ErrorText().c_str()),
      MessageIcon::Exclamation);
}

// A program killed in the middle of a write leaves a hot journal beside the file. SQLite undoes
// that write on the next read-write open, but a read-only connection cannot and reports the
// file as unreadable, which a user would take for corruption. So a read-only open first lets a
// read-write connection undo it, and says so.
void RecoverInterruptedWrite(ExperimentFile& file, const FileSystem& files,
                             const std::string& path) {
  const std::string journal = path + "-journal";
  if (files.FileSize(journal) <= 0) return;
  {
    SQLite::Database repair;
    if (repair.Open(path) != SQLite::kOk) return;
    repair.GetTable("select count(*) from sqlite_master");  // the first read rolls back
  }
  // A journal still there belongs to a writer that is alive; nothing was undone.
  if (files.FileSize(journal) > 0 || file.services.notifier == nullptr) return;
  file.services.notifier->Notify(msg::kInterruptedWriteUndone,
                                 Format(MessageText(msg::kInterruptedWriteUndone), path.c_str()),
                                 MessageIcon::Information);
}

// The checks of an open connection: the file type when asked, and a schema without triggers
// or views (this system creates none; one planted in a file would run on our own writes).
int Verify(SQLite::Database& db, bool checkType) {
  db.SetLastError(SQLite::kOk);
  if (checkType && !CheckFileType(db)) {
    return IsLockedCode(db.lastError()) ? db.lastError() : SQLite::kNotADb;
  }
  const int foreign = CountForeignSchemaObjects(db);
  if (db.lastError() != SQLite::kOk) return db.lastError();
  return foreign > 0 ? kForeignSchema : SQLite::kOk;
}

// Verify, retried while another program holds the file, as a transaction start is. The
// result is left in lastError.
int VerifyWhileBusy(SQLite::Database& db, bool checkType) {
  int code = SQLite::kOk;
  for (int attempt = 0; attempt < SQLite::Database::kBeginAttempts; ++attempt) {
    if (attempt > 0) db.SleepMs(SQLite::Database::kBeginRetryMs);
    code = Verify(db, checkType);
    if (!IsLockedCode(code)) break;
  }
  db.SetLastError(code);
  return code;
}

}  // namespace

bool OpenExperimentDb(SQLite::Database& db, ExperimentFile& file, const OpenOptions& options) {
  const std::string path = options.path.empty() ? file.CurrentFile() : options.path;
  static SystemFileSystem systemFiles;
  FileSystem& files = file.services.files != nullptr ? *file.services.files : systemFiles;
  const bool exists = files.Exists(path);
  db.SetClock(file.services.clock);
  if (file.statementHook) db.SetStatementHook(file.statementHook);

  bool opened = false;
  if (!exists) {
    opened = options.createIfMissing && CreateExperimentFile(db, file, files, path);
  } else {
    if (options.readOnly) RecoverInterruptedWrite(file, files, path);
    const int result = options.readOnly ? db.OpenReadOnly(path) : db.Open(path);
    opened = result == SQLite::kOk && VerifyWhileBusy(db, options.checkType) == SQLite::kOk;
  }
  if (!opened) {
    const int code = db.lastError();
    db.Close();
    db.SetLastError(code == SQLite::kOk ? SQLite::kError : code);
  }
  return opened;
}

bool IsLockedCode(int code) {
  const int primary = code & 0xFF;  // extended codes keep the primary one in the low byte
  return primary == SQLite::kBusy || primary == SQLite::kLocked;
}

std::string OpenFailureMessage(int code, const std::string& path) {
  if (IsLockedCode(code)) return Format(MessageText(msg::kFileLocked), path.c_str());
  if (code == kForeignSchema) return Format(MessageText(msg::kForeignSchema), path.c_str());
  return Format(MessageText(msg::kNotAnExperiment), path.c_str());
}

bool EndWriteTransaction(SQLite::Database& db, ExperimentFile& file) {
  if (file.readOnly) {
    db.RollbackTransaction();
    return false;
  }
  if (db.lastError() == SQLite::kOk) {
    if (!db.CommitTransaction()) {
      Report(file, msg::kWriteFailed, db, db.lastError());
      db.RollbackTransaction();
      return false;
    }
    file.modified = true;
    return true;
  }
  const int code = db.lastError();
  Report(file, msg::kWriteFailed, db, code);
  db.RollbackTransaction();
  db.SetLastError(code);
  return false;
}

bool EndReadTransaction(SQLite::Database& db, ExperimentFile& file) {
  const int code = db.lastError();
  if (code != SQLite::kOk) Report(file, msg::kReadFailed, db, code);
  db.RollbackTransaction();
  db.SetLastError(code);
  return code == SQLite::kOk;
}

bool RunWriteTransaction(ExperimentFile& file,
                         const std::function<void(SQLite::Database& db)>& statements) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  MarkWriting(file);
  if (db.BeginTransaction()) statements(db);
  return EndWriteTransaction(db, file);
}

namespace {

// Opens the file and begins a write transaction, retrying for up to maxWaitMs while another
// program holds it (each attempt already retries for half a second). False when the file
// could not be opened; a transaction that could not begin leaves its code in lastError.
bool OpenAndBeginPatiently(SQLite::Database& db, ExperimentFile& file, int maxWaitMs) {
  constexpr int kAttemptMs = SQLite::Database::kBeginRetryMs * (SQLite::Database::kBeginAttempts - 1);
  bool announced = false;
  for (int waited = 0;; waited += kAttemptMs) {
    const bool opened = OpenExperimentDb(db, file);
    if (opened && db.BeginTransaction()) return true;
    if (!IsLockedCode(db.lastError()) || waited >= maxWaitMs) return opened;
    if (!announced && file.services.notifier != nullptr) {
      file.services.notifier->Notify(
          msg::kWaitingForLock,
          Format(MessageText(msg::kWaitingForLock), file.CurrentFile().c_str(), maxWaitMs / 1000),
          MessageIcon::Information);
      announced = true;
    }
  }
}

}  // namespace

bool RunPatientWriteTransaction(ExperimentFile& file, int maxWaitMs,
                                const std::function<void(SQLite::Database& db)>& statements) {
  SQLite::Database db;
  if (!OpenAndBeginPatiently(db, file, maxWaitMs)) return false;
  MarkWriting(file);
  if (db.lastError() != SQLite::kOk) return EndWriteTransaction(db, file);
  statements(db);
  if (file.readOnly || db.lastError() != SQLite::kOk) return EndWriteTransaction(db, file);
  // Readers that hold the file keep a commit waiting too.
  for (int waited = 0; !db.CommitTransaction(); waited += SQLite::Database::kBeginRetryMs) {
    if (!IsLockedCode(db.lastError()) || waited >= maxWaitMs) {
      return EndWriteTransaction(db, file);
    }
    db.SleepMs(SQLite::Database::kBeginRetryMs);
  }
  file.modified = true;
  return true;
}

bool RunReadTransaction(ExperimentFile& file,
                        const std::function<void(SQLite::Database& db)>& statements) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  if (db.BeginTransaction()) statements(db);
  return EndReadTransaction(db, file);
}

}  // namespace vx
