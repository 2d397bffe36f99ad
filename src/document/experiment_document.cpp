#include "document/experiment_document.h"

#include <ctime>

#include "base/messages.h"
#include "base/text.h"
#include "db/experiment_db.h"
#include "db/schema.h"
#include "db/upgrade.h"
#include "document/experiment_rename.h"
#include "document/working_copy.h"

namespace vx {

namespace {

std::string LocalTimeText(int64_t nanoseconds) {
  const time_t seconds = static_cast<time_t>(nanoseconds / 1000000000);
  struct tm local {};
  char text[32] = "?";
  if (localtime_r(&seconds, &local) != nullptr) strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace

std::string GetWorkingCopyPath(const std::string& path, DriveKind kind,
                               const std::string& tempFolder) {
  if (path.empty()) return "";
  switch (kind) {
    case DriveKind::Local: return path.substr(0, path.size() - 1) + "~";
    case DriveKind::Network:
    case DriveKind::Optical: return Format("%s%s~", tempFolder.c_str(), path.substr(FolderOf(path).size()).c_str());
    case DriveKind::Unknown: break;
  }
  return "";
}

std::string GetCompanionFolder(const std::string& path) {
  ExperimentFile file;
  file.path = path;
  return file.CompanionFolder();
}

std::string GetDisplayName(const std::string& path) {
  std::string name = path.substr(FolderOf(path).size());
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

ExperimentDocument::ExperimentDocument(Services services, VideoProbe videoProbe)
    : services_(services) {
  experiment.file.services = services;
  experiment.file.videoProbe = std::move(videoProbe);
}

ExperimentDocument::~ExperimentDocument() { ReleaseLock(); }

std::string ExperimentDocument::GetExperimentFolder() const { return FolderOf(experiment.file.path); }

std::string GetExperimentFolderOf(const std::string& path) { return FolderOf(path); }

void ExperimentDocument::ReleaseLock() {
  if (lockFile_ >= 0) services_.files->UnlockFile(lockFile_);
  lockFile_ = -1;
}

int64_t ExperimentDocument::WorkingCopyStamp() const {
  const std::string& work = experiment.file.workPath;
  return work.empty() ? -1 : services_.files->ModifiedTimeNs(work) ^ services_.files->FileSize(work);
}

bool ExperimentDocument::ModifiedSinceSave() const {
  if (!IsOpen() || !experiment.file.workOnCopy) return false;
  return experiment.file.modified || WorkingCopyStamp() != savedStamp_;
}

DocumentResult ExperimentDocument::PreCheck(const std::string& path, const DocumentOptions& options) {
  Notifier& notifier = *services_.notifier;
  if (!services_.files->Exists(path)) {
    notifier.Notify(msg::kFileMissing, Format(MessageText(msg::kFileMissing), path.c_str()), MessageIcon::Exclamation);
    return DocumentResult::Failed;
  }
  if (options.skipChecks) return DocumentResult::Ok;
  ExperimentFile probe = experiment.file;
  SQLite::Database db;
  // Read-write, so that a write a killed program left half done is undone before the file is
  // copied: a copy taken without its journal would hold that half write.
  if (!OpenExperimentDb(db, probe, {.path = path, .checkType = true})) {
    notifier.Notify(msg::kNotAnExperiment, OpenFailureMessage(db.lastError(), path), MessageIcon::Stop);
    return DocumentResult::Failed;
  }
  // Another program in the middle of a write would lose it when the copy is saved back.
  if (!db.BeginTransaction()) {
    const int code = db.lastError();
    notifier.Notify(IsLockedCode(code) ? msg::kFileLocked : msg::kWriteFailed,
                    IsLockedCode(code) ? OpenFailureMessage(code, path)
                                       : Format(MessageText(msg::kWriteFailed), code, db.ErrorText().c_str()),
                    MessageIcon::Exclamation);
    return DocumentResult::Failed;
  }
  const int version = ReadSchemaVersion(db);
  db.RollbackTransaction();
  if (version > kCurrentSchemaVersion) {
    notifier.Notify(msg::kNewerVersion, MessageText(msg::kNewerVersion), MessageIcon::Exclamation);
    return DocumentResult::Failed;
  }
  if (version < kCurrentSchemaVersion && options.upgrade &&
      services_.asker->Ask(msg::kNeedsConverting,
                           Format(MessageText(msg::kNeedsConverting), GetDisplayName(path).c_str()),
                           AskButtons::YesNo) != Answer::Yes) {
    return DocumentResult::Cancelled;
  }
  return DocumentResult::Ok;
}

ExperimentDocument::Leftover ExperimentDocument::AskAboutLeftover(const std::string& workPath) {
  FileSystem& files = *services_.files;
  const int64_t size = files.FileSize(workPath);
  if (size <= 0) return Leftover::None;  // a lock file, or a copy that never got its contents
  const std::string question =
      std::string(MessageText(msg::kNotProperlySaved)) + "\n\n" +
      Format(MessageText(msg::kLeftoverDetails), workPath.c_str(), static_cast<int>(size / 1024),
             LocalTimeText(files.ModifiedTimeNs(workPath)).c_str());
  switch (services_.asker->Ask(msg::kNotProperlySaved, question, AskButtons::YesNoCancel)) {
    case Answer::Cancel: return Leftover::Cancelled;
    case Answer::No: return Leftover::Discard;
    case Answer::Yes: break;
  }
  if (IsCompleteExperimentCopy(experiment.file, workPath)) return Leftover::Keep;
  services_.notifier->Notify(msg::kLeftoverUnusable, Format(MessageText(msg::kLeftoverUnusable), workPath.c_str()),
                             MessageIcon::Exclamation);
  return Leftover::Discard;
}

void ExperimentDocument::ReportCannotCopy(const std::string& path) {
  services_.notifier->Notify(
      msg::kCannotCopy,
      Format(MessageText(msg::kCannotCopy), (GetDisplayName(path) + " ; " + FolderOf(path)).c_str()),
      MessageIcon::Stop);
}

bool ExperimentDocument::MakeFreshCopy(const std::string& path, const std::string& workPath) {
  services_.files->RemoveFile(workPath + "-journal");
  if (services_.files->CopyFile(path, workPath)) return true;
  ReportCannotCopy(path);
  return false;
}

// A new experiment's working copy is the locked (empty) file itself: building it elsewhere and
// renaming it into place would leave the lock on a file that is no longer there.
bool ExperimentDocument::CreateInWorkingCopy() {
  SQLite::Database db;
  if (db.Open(experiment.file.workPath) != SQLite::kOk || !db.BeginTransaction()) return false;
  CreateSchema(db);
  if (db.lastError() != SQLite::kOk) return db.RollbackTransaction(), false;
  return db.CommitTransaction();
}

// Steps 4 to 7 of an open: where the working copy goes, its lock, a leftover, the copy.
DocumentResult ExperimentDocument::TakeWorkingCopy(const std::string& path, bool copyWanted) {
  FileSystem& files = *services_.files;
  ExperimentFile& file = experiment.file;
  const DriveKind kind = files.DriveKindOf(path);
  file.workPath = vx::GetWorkingCopyPath(path, kind, files.TempFolder());
  workInTemp = kind == DriveKind::Network || kind == DriveKind::Optical;
  file.workOnCopy = !file.workPath.empty() && (copyWanted || workInTemp);
  if (file.workPath.empty()) return DocumentResult::Ok;
  if (kind == DriveKind::Network &&
      services_.asker->Ask(msg::kNetworkDrive, MessageText(msg::kNetworkDrive), AskButtons::YesNo) != Answer::Yes) {
    return DocumentResult::Cancelled;
  }
  switch (files.LockFile(file.workPath, lockFile_)) {
    case FileLockResult::Held: break;
    case FileLockResult::Busy:
      services_.notifier->Notify(msg::kInUseByAnotherProgram,
                                 Format(MessageText(msg::kInUseByAnotherProgram), path.c_str(), file.workPath.c_str()),
                                 MessageIcon::Stop);
      return DocumentResult::InUse;
    case FileLockResult::Failed:
      ReportCannotCopy(path);
      return DocumentResult::Failed;
  }
  const Leftover leftover = files.Exists(path) ? AskAboutLeftover(file.workPath) : Leftover::Discard;
  if (leftover == Leftover::Cancelled) return DocumentResult::Cancelled;
  recovered_ = leftover == Leftover::Keep;
  if (recovered_ && !file.workOnCopy && !ReplaceFileSafely(file, file.workPath, path)) {
    services_.notifier->Notify(msg::kSaveFailed, Format(MessageText(msg::kSaveFailed), path.c_str()), MessageIcon::Stop);
    return DocumentResult::Failed;
  }
  if (file.workOnCopy && !recovered_) {
    const bool made = files.Exists(path) ? MakeFreshCopy(path, file.workPath) : CreateInWorkingCopy();
    if (!made) return DocumentResult::Failed;
  }
  savedStamp_ = recovered_ ? -2 : WorkingCopyStamp();  // a recovered copy differs from the file
  return DocumentResult::Ok;
}

// Step 8: the current file is opened, upgraded, given its companion folder and loaded.
DocumentResult ExperimentDocument::OpenCurrentFile(const DocumentOptions& options, bool create) {
  ExperimentFile& file = experiment.file;
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.checkType = true, .createIfMissing = create && !file.workOnCopy})) {
    const std::string current = file.CurrentFile();
    if (services_.files->Exists(current)) {
      services_.notifier->Notify(msg::kNotAnExperiment, OpenFailureMessage(db.lastError(), file.path), MessageIcon::Stop);
    } else {
      services_.notifier->Notify(msg::kCannotCreate, Format(MessageText(msg::kCannotCreate), file.path.c_str()),
                                 MessageIcon::Stop);
    }
    return DocumentResult::Failed;
  }
  if (options.upgrade && (!UpgradeExperimentDb(db, file) || db.lastError() != SQLite::kOk)) {
    return DocumentResult::Failed;
  }
  db.Close();
  services_.files->CreateDirectories(file.CompanionFolder());
  if (options.loadLists && !experiment.LoadAll()) return DocumentResult::Failed;
  return DocumentResult::Ok;
}

void ExperimentDocument::Abandon(bool removeCopy) {
  ExperimentFile& file = experiment.file;
  if (removeCopy && lockFile_ >= 0 && !file.workPath.empty()) RemoveDatabaseFile(*services_.files, file.workPath);
  ReleaseLock();
  experiment.Clear();
  file.path.clear();
  file.workPath.clear();
  file.workOnCopy = false;
  file.modified = false;
  recovered_ = false;
}

DocumentResult ExperimentDocument::OpenExperiment(const std::string& path, const DocumentOptions& options) {
  if (!CloseExperiment(true)) return DocumentResult::Cancelled;
  FinishInterruptedRename(experiment.file, path);
  const bool create = !services_.files->Exists(path);
  if (!create) {
    if (const DocumentResult checked = PreCheck(path, options); checked != DocumentResult::Ok) return checked;
  }
  ExperimentFile& file = experiment.file;
  file.path = path;
  file.modified = false;
  file.versionBeforeUpgrade = -1;
  opening = true;
  const bool copyWanted = services_.settings->GetInt("Config", "UseTempFile", 1) != 0;
  DocumentResult result = TakeWorkingCopy(path, copyWanted);
  if (result == DocumentResult::Ok) result = OpenCurrentFile(options, create);
  opening = false;
  if (result != DocumentResult::Ok) {
    // A leftover the user did not choose to discard stays for the next open; so does one
    // held by another program.
    Abandon(result != DocumentResult::Cancelled && !recovered_);
    if (create) RemoveDatabaseFile(*services_.files, path);
  }
  return result;
}

DocumentResult ExperimentDocument::NewExperiment(const std::string& path) {
  if (services_.files->Exists(path)) {
    services_.notifier->Notify(msg::kCannotCreate, Format(MessageText(msg::kCannotCreate), path.c_str()), MessageIcon::Stop);
    return DocumentResult::Failed;
  }
  const DocumentResult result = OpenExperiment(path, {.skipChecks = true});
  // A new experiment exists on disk once it is made: its file is the saved empty experiment.
  if (result == DocumentResult::Ok && experiment.file.workOnCopy && !SaveExperiment()) {
    Abandon(true);
    return DocumentResult::Failed;
  }
  return result;
}

bool ExperimentDocument::SaveExperiment(bool deleteWorkingCopy) {
  ExperimentFile& file = experiment.file;
  if (!IsOpen()) return false;
  if (file.workOnCopy && (ModifiedSinceSave() || !services_.files->Exists(file.path))) {
    if (!ReplaceFileSafely(file, file.workPath, file.path)) {
      services_.notifier->Notify(msg::kSaveFailed, Format(MessageText(msg::kSaveFailed), file.path.c_str()),
                                 MessageIcon::Stop);
      return false;
    }
    file.modified = false;
    savedStamp_ = WorkingCopyStamp();
  }
  if (deleteWorkingCopy && file.workOnCopy) RemoveDatabaseFile(*services_.files, file.workPath);
  return true;
}

bool ExperimentDocument::SaveAndCloseExperiment() {
  if (!IsOpen() || opening) return true;
  ExperimentFile& file = experiment.file;
  const bool copyBeside = file.workOnCopy && FolderOf(file.workPath) == FolderOf(file.path);
  if (copyBeside && ModifiedSinceSave() && MoveFileSafely(file, file.workPath, file.path)) {
    const std::string companion = file.CompanionFolder();
    Abandon(false);  // the working copy is the experiment file now
    services_.files->RemoveFile(companion);  // only an empty folder goes
    return true;
  }
  return SaveExperiment() && CloseExperiment(false);
}

bool ExperimentDocument::CloseExperiment(bool askToSave) {
  if (!IsOpen() || opening) return true;
  ExperimentFile& file = experiment.file;
  if (askToSave && ModifiedSinceSave()) {
    const Answer answer = services_.asker->Ask(
        msg::kSaveChanges, Format(MessageText(msg::kSaveChanges), GetDisplayName(file.path).c_str()),
        AskButtons::YesNoCancel);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes && !SaveExperiment()) return false;
  }
  const std::string companion = file.CompanionFolder();
  Abandon(true);
  services_.files->RemoveFile(companion);  // only an empty folder goes
  return true;
}

bool ExperimentDocument::SaveExperimentAs(const std::string& newPath) {
  FileSystem& files = *services_.files;
  ExperimentFile& file = experiment.file;
  if (!IsOpen()) return false;
  if (files.Exists(newPath)) {
    services_.notifier->Notify(msg::kCannotCreate, Format(MessageText(msg::kCannotCreate), newPath.c_str()),
                               MessageIcon::Stop);
    return false;
  }
  // The videos kept in the companion folder go with the file: their stored paths are relative.
  std::vector<std::string> videos;
  RunReadTransaction(file, [&videos](SQLite::Database& db) {
    SQLite::TablePtr table = db.GetTable("select File from Videos");
    if (table && table->MoveFirst()) {
      do videos.push_back(table->GetText("File")); while (table->MoveNext());
    }
  });
  const std::string from = file.CompanionFolder(), to = GetCompanionFolder(newPath);
  bool saved = files.CreateDirectories(to);
  for (const std::string& video : videos) {
    if (saved && !video.empty() && video.front() != '/' && files.Exists(from + video)) {
      saved = files.CreateDirectories(GetExperimentFolderOf(to + video)) && files.CopyFile(from + video, to + video);
    }
  }
  if (!saved || !ReplaceFileSafely(file, file.CurrentFile(), newPath)) {
    services_.notifier->Notify(msg::kCannotCreate, Format(MessageText(msg::kCannotCreate), newPath.c_str()),
                               MessageIcon::Stop);
    return false;
  }
  CloseExperiment(false);
  return OpenExperiment(newPath, {.skipChecks = true, .upgrade = false}) == DocumentResult::Ok;
}

bool ExperimentDocument::RenameExperiment(const std::string& newName) {
  return IsOpen() && RenameExperimentFiles(experiment.file, newName);
}

bool ExperimentDocument::CompactExperiment() {
  if (!IsOpen()) return false;
  services_.notifier->Notify(msg::kCompacting, MessageText(msg::kCompacting), MessageIcon::Information);
  SQLite::Database db;
  if (!OpenExperimentDb(db, experiment.file)) return false;
  if (db.Execute("VACUUM") != SQLite::kOk) {
    services_.notifier->Notify(msg::kWriteFailed,
                               Format(MessageText(msg::kWriteFailed), db.lastError(), db.ErrorText().c_str()),
                               MessageIcon::Exclamation);
    return false;
  }
  if (!experiment.file.readOnly) experiment.file.modified = true;
  return true;
}

}  // namespace vx
