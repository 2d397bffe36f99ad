#include "document/experiment_backup.h"

#include <zip.h>

#include <set>
#include <vector>

#include "base/messages.h"
#include "base/text.h"
#include "db/experiment_db.h"
#include "document/experiment_document.h"

namespace vx {

namespace {

struct ArchiveEntry {
  std::string source;  // the file on disk
  std::string name;    // its name in the archive
};

// The experiment's videos as archive entries: those of the companion folder keep their place
// in it; the others take their file name there.
std::vector<ArchiveEntry> VideoEntries(ExperimentFile& file, const std::string& folderName) {
  std::vector<std::string> stored;
  RunReadTransaction(file, [&stored](SQLite::Database& db) {
    SQLite::TablePtr table = db.GetTable("select File from Videos order by Id");
    if (table && table->MoveFirst()) {
      do stored.push_back(table->GetText("File")); while (table->MoveNext());
    }
  });
  std::vector<ArchiveEntry> entries;
  std::set<std::string> names;
  for (const std::string& video : stored) {
    if (video.empty()) continue;
    const bool inside = video.front() != '/';
    std::string name = folderName + (inside ? video : video.substr(video.find_last_of('/') + 1));
    if (!names.insert(name).second) continue;  // two tests of one video
    entries.push_back({inside ? file.CompanionFolder() + video : video, name});
  }
  return entries;
}

// A consistent picture of the current file: copied while a transaction keeps writers out.
bool SnapshotCurrentFile(ExperimentFile& file, const std::string& snapshot) {
  SQLite::Database db;
  if (!OpenExperimentDb(db, file, {.checkType = true}) || !db.BeginTransaction()) return false;
  const bool copied = file.services.files->CopyFile(file.CurrentFile(), snapshot);
  db.RollbackTransaction();
  return copied;
}

bool AddFile(zip_t* archive, const ArchiveEntry& entry) {
  zip_source_t* source = zip_source_file(archive, entry.source.c_str(), 0, -1);
  if (source == nullptr) return false;
  if (zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
    zip_source_free(source);
    return false;
  }
  return true;
}

}  // namespace

bool BackupExperiment(ExperimentFile& file, const std::string& zipPath, bool withVideos) {
  FileSystem& files = *file.services.files;
  Notifier& notifier = *file.services.notifier;
  const std::string name = GetDisplayName(file.path);
  const std::string partial = zipPath + ".part~", snapshot = zipPath + ".vxdb~";
  files.RemoveFile(partial);
  std::vector<ArchiveEntry> entries = {{snapshot, name + ".vxdb"}};
  if (withVideos) {
    for (ArchiveEntry& video : VideoEntries(file, name + "_files/")) {
      if (files.Exists(video.source)) {
        entries.push_back(std::move(video));
      } else {
        notifier.Notify(msg::kFileMissing, Format(MessageText(msg::kFileMissing), video.source.c_str()),
                        MessageIcon::Exclamation);
      }
    }
  }
  int error = 0;
  zip_t* archive = nullptr;
  bool written = SnapshotCurrentFile(file, snapshot) &&
                 (archive = zip_open(partial.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error)) != nullptr;
  for (const ArchiveEntry& entry : entries) {
    if (!written) break;
    notifier.Notify(msg::kBackupProcessing, Format(MessageText(msg::kBackupProcessing), entry.name.c_str()),
                    MessageIcon::Information);
    written = AddFile(archive, entry);
  }
  // The files are read when the archive is closed.
  if (archive != nullptr && (written ? zip_close(archive) != 0 : (zip_discard(archive), true))) {
    if (written) zip_discard(archive);
    written = false;
  }
  written = written && files.MoveFile(partial, zipPath);
  files.RemoveFile(snapshot);
  if (!written) {
    files.RemoveFile(partial);
    notifier.Notify(msg::kBackupFailed, MessageText(msg::kBackupFailed), MessageIcon::Stop);
  }
  return written;
}

}  // namespace vx
