// The experiment the program holds open, and the files it lives in.
//
// States and the function for each transition:
//   closed  --OpenExperiment / NewExperiment-->  open
//   open    --SaveExperiment-->                  open, saved (the file equals the working copy)
//   open    --CloseExperiment-->                 closed
// What holds while open, in working-copy mode: the working copy exists and this process holds
// an advisory lock on it; every record operation reads and writes the working copy
// (experiment.file.CurrentFile()); the experiment file itself changes only in SaveExperiment,
// which writes a whole copy under a temporary name beside it and renames it into place, so the
// file is always one saved state or the next, never a mixture. Without working-copy mode the
// lock is still held on the (empty) working-copy path, so that two programs never write the
// same experiment at once.
// A working copy found at open that nobody holds locked was left by a run that ended without
// closing: the user is asked whether to recover it (message 681). One held by another program
// means the experiment is in use there.
// Only one thread (the one that runs commands) calls these functions.
#pragma once

#include <string>

#include "base/platform.h"
#include "db/experiment.h"

namespace vx {

enum class DocumentResult {
  Ok,
  Cancelled,  // the user (or nobody, when no one could answer) declined a question
  InUse,      // another program holds the experiment (message 1860)
  Failed,     // the reason was reported through the notifier
};

struct DocumentOptions {
  bool skipChecks = false;  // the file is known to be an experiment file of the current version
  bool upgrade = true;      // bring an older file to the current schema, on the working copy
  bool loadLists = true;    // fill experiment's lists once open
};

// The working copy of the file at path: beside it, the last character replaced by "~", on a
// local disk; "<temporary folder><name>~" on a network drive or read-only medium; none ("")
// when the drive cannot be told.
std::string GetWorkingCopyPath(const std::string& path, DriveKind kind,
                               const std::string& tempFolder);
// "<path without extension>_files/".
std::string GetCompanionFolder(const std::string& path);
// The file name without folder and extension.
std::string GetDisplayName(const std::string& path);
// The folder of path, with its final '/' ("" for a bare name).
std::string GetExperimentFolderOf(const std::string& path);

class ExperimentDocument {
 public:
  explicit ExperimentDocument(Services services, VideoProbe videoProbe = {});
  // Releases the lock and keeps the working copy, as a crash would: unsaved changes are offered
  // for recovery at the next open rather than lost.
  ~ExperimentDocument();
  ExperimentDocument(const ExperimentDocument&) = delete;
  ExperimentDocument& operator=(const ExperimentDocument&) = delete;

  // Closes the current experiment (asking to save), checks the file, makes the working copy
  // (or recovers a leftover one) and opens it. On any failure nothing stays open, no working
  // copy of this run is left behind, and the experiment file is untouched.
  DocumentResult OpenExperiment(const std::string& path, const DocumentOptions& options = {});
  // An open of a path that does not exist yet: the file is created with the current schema.
  DocumentResult NewExperiment(const std::string& path);
  // False when the user cancels the question to save (nothing changes then).
  bool CloseExperiment(bool askToSave);
  // Writes the working copy back over the experiment file (copy beside it, then rename). On
  // failure (message 1863) the file holds what was last saved and the working copy is kept.
  bool SaveExperiment(bool deleteWorkingCopy = false);
  // Save then close without a question. When the working copy sits beside the file it becomes
  // the file (renamed over it) instead of being copied back: an experiment of hundreds of
  // megabytes is written once per change, not twice. On failure it stays open, as after a
  // failed save.
  bool SaveAndCloseExperiment();
  // Saves the experiment under newPath (which must not exist) with the videos of its companion
  // folder, and goes on working on it there.
  bool SaveExperimentAs(const std::string& newPath);
  // Renames the file, its companion folder and its working copy in the same folder; see
  // experiment_rename.h for how an interrupted rename is finished.
  bool RenameExperiment(const std::string& newName);
  // Rebuilds the current file without its free pages (VACUUM, message 494 first).
  bool CompactExperiment();

  bool IsOpen() const { return !experiment.file.path.empty(); }
  // Committed writes since the last save, whoever made them: the flag of this document's own
  // writes, or a working copy written since it was made or saved.
  bool ModifiedSinceSave() const;
  // True when the open recovered a working copy left by a crash.
  bool Recovered() const { return recovered_; }
  const std::string& GetWorkingCopyPath() const { return experiment.file.workPath; }
  std::string GetExperimentFolder() const;
  Services& services() { return services_; }

  Experiment experiment;  // file.path, file.workPath, file.readOnly, file.versionBeforeUpgrade
  bool opening = false;
  bool workInTemp = false;  // the working copy lies in the temporary folder

 private:
  enum class Leftover { None, Keep, Discard, Cancelled };

  DocumentResult PreCheck(const std::string& path, const DocumentOptions& options);
  DocumentResult TakeWorkingCopy(const std::string& path, bool copyWanted);
  Leftover AskAboutLeftover(const std::string& workPath);
  bool MakeFreshCopy(const std::string& path, const std::string& workPath);
  void ReportCannotCopy(const std::string& path);
  bool CreateInWorkingCopy();
  DocumentResult OpenCurrentFile(const DocumentOptions& options, bool create);
  void Abandon(bool removeCopy);
  void ReleaseLock();
  int64_t WorkingCopyStamp() const;

  Services services_;
  int lockFile_ = -1;
  bool recovered_ = false;
  int64_t savedStamp_ = -1;  // the working copy's write time when it last equalled the file
};

}  // namespace vx
