#include "db/experiment_db.h"

#include "base/messages.h"
#include "base/system_platform.h"
#include "base/text.h"
#include "db/schema.h"

namespace vx {

namespace {

bool CreateExperimentFile(SQLite::Database& db, ExperimentFile& file, const std::string& path) {
  if (db.Open(path) != SQLite::kOk) return false;
  db.BeginTransaction();
  CreateSchema(db);
  if (db.lastError() != SQLite::kOk) {
    db.RollbackTransaction();
    return false;
  }
  if (!db.CommitTransaction()) return false;
  file.modified = true;
  return true;
}

void Report(ExperimentFile& file, int messageId, SQLite::Database& db, int code) {
  if (file.services.notifier == nullptr) return;
  file.services.notifier->Notify(
      messageId, Format(MessageText(messageId), code, db.ErrorText().c_str()),
      MessageIcon::Exclamation);
}

}  // namespace

bool OpenExperimentDb(SQLite::Database& db, ExperimentFile& file, const OpenOptions& options) {
  const std::string path = options.path.empty() ? file.CurrentFile() : options.path;
  static SystemFileSystem systemFiles;
  const FileSystem& files = file.services.files != nullptr ? *file.services.files : systemFiles;
  const bool exists = files.Exists(path);
  db.SetClock(file.services.clock);
  if (file.statementHook) db.SetStatementHook(file.statementHook);

  bool opened = false;
  if (!exists) {
    opened = options.createIfMissing && CreateExperimentFile(db, file, path);
  } else {
    const int result = options.readOnly ? db.OpenReadOnly(path) : db.Open(path);
    opened = result == SQLite::kOk;
    if (opened && options.checkType && !CheckFileType(db)) {
      db.SetLastError(SQLite::kNotADb);
      opened = false;
    }
  }
  if (!opened) {
    const int code = db.lastError();
    db.Close();
    db.SetLastError(code == SQLite::kOk ? SQLite::kError : code);
  }
  return opened;
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

bool RunReadTransaction(ExperimentFile& file,
                        const std::function<void(SQLite::Database& db)>& statements) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file)) return false;
  if (db.BeginTransaction()) statements(db);
  return EndReadTransaction(db, file);
}

}  // namespace vx
