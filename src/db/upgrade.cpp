#include "db/upgrade.h"

#include "base/messages.h"
#include "base/text.h"
#include "db/schema.h"
#include "db/upgrade_steps.h"

namespace vx {

namespace {

void Notify(ExperimentFile& file, int messageId, const std::string& text) {
  if (file.services.notifier != nullptr) {
    file.services.notifier->Notify(messageId, text, MessageIcon::Exclamation);
  }
}

void ShowProgressMessage(const UpgradeProgress& progress, int messageId) {
  if (progress.message) progress.message(messageId, MessageText(messageId));
}

// Every step whose threshold exceeds the version, in order.
void ApplySteps(upgrade::Run& run, int version) {
  for (int threshold = 1; threshold <= kCurrentSchemaVersion && !run.Failed(); ++threshold) {
    if (version >= threshold) continue;
    switch (threshold) {
      case 1:
        upgrade::AddColumnsAndTables(run, threshold);
        if (!run.Failed()) upgrade::ConvertPerTestTables(run);
        break;
      case 6:
        upgrade::RewriteDiagrams(run);
        if (!run.Failed()) upgrade::RebuildTests(run);
        run.compact = true;
        break;
      case 10:
        upgrade::AddColumnsAndTables(run, threshold);
        if (!run.Failed()) upgrade::DeriveAnimalSizeSetting(run);
        break;
      case 13:
        upgrade::AddColumnsAndTables(run, threshold);
        if (!run.Failed()) upgrade::MoveVideosOutOfTests(run);
        break;
      case 18:
        upgrade::AddColumnsAndTables(run, threshold);
        if (!run.Failed()) upgrade::RecomputeAnimalSizeSetting(run);
        break;
      default:
        upgrade::AddColumnsAndTables(run, threshold);
        break;
    }
  }
}

}  // namespace

bool UpgradeExperimentDb(SQLite::Database& db, ExperimentFile& file,
                         const UpgradeProgress& progress) {
  if (!db.BeginTransaction()) return false;
  bool hasVersionRow = false;
  const int version = ReadSchemaVersion(db, &hasVersionRow);
  if (version == kCurrentSchemaVersion) {
    db.RollbackTransaction();
    return true;
  }
  if (version > kCurrentSchemaVersion) {
    Notify(file, msg::kNewerVersion, MessageText(msg::kNewerVersion));
    db.RollbackTransaction();
    return false;
  }
  // A version that cannot be read (no Infos table) leaves its error recorded: no step runs and
  // the upgrade rolls back below.
  const int found = version < 0 ? 0 : version;
  file.versionBeforeUpgrade = found;

  upgrade::Run run{db, file, progress};
  ApplySteps(run, found);
  if (!run.Failed()) {
    db.Execute(hasVersionRow
                   ? Format("update Infos set Value='%d' where Name='VersionDB'",
                            kCurrentSchemaVersion)
                   : Format("insert into Infos(Name, Value) values ('VersionDB','%d')",
                            kCurrentSchemaVersion));
  }

  bool committed = !run.Failed();
  if (committed) {
    ShowProgressMessage(progress, msg::kFinalization);
    committed = db.CommitTransaction();
  }
  if (!committed) {
    const int code = db.lastError();
    Notify(file, msg::kWriteFailed,
           Format(MessageText(msg::kWriteFailed), code, db.ErrorText().c_str()));
    db.RollbackTransaction();
    db.SetLastError(code);
    return true;
  }
  ShowProgressMessage(progress, msg::kCleaningUp);
  if (run.compact) db.Execute("VACUUM");
  return true;
}

}  // namespace vx
