#include "document/working_copy.h"

#include "base/messages.h"
#include "base/text.h"
#include "db/experiment_db.h"

namespace vx {

void SettleInterruptedWrite(ExperimentFile& file, const std::string& path) {
  if (file.services.files->FileSize(path + "-journal") <= 0) return;
  SQLite::Database db;
  if (db.Open(path) == SQLite::kOk) db.GetTable("select count(*) from sqlite_master");
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {

// Renames ready over to, the last step of every save. The old file is held with a write lock
// while the new one takes its place: a program in the middle of a write to it would otherwise
// finish it into a file nobody reads any more. The first read undoes a write that a killed
// program left half done, so that its journal cannot be played into the new contents. False
// leaves both files as they were.
bool RenameOver(ExperimentFile& file, const std::string& ready, const std::string& to) {
  FileSystem& files = *file.services.files;
  SQLite::Database old;
  if (files.Exists(to)) {
    old.SetClock(file.services.clock);
    if (old.Open(to) != SQLite::kOk || !old.BeginTransaction()) {
      if (IsLockedCode(old.lastError())) {
        file.services.notifier->Notify(msg::kFileLocked, Format(MessageText(msg::kFileLocked), to.c_str()),
                                       MessageIcon::Exclamation);
      }
      return false;
    }
    old.GetTable("select count(*) from sqlite_master");
  }
  if (!files.MoveFile(ready, to)) return false;
  // The rename itself lives in the folder: without this a power cut can bring back the old file.
  const std::string folder = FolderOf(to);
  files.FlushToDisk(folder.empty() ? "." : folder);
  return true;
}

}  // namespace

bool ReplaceFileSafely(ExperimentFile& file, const std::string& from, const std::string& to) {
  FileSystem& files = *file.services.files;
  const std::string temporary = to + ".saving~";
  files.RemoveFile(temporary);
  if (files.CopyFile(from, temporary) && files.FlushToDisk(temporary) && RenameOver(file, temporary, to)) return true;
  files.RemoveFile(temporary);
  return false;
}

bool MoveFileSafely(ExperimentFile& file, const std::string& from, const std::string& to) {
  return file.services.files->FileSize(from + "-journal") <= 0 && file.services.files->FlushToDisk(from) &&
         RenameOver(file, from, to);
}

void RemoveDatabaseFile(FileSystem& files, const std::string& path) {
  files.RemoveFile(path + "-journal");
  files.RemoveFile(path);
}

bool IsCompleteExperimentCopy(ExperimentFile& file, const std::string& copy) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.path = copy, .checkType = true})) return false;
  SQLite::TablePtr pages = db.GetTable("PRAGMA page_count");
  SQLite::TablePtr pageSize = db.GetTable("PRAGMA page_size");
  if (!pages || !pageSize || !pages->MoveFirst() || !pageSize->MoveFirst()) return false;
  const int64_t announced =
      static_cast<int64_t>(pages->FirstColumnAsInt()) * pageSize->FirstColumnAsInt();
  return announced > 0 && file.services.files->FileSize(copy) >= announced;
}

}  // namespace vx
